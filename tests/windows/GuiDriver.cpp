#include "GuiDriver.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "WinTest.h"

namespace qv::wintest {

namespace {

constexpr UINT kMsgSettle = WM_APP + 0x51;
constexpr UINT kMsgRun = WM_APP + 0x52;
HWND syncWindow = nullptr;

LRESULT CALLBACK SyncProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == kMsgSettle) {
    ::SetEvent(reinterpret_cast<HANDLE>(lParam));
    return 0;
  }
  if (message == kMsgRun) {
    (*reinterpret_cast<const std::function<void()>*>(lParam))();
    return 0;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

struct TFindDialog {
  std::function<bool(HWND)> Wanted;
  HWND Found = nullptr;
};

BOOL CALLBACK FindDialogProc(HWND hwnd, LPARAM lParam) {
  auto& find = *reinterpret_cast<TFindDialog*>(lParam);
  char cls[32] = {};
  ::GetClassNameA(hwnd, cls, sizeof cls);
  if (std::string(cls) == "#32770" && ::IsWindowVisible(hwnd) && find.Wanted(hwnd)) {
    find.Found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForDialogWhere(DWORD thread, const std::function<bool(HWND)>& wanted,
                        const std::string& what) {
  TFindDialog find{wanted};
  const bool found = WaitFor([&] {
    find.Found = nullptr;
    ::EnumThreadWindows(thread, FindDialogProc, reinterpret_cast<LPARAM>(&find));
    return find.Found != nullptr;
  });
  if (!found) Abort("no " + what + " appeared");
  // The dialog is visible; let it finish its first paint and focus.
  Settle();
  return find.Found;
}

HWND FocusedWindow(DWORD thread) {
  HWND focus = FocusOf(thread);
  if (focus == nullptr) Abort("no focused window for the input");
  return focus;
}

}  // namespace

TThread::TThread(std::function<void()> fn) : fn_(std::move(fn)) {
  handle_ = ::CreateThread(nullptr, 0, &TThread::Start, this, 0, nullptr);
  if (handle_ == nullptr) Abort("CreateThread failed");
}

TThread::~TThread() {
  ::WaitForSingleObject(handle_, INFINITE);
  ::CloseHandle(handle_);
}

// A whole scenario may take a while (a calculation); each of its steps has its own limit.
void TThread::JoinPumping() { WaitPumping(handle_, 10 * kWaitMs); }

void WaitPumping(HANDLE object, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  for (;;) {
    const DWORD woken = ::MsgWaitForMultipleObjects(1, &object, FALSE, 100, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) return;
    if (::GetTickCount64() > end) Abort("the driver did not finish");
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
}

DWORD WINAPI TThread::Start(LPVOID self) {
  static_cast<TThread*>(self)->fn_();
  return 0;
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(20);
  }
  return true;
}

HWND WaitForDialog(DWORD thread, const std::string& titlePrefix) {
  return WaitForDialogWhere(
      thread, [&](HWND hwnd) { return TextOf(hwnd).rfind(titlePrefix, 0) == 0; },
      "dialog \"" + titlePrefix + "\"");
}

HWND WaitForDialogWith(DWORD thread, int controlId) {
  return WaitForDialogWhere(
      thread, [&](HWND hwnd) { return ::GetDlgItem(hwnd, controlId) != nullptr; },
      "dialog with control " + std::to_string(controlId));
}

HWND WaitForOwnedDialog(DWORD thread, HWND owner) {
  return WaitForDialogWhere(
      thread, [&](HWND hwnd) { return ::GetWindow(hwnd, GW_OWNER) == owner; },
      "dialog owned by the parameter dialog");
}

void WaitUntilDestroyed(HWND hwnd) {
  if (!WaitFor([&] { return !::IsWindow(hwnd); })) Abort("a window did not close");
}

std::string TextOf(HWND hwnd) {
  // WM_GETTEXT is answered by the window's own thread, so this works across threads.
  char buffer[2048] = {};
  ::SendMessageA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

bool IsEnabled(HWND hwnd) { return (::GetWindowLongA(hwnd, GWL_STYLE) & WS_DISABLED) == 0; }

HWND FocusOf(DWORD thread) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

void PressKeyInFocus(DWORD thread, WORD virtualKey) {
  HWND target = FocusedWindow(thread);
  const UINT scan = ::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
  ::PostMessageA(target, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1 | (scan << 16)));
  ::PostMessageA(target, WM_KEYUP, virtualKey, static_cast<LPARAM>(1 | (scan << 16) | (3u << 30)));
  Settle();
}

void TypeInFocus(DWORD thread, const std::string& text) {
  HWND target = FocusedWindow(thread);
  for (const char c : text) ::PostMessageA(target, WM_CHAR, static_cast<unsigned char>(c), 1);
  Settle();
}

void ClickButton(HWND button) {
  ::PostMessageA(button, BM_CLICK, 0, 0);
  Settle();
}

void ClickCloseBox(HWND window) {
  ::PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  Settle();
}

HWND CreateHostWindow(const char* title) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = ::DefWindowProcA;
  cls.hInstance = ::GetModuleHandleA(nullptr);
  cls.lpszClassName = "QvTestHost";
  ::RegisterClassA(&cls);
  HWND host = ::CreateWindowExA(0, cls.lpszClassName, title, WS_OVERLAPPEDWINDOW, 10, 10, 300,
                                200, nullptr, nullptr, cls.hInstance, nullptr);
  ::ShowWindow(host, SW_SHOW);
  return host;
}

void CreateSyncWindow() {
  WNDCLASSA cls{};
  cls.lpfnWndProc = SyncProc;
  cls.hInstance = ::GetModuleHandleA(nullptr);
  cls.lpszClassName = "QvTestSync";
  ::RegisterClassA(&cls);
  syncWindow = ::CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 cls.hInstance, nullptr);
  if (syncWindow == nullptr) Abort("the sync window cannot be created");
}

void Settle() {
  // Three rounds: a key handled in the first round may post its character behind the marker,
  // and the character may post a message of its own (the next control's focus).
  for (int round = 0; round < 3; ++round) {
    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ::PostMessageA(syncWindow, kMsgSettle, 0, reinterpret_cast<LPARAM>(done));
    const DWORD waited = ::WaitForSingleObject(done, kWaitMs);
    ::CloseHandle(done);
    if (waited != WAIT_OBJECT_0) Abort("the thread under test stopped handling messages");
  }
}

void RunOnUiThread(const std::function<void()>& fn) {
  DWORD_PTR ignored = 0;
  if (!::SendMessageTimeoutA(syncWindow, kMsgRun, 0, reinterpret_cast<LPARAM>(&fn), SMTO_NORMAL,
                             kWaitMs, &ignored))
    Abort("the thread under test did not run a request");
}

void Screenshot(HWND hwnd, const std::string& name) {
  const char* dir = std::getenv("QV_SHOT_DIR");
  if (dir == nullptr || *dir == '\0') return;
  Settle();
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
  const bool saved = WaitFor(
      [&] { return ::GetFileAttributesA((base + ".png").c_str()) != INVALID_FILE_ATTRIBUTES; },
      15000);
  if (!saved) {
    std::printf("note: screenshot %s was not taken\n", name.c_str());
    std::fflush(stdout);
  }
}

}  // namespace qv::wintest
