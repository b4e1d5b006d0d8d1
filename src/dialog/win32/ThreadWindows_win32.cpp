#include "dialog/win32/ThreadWindows_win32.h"

namespace qv {

TDisabledThreadWindows::TDisabledThreadWindows() : active_(::GetActiveWindow()) {
  ::EnumThreadWindows(::GetCurrentThreadId(), &TDisabledThreadWindows::Disable,
                      reinterpret_cast<LPARAM>(this));
}

TDisabledThreadWindows::~TDisabledThreadWindows() {
  for (HWND hwnd : disabled_) {
    if (::IsWindow(hwnd)) ::EnableWindow(hwnd, TRUE);
  }
  if (active_ != nullptr && ::IsWindow(active_)) ::SetActiveWindow(active_);
}

BOOL CALLBACK TDisabledThreadWindows::Disable(HWND hwnd, LPARAM self) {
  if (::IsWindowVisible(hwnd) && ::IsWindowEnabled(hwnd)) {
    // Recorded before it is disabled: the list must not forget a window it changed.
    reinterpret_cast<TDisabledThreadWindows*>(self)->disabled_.push_back(hwnd);
    ::EnableWindow(hwnd, FALSE);
  }
  return TRUE;
}

}  // namespace qv
