// TInterfaceForm as a modal Windows dialog: 480 x 550 pixels, centred on the screen, the
// controls of the form top to bottom with the identifiers of ControlIds_win32.h, a one-text
// status bar at the bottom.
//
// The window is a view of the form's logic: it calls the form's handlers on the user's events
// and afterwards shows the form's control values again. While the form is open the other
// top-level windows of the calling thread are disabled, so the host cannot call in again; the
// form's message boxes and the missing-tiles prompt are owned by the dialog. While Calculate
// runs, the buttons, Escape and the close box do nothing: the computation is not released
// under its own feet by a Cancel pressed behind one of its message boxes.
#pragma once

#include "dialog/InterfaceUnit.h"

namespace qv {

// Returns when the form is closed. Throws std::runtime_error when the window cannot be shown.
void ShowModalWindow(TInterfaceForm& form);

}  // namespace qv
