// The harness of the programs that test the windows under Wine (the cross build has no GoogleTest).
// The windows run modally on the main thread while a driver thread works them as a user would:
// keys and characters into the focused control's queue, clicks, answers to boxes. A wait that
// timed out leaves a modal loop behind that nothing else would end: it ends the program with a
// message. The script reads the summary, "N passed, N failed"; exit code 0 when nothing failed.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>

#include "platform/Win32.h"

namespace qv::wintest {

inline LONG passed = 0;
inline LONG failed = 0;

inline void Check(bool ok, const char* expression, const char* file, int line,
                  const std::string& detail = {}) {
  ::InterlockedIncrement(ok ? &passed : &failed);
  if (!ok) std::printf("FAILED %s:%d: %s %s\n", file, line, expression, detail.c_str());
  std::fflush(stdout);
}

template <class A, class B>
void CheckEqual(const A& a, const B& b, const char* expression, const char* file, int line) {
  std::ostringstream detail;
  if (!(a == b)) detail << '"' << a << "\" vs \"" << b << '"';
  Check(a == b, expression, file, line, detail.str());
}

inline int Summary(const char* program) {
  std::printf("%s: %ld passed, %ld failed\n", program, passed, failed);
  std::fflush(stdout);
  return failed == 0 && passed > 0 ? 0 : 1;
}

[[noreturn]] inline void Abort(const std::string& why) {
  std::printf("ABORTED: %s (%ld passed, %ld failed so far)\n", why.c_str(), passed, failed);
  std::fflush(stdout);
  ::TerminateProcess(::GetCurrentProcess(), 3);
  std::abort();
}

inline void WaitFor(const std::function<bool()>& condition, const std::string& what) {
  for (const ULONGLONG end = ::GetTickCount64() + 20000; !condition(); ::Sleep(20))
    if (::GetTickCount64() > end) Abort("waited in vain for " + what);
}

// The main thread creates the sync window before its modal loops. Through it the driver runs
// code on that thread after everything posted there so far, and waits for it.
inline constexpr UINT kMsgRun = WM_APP + 0x52;
inline HWND syncWindow = nullptr;

inline LRESULT CALLBACK SyncProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kMsgRun) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  (*reinterpret_cast<const std::function<void()>*>(lParam))();
  return ::SetEvent(reinterpret_cast<HANDLE>(wParam));
}

inline void CreateSyncWindow() {
  WNDCLASSA cls{};
  cls.lpfnWndProc = SyncProc;
  cls.lpszClassName = "QvTestSync";
  ::RegisterClassA(&cls);
  syncWindow = ::CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 nullptr, nullptr);
}

inline void OnUiThread(const std::function<void()>& fn) {
  HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ::PostMessageA(syncWindow, kMsgRun, reinterpret_cast<WPARAM>(done),
                 reinterpret_cast<LPARAM>(&fn));
  const DWORD waited = ::WaitForSingleObject(done, 20000);
  ::CloseHandle(done);
  if (waited != WAIT_OBJECT_0) Abort("the thread under test stopped handling messages");
}

// Until the input posted to the thread under test has been handled. Three rounds: a key may post
// its character behind the first, the character a message of its own (the next control's focus).
inline void Settle() {
  for (int round = 0; round < 3; ++round) OnUiThread([] {});
}

// Runs the driver while the calling thread runs main and then handles its messages until the
// driver has finished (the default mingw thread model has no std::thread). The driver's waits
// have their limits, the whole program the script's.
inline DWORD WINAPI RunDriver(LPVOID fn) {
  (*static_cast<std::function<void()>*>(fn))();
  return 0;
}

inline void Drive(std::function<void()> driver, const std::function<void()>& main) {
  HANDLE thread = ::CreateThread(nullptr, 0, RunDriver, &driver, 0, nullptr);
  main();
  while (::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
  }
  ::CloseHandle(thread);
}

inline GUITHREADINFO GuiOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  ::GetGUIThreadInfo(thread, &info);
  return info;
}

// The thread's active window once it is a visible window that owner owns (any when null) and
// that holds a control with the given id (any when 0): a dialog or box just opened. Waits for it
// and for its first paint.
inline HWND WaitForDialog(DWORD thread, HWND owner, int controlId = 0) {
  HWND active = nullptr;
  WaitFor(
      [&] {
        active = GuiOf(thread).hwndActive;
        return ::IsWindowVisible(active) &&
               (owner == nullptr || ::GetWindow(active, GW_OWNER) == owner) &&
               (controlId == 0 || ::GetDlgItem(active, controlId) != nullptr);
      },
      "a dialog with control " + std::to_string(controlId));
  Settle();
  return active;
}

inline void WaitUntilDestroyed(HWND hwnd) {
  WaitFor([&] { return !::IsWindow(hwnd); }, "a window to close");
}

inline std::string TextOf(HWND hwnd) {
  // WM_GETTEXT is answered by the window's own thread, so this works across threads.
  char buffer[2048] = {};
  ::SendMessageA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

// From the style: Wine's IsWindowEnabled misreports the windows of other threads.
inline bool IsEnabled(HWND hwnd) { return (::GetWindowLongA(hwnd, GWL_STYLE) & WS_DISABLED) == 0; }

inline HWND FocusOf(DWORD thread) { return GuiOf(thread).hwndFocus; }

inline void Post(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  ::PostMessageA(hwnd, message, wParam, lParam);
  Settle();
}

// Into the queue of the thread's focused control, where its modal loop applies the dialog
// manager's keyboard rules; each returns once the input has been handled.
inline void PressKey(DWORD thread, WORD virtualKey) {
  HWND target = FocusOf(thread);
  const auto scan = static_cast<LPARAM>(::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  ::PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | scan);
  Post(target, WM_KEYUP, virtualKey, 1 | scan | (LPARAM{3} << 30));
}

inline void Type(DWORD thread, const std::string& text) {
  HWND target = FocusOf(thread);
  for (const char c : text) ::PostMessageA(target, WM_CHAR, static_cast<unsigned char>(c), 1);
  Settle();
}

// Asks the script for a screenshot of hwnd as <QV_SHOT_DIR>\<name>.png and waits for it.
inline void Screenshot(HWND hwnd, const std::string& name) {
  const char* dir = std::getenv("QV_SHOT_DIR");
  if (dir == nullptr || *dir == '\0') return;
  ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Settle();
  RECT r{};
  ::GetWindowRect(hwnd, &r);
  const std::string base = std::string(dir) + "\\" + name;
  // Written aside and renamed, so the script never reads half a request.
  if (FILE* f = std::fopen((base + ".part").c_str(), "w")) {
    std::fprintf(f, "%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    std::fclose(f);
    ::MoveFileExA((base + ".part").c_str(), (base + ".request").c_str(), MOVEFILE_REPLACE_EXISTING);
  }
  const std::string png = base + ".png";
  WaitFor([&] { return ::GetFileAttributesA(png.c_str()) != INVALID_FILE_ATTRIBUTES; }, png);
}

}  // namespace qv::wintest

#define QV_CHECK(cond) ::qv::wintest::Check((cond), #cond, __FILE__, __LINE__)
#define QV_CHECK_EQ(a, b) ::qv::wintest::CheckEqual((a), (b), #a " == " #b, __FILE__, __LINE__)
