#include "platform/DialogTemplate_win32.h"

#include <string_view>

namespace qv {

std::vector<WORD> EmptyDialogTemplate(DWORD style) {
  style |= DS_SETFONT;
  // DLGTEMPLATE: style, extended style, no items, position and size (in dialog units; the
  // window sets its own pixel size when initialised); then no menu, the standard dialog
  // class, an empty title, and the font size in points.
  std::vector<WORD> t{LOWORD(style), HIWORD(style), 0, 0, 0, 0, 0, 100, 50, 0, 0, 0, 8};
  for (const char c : std::string_view("MS Shell Dlg")) t.push_back(static_cast<WORD>(c));
  t.push_back(0);
  return t;
}

}  // namespace qv
