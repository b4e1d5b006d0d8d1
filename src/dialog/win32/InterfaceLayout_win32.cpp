// Where the parameter dialog's controls go, in pixels of the client area, top to bottom. The
// order of creation is the order of the tab key.
#include "platform/Win32.h"  // before commctrl.h, which needs its types
#include <commctrl.h>

#include <stdexcept>

#include "dialog/win32/ControlIds_win32.h"
#include "dialog/win32/InterfaceWindowImpl_win32.h"

namespace qv {

namespace {

constexpr int kMargin = 10;
constexpr int kLine = 15;         // a one-line label
constexpr int kFieldHeight = 21;  // edits and drop-down lists
constexpr int kButtonHeight = 25;
constexpr int kFieldLeft = 300;  // the numeric fields of the parameter rows
constexpr int kFieldWidth = 90;
constexpr int kDropDownHeight = 160;  // with the list open

constexpr DWORD kLabel = SS_LEFT | SS_NOPREFIX;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kComboBox = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;

RECT Box(int left, int top, int width, int height) {
  return {left, top, left + width, top + height};
}

}  // namespace

HWND TInterfaceWindow::AddControl(const char* windowClass, DWORD style, int id, RECT bounds,
                                  const std::string& text) {
  HWND control =
      ::CreateWindowExA(0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, bounds.left,
                        bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  if (control == nullptr) throw std::runtime_error("A control of the dialog cannot be created");
  ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return control;
}

void TInterfaceWindow::AddEnhancedEdit(TEnhancedEdit& logic, int id, RECT bounds) {
  edits_.push_back(std::make_unique<TEnhancedEditControl>(logic, hwnd_, id, bounds, font_));
}

void TInterfaceWindow::AddStatusBar() {
  HWND bar = AddControl(STATUSCLASSNAMEA, 0, control_id::StatusBar1, Box(0, 0, 0, 0));
  ::SendMessageA(bar, SB_SIMPLE, TRUE, 0);
}

// Each section starts at y and returns where the next one starts.
void TInterfaceWindow::CreateControls() {
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  width_ = client.right - 2 * kMargin;
  int y = AddInformationLines(6);
  y = AddParameterRows(y);
  y = AddFileTypeAndDirectory(y);
  y = AddFileNameRow(y);
  AddButtons(y);
  AddStatusBar();
}

int TInterfaceWindow::AddInformationLines(int y) {
  namespace id = control_id;
  for (const int label : {id::lblXextent, id::lblYExtent, id::lblShapeName, id::lblTopLeftMapNr}) {
    AddControl("STATIC", kLabel | SS_ENDELLIPSIS, label, Box(kMargin, y, width_, kLine));
    y += kLine + 1;
  }
  AddControl("STATIC", kLabel, id::lblTiles, Box(kMargin, y, width_, 2 * kLine));  // wraps
  return y + 2 * kLine + 6;
}

// One parameter per row: caption, field, unit; the radius model in a row of its own.
int TInterfaceWindow::AddParameterRows(int y) {
  namespace id = control_id;
  auto& c = form_.Controls;
  const auto parameterRow = [&](int label, TEnhancedEdit& field, int fieldId, int unit,
                                std::string_view unitText) {
    AddControl("STATIC", kLabel, label, Box(kMargin, y + 3, kFieldLeft - 2 * kMargin, kLine));
    AddEnhancedEdit(field, fieldId, Box(kFieldLeft, y, kFieldWidth, kFieldHeight));
    if (unit != 0)
      AddControl("STATIC", kLabel, unit, Box(kFieldLeft + kFieldWidth + 6, y + 3, 40, kLine),
                 std::string(unitText));
    y += kFieldHeight + 5;
  };
  parameterRow(id::lblMinTreeHeight, c.edtMinTreeHeight, id::edtMinTreeHeight,
               id::lblMinTreeHeightUnit, fixed_caption::UnitMetres);

  AddControl("STATIC", kLabel, id::lblTreeRadiusParams, Box(kMargin, y, width_, kLine));
  y += kLine + 2;
  AddControl("STATIC", kLabel, id::lblRadiusModelStart, Box(kMargin, y + 3, 30, kLine),
             std::string(fixed_caption::RadiusModelStart));
  AddEnhancedEdit(c.edTreeRadiusParam1, id::edTreeRadiusParam1,
                  Box(kMargin + 30, y, kFieldWidth, kFieldHeight));
  AddControl("STATIC", kLabel, id::lblRadiusModelMiddle,
             Box(kMargin + 36 + kFieldWidth, y + 3, 36, kLine),
             std::string(fixed_caption::RadiusModelMiddle));
  AddEnhancedEdit(c.edTreeRadiusParam0, id::edTreeRadiusParam0,
                  Box(kMargin + 72 + kFieldWidth, y, kFieldWidth, kFieldHeight));
  AddControl("STATIC", kLabel, id::lblTreeRadiusUnit,
             Box(kMargin + 78 + 2 * kFieldWidth, y + 3, 40, kLine),
             std::string(fixed_caption::UnitMetres));
  y += kFieldHeight + 5;

  parameterRow(id::lblNumCirclePoints, c.edNumCirclePoints, id::edNumCirclePoints, 0, {});
  parameterRow(id::lblMinClearingArea, c.edtMinClearingArea, id::edtMinClearingArea,
               id::lblMinClearingAreaUnit, fixed_caption::UnitSquareMetres);
  parameterRow(id::lblMinWoodedArea, c.edtMinWoodedArea, id::edtMinWoodedArea,
               id::lblMinWoodedAreaUnit, fixed_caption::UnitSquareMetres);
  return y;
}

// The file type: a framed group of two choices in two columns. The first choice starts the
// group for the arrow keys; the label after the last one starts the next.
int TInterfaceWindow::AddFileTypeAndDirectory(int y) {
  namespace id = control_id;
  AddControl("BUTTON", BS_GROUPBOX, id::rgNhmFiletype, Box(kMargin, y, width_, 40));
  AddControl("BUTTON", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, id::rgNhmFiletypeAscii,
             Box(kMargin + 10, y + 16, width_ / 2 - 14, 18));
  AddControl("BUTTON", BS_AUTORADIOBUTTON, id::rgNhmFiletypeBinary,
             Box(kMargin + width_ / 2 + 4, y + 16, width_ / 2 - 14, 18));
  y += 44;

  AddControl("STATIC", kLabel | WS_GROUP, id::lblNhmDir, Box(kMargin, y, width_, kLine));
  y += kLine + 1;
  AddControl("EDIT", ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER, id::edtNhmDir,
             Box(kMargin, y, width_, kFieldHeight));
  return y + kFieldHeight + 5;
}

// The file-name row: prefix, map number, separator, tile number, suffix, extension, with the
// headings above, and the example below.
int TInterfaceWindow::AddFileNameRow(int y) {
  namespace id = control_id;
  auto& c = form_.Controls;
  AddControl("STATIC", kLabel, id::lblNhmNomenclature, Box(kMargin, y, width_, kLine));
  y += kLine + 1;
  const int prefixLeft = kMargin;
  const int mapLeft = prefixLeft + 96;
  const int separatorLeft = mapLeft + 62;
  const int tileLeft = separatorLeft + 56;
  const int suffixLeft = tileLeft + 62;
  const int extLeft = kMargin + width_ - 64;
  AddControl("STATIC", kLabel | SS_CENTER, id::lblNhmPrefix, Box(prefixLeft, y, 90, kLine));
  AddControl("STATIC", kLabel, id::lblMapNumber, Box(mapLeft, y, 60, kLine));
  AddControl("STATIC", kLabel, id::lblTileNumber, Box(tileLeft, y, 60, kLine));
  AddControl("STATIC", kLabel, id::lblNhmSuffix, Box(suffixLeft, y, extLeft - suffixLeft, kLine));
  y += kLine + 1;
  AddEnhancedEdit(c.edtNhmPrefix, id::edtNhmPrefix, Box(prefixLeft, y, 90, kFieldHeight));
  AddControl("STATIC", kLabel, id::lblMapNumberPlaceholder, Box(mapLeft, y + 3, 56, kLine),
             std::string(fixed_caption::MapNumberPlaceholder));
  AddControl("COMBOBOX", kComboBox, id::cmbNhmSeparator,
             Box(separatorLeft, y, 50, kDropDownHeight));
  AddControl("STATIC", kLabel, id::lblTileNumberPlaceholder, Box(tileLeft, y + 3, 56, kLine),
             std::string(fixed_caption::TileNumberPlaceholder));
  AddEnhancedEdit(c.edtNhmSuffix, id::edtNhmSuffix,
                  Box(suffixLeft, y, extLeft - 6 - suffixLeft, kFieldHeight));
  AddControl("COMBOBOX", kComboBox, id::cmbNhmFileExt, Box(extLeft, y, 64, kDropDownHeight));
  for (const auto& [list, control] : {std::pair{&c.cmbNhmSeparator, id::cmbNhmSeparator},
                                      std::pair{&c.cmbNhmFileExt, id::cmbNhmFileExt}}) {
    for (const std::string& item : list->Items)
      ::SendMessageA(Item(control), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
  }
  y += kFieldHeight + 5;

  AddControl("STATIC", kLabel, id::lblNhmExample, Box(kMargin, y, width_, kLine));
  return y + kLine + 6;
}

void TInterfaceWindow::AddButtons(int y) {
  namespace id = control_id;
  AddControl("BUTTON", kButton, id::btnResetDefaultParameters,
             Box(kMargin, y, width_ * 2 / 3, kButtonHeight));
  y += kButtonHeight + 5;
  AddControl("BUTTON", kButton, id::btnCancel, Box(kMargin, y, 120, kButtonHeight));
  AddControl("BUTTON", kButton, id::btnCalculate,
             Box(kMargin + 130, y, width_ - 130, kButtonHeight));
}

}  // namespace qv
