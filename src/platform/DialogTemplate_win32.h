// An in-memory dialog template without controls. Our windows are dialogs for the dialog
// manager's keyboard handling (Tab, Escape, Enter, the default button) and its modal loop, but
// place their controls in pixels themselves when the dialog is initialised.
#pragma once

#include <vector>

#include "platform/Win32.h"

namespace qv {

// Style: WS_ and DS_ flags; DS_SETFONT is added and the dialog font is "MS Shell Dlg", 8 pt.
// The buffer is WORD-aligned as DialogBoxIndirectParam needs (DWORD alignment comes from the
// allocator).
std::vector<WORD> EmptyDialogTemplate(DWORD style);

inline const DLGTEMPLATE* AsTemplate(const std::vector<WORD>& buffer) {
  return reinterpret_cast<const DLGTEMPLATE*>(buffer.data());
}

}  // namespace qv
