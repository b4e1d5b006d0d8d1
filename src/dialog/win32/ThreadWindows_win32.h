// While a modal window of ours is open, the other top-level windows of the calling thread
// (the host's) are disabled, as a modal form of the toolkit does it; they come back enabled,
// and the window that was active is active again, when this object goes.
#pragma once

#include <vector>

#include "platform/Win32.h"

namespace qv {

class TDisabledThreadWindows {
 public:
  TDisabledThreadWindows();
  ~TDisabledThreadWindows();
  TDisabledThreadWindows(const TDisabledThreadWindows&) = delete;
  TDisabledThreadWindows& operator=(const TDisabledThreadWindows&) = delete;

 private:
  static BOOL CALLBACK Disable(HWND hwnd, LPARAM self);
  std::vector<HWND> disabled_;
  HWND active_ = nullptr;
};

}  // namespace qv
