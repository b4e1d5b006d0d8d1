// What the Windows platform needs to be told beyond IPlatform: the locale of the thread that
// loaded the library (from DllMain) and the window that owns message boxes and the prompt.
#pragma once

#include <string_view>

#include "platform/Platform.h"
#include "platform/Win32.h"

namespace qv {

// Called by DllMain at process attach with GetThreadLocale() of the loading thread, which is
// the host's UI thread. Without it (a program linking the core) the first RecordedLocale()
// call reads the calling thread's locale instead.
void RecordLoadLocale(LCID locale) noexcept;

// The window that owns message boxes and the prompt: the innermost window registered with
// TScopedMessageOwner on this thread, else the thread's active window. A box owned by the
// parameter dialog stays in front of it and keeps it disabled while open.
HWND MessageOwner() noexcept;

class TScopedMessageOwner {
 public:
  explicit TScopedMessageOwner(HWND owner) noexcept;
  ~TScopedMessageOwner();
  TScopedMessageOwner(const TScopedMessageOwner&) = delete;
  TScopedMessageOwner& operator=(const TScopedMessageOwner&) = delete;

 private:
  HWND previous_;
};

// The module (DLL or program) that this code is linked into; dialogs are created for it.
HINSTANCE ThisModule() noexcept;

// The missing-tiles prompt as a window: 392 x 103 at a fixed place on the screen, the text in
// a label (a carriage return starts a new line), Yes as default button with the focus, No as
// cancel button. Yes and No come back as such; Escape gives No; the close box gives Cancel.
TQuestionResult ShowYesNoPrompt(HWND owner, std::string_view title, std::string_view text,
                                std::string_view yesCaption, std::string_view noCaption);

}  // namespace qv
