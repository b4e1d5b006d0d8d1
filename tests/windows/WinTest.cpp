#include "WinTest.h"

#include <cstdio>
#include <cstdlib>

namespace qv::wintest {

namespace {

LONG passed = 0;
LONG failed = 0;
constexpr UINT kMsgSettle = WM_APP + 0x51;
constexpr UINT kMsgRun = WM_APP + 0x52;
HWND syncWindow = nullptr;

LRESULT CALLBACK SyncProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == kMsgSettle) ::SetEvent(reinterpret_cast<HANDLE>(lParam));
  if (message == kMsgRun) (*reinterpret_cast<const std::function<void()>*>(lParam))();
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

DWORD WINAPI RunDriver(LPVOID fn) {
  (*static_cast<std::function<void()>*>(fn))();
  delete static_cast<std::function<void()>*>(fn);
  return 0;
}

struct TFind {
  HWND Owner;
  int ControlId;
  HWND Found = nullptr;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam) {
  auto& find = *reinterpret_cast<TFind*>(lParam);
  char cls[32] = {};
  ::GetClassNameA(hwnd, cls, sizeof cls);
  if (std::string(cls) == "#32770" && ::IsWindowVisible(hwnd) &&
      (find.Owner == nullptr || ::GetWindow(hwnd, GW_OWNER) == find.Owner) &&
      (find.ControlId == 0 || ::GetDlgItem(hwnd, find.ControlId) != nullptr))
    find.Found = hwnd;
  return find.Found == nullptr;
}

HWND Focused(DWORD thread) {
  HWND focus = FocusOf(thread);
  if (focus == nullptr) Abort("no focused window for the input");
  return focus;
}

}  // namespace

void Check(bool ok, const char* expression, const char* file, int line, const std::string& detail) {
  ::InterlockedIncrement(ok ? &passed : &failed);
  if (ok) return;
  std::printf("FAILED %s:%d: %s %s\n", file, line, expression, detail.c_str());
  std::fflush(stdout);
}

int Summary(const char* program) {
  std::printf("%s: %ld passed, %ld failed\n", program, passed, failed);
  std::fflush(stdout);
  return failed == 0 && passed > 0 ? 0 : 1;
}

void Abort(const std::string& why) {
  std::printf("ABORTED: %s (%ld passed, %ld failed so far)\n", why.c_str(), passed, failed);
  std::fflush(stdout);
  ::TerminateProcess(::GetCurrentProcess(), 3);
  for (;;) {
  }
}

HANDLE Drive(const std::function<void()>& fn) {
  HANDLE thread = ::CreateThread(nullptr, 0, RunDriver, new std::function<void()>(fn), 0, nullptr);
  if (thread == nullptr) Abort("CreateThread failed");
  return thread;
}

void Join(HANDLE driver) {
  // A whole scenario may take a while (a calculation); each of its steps has its own limit.
  const ULONGLONG end = ::GetTickCount64() + 10 * kWaitMs;
  while (::MsgWaitForMultipleObjects(1, &driver, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
    if (::GetTickCount64() > end) Abort("the driver did not finish");
    MSG msg{};
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
  }
  ::CloseHandle(driver);
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG end = ::GetTickCount64() + timeoutMs;
  while (!condition()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(20);
  }
  return true;
}

HWND WaitForDialog(DWORD thread, HWND owner, int controlId) {
  TFind find{owner, controlId};
  if (!WaitFor([&] {
        ::EnumThreadWindows(thread, FindDialog, reinterpret_cast<LPARAM>(&find));
        return find.Found != nullptr;
      }))
    Abort("the awaited dialog did not appear");
  Settle();
  return find.Found;
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
  return ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

void PressKey(DWORD thread, WORD virtualKey) {
  HWND target = Focused(thread);
  const auto scan = static_cast<LPARAM>(::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  ::PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | scan);
  Post(target, WM_KEYUP, virtualKey, 1 | scan | (LPARAM{3} << 30));
}

void Type(DWORD thread, const std::string& text) {
  HWND target = Focused(thread);
  for (const char c : text) ::PostMessageA(target, WM_CHAR, static_cast<unsigned char>(c), 1);
  Settle();
}

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ::PostMessageA(hwnd, message, wParam, lParam);
  Settle();
}

HWND CreateHostWindow() {
  return ::CreateWindowExA(0, "STATIC", "GIS host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                           200, nullptr, nullptr, nullptr, nullptr);
}

void CreateSyncWindow() {
  WNDCLASSA cls{};
  cls.lpfnWndProc = SyncProc;
  cls.lpszClassName = "QvTestSync";
  ::RegisterClassA(&cls);
  syncWindow = ::CreateWindowExA(0, cls.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 nullptr, nullptr);
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

void OnUiThread(const std::function<void()>& fn) {
  DWORD_PTR ignored = 0;
  if (!::SendMessageTimeoutA(syncWindow, kMsgRun, 0, reinterpret_cast<LPARAM>(&fn), SMTO_NORMAL,
                             kWaitMs, &ignored))
    Abort("the thread under test did not run a request");
}

void Screenshot(HWND hwnd, const std::string& name) {
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
  if (!WaitFor([&] { return ::GetFileAttributesA(png.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000))
    std::printf("note: screenshot %s was not taken\n", name.c_str());
}

}  // namespace qv::wintest
