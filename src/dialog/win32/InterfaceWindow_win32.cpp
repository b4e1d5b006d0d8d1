#include "dialog/win32/InterfaceWindow_win32.h"

#include "platform/Win32.h"  // before commctrl.h, which needs its types
#include <commctrl.h>

#include <array>
#include <stdexcept>

#include "dialog/EventDispatch.h"
#include "dialog/win32/ControlIds_win32.h"
#include "dialog/win32/InterfaceWindowImpl_win32.h"
#include "dialog/win32/ThreadWindows_win32.h"
#include "platform/DialogTemplate_win32.h"

namespace qv {

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 550;

struct TFocusable {
  TControlId Control;
  int Window;
};

// The controls that take the focus; the file-type group by its first choice.
constexpr std::array<TFocusable, 16> kFocusable{{
    {TControlId::edtMinTreeHeight, control_id::edtMinTreeHeight},
    {TControlId::edTreeRadiusParam1, control_id::edTreeRadiusParam1},
    {TControlId::edTreeRadiusParam0, control_id::edTreeRadiusParam0},
    {TControlId::edNumCirclePoints, control_id::edNumCirclePoints},
    {TControlId::edtMinClearingArea, control_id::edtMinClearingArea},
    {TControlId::edtMinWoodedArea, control_id::edtMinWoodedArea},
    {TControlId::rgNhmFiletype, control_id::rgNhmFiletypeAscii},
    {TControlId::rgNhmFiletype, control_id::rgNhmFiletypeBinary},
    {TControlId::edtNhmDir, control_id::edtNhmDir},
    {TControlId::edtNhmPrefix, control_id::edtNhmPrefix},
    {TControlId::cmbNhmSeparator, control_id::cmbNhmSeparator},
    {TControlId::edtNhmSuffix, control_id::edtNhmSuffix},
    {TControlId::cmbNhmFileExt, control_id::cmbNhmFileExt},
    {TControlId::btnResetDefaultParameters, control_id::btnResetDefaultParameters},
    {TControlId::btnCancel, control_id::btnCancel},
    {TControlId::btnCalculate, control_id::btnCalculate},
}};

std::string WindowText(HWND hwnd) {
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

void ShowText(HWND hwnd, const std::string& text) {
  if (WindowText(hwnd) != text) ::SetWindowTextA(hwnd, text.c_str());
}

void ShowComboBox(HWND combo, const TComboBox& list) {
  if (::IsWindowEnabled(combo) != (list.Enabled ? TRUE : FALSE))
    ::EnableWindow(combo, list.Enabled);
  const auto current = static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
  if (list.ItemIndex >= 0) {
    if (current != list.ItemIndex)
      ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(list.ItemIndex), 0);
    return;
  }
  if (current != CB_ERR) ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
  ShowText(combo, list.Text);
}

}  // namespace

void ShowModalWindow(TInterfaceForm& form) {
  TInterfaceWindow window(form);
  window.ShowModal();
}

void TInterfaceWindow::ShowModal() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&controls);
  // The host cannot call in again while its windows are disabled.
  const TDisabledThreadWindows disabled;
  const auto dialog = EmptyDialogTemplate(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  const INT_PTR result =
      ::DialogBoxIndirectParamA(ThisModule(), AsTemplate(dialog), nullptr,
                                &TInterfaceWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  if (result == -1) throw std::runtime_error("The parameter dialog cannot be shown");
}

INT_PTR CALLBACK TInterfaceWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) noexcept {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    auto* self = reinterpret_cast<TInterfaceWindow*>(lParam);
    try {
      self->Initialise(hwnd);
    } catch (...) {
      ShowEscapedException(std::current_exception());
      ::EndDialog(hwnd, -1);
    }
    return FALSE;  // the focus is set: btnCalculate
  }
  auto* self = reinterpret_cast<TInterfaceWindow*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  if (self == nullptr) return FALSE;
  INT_PTR result = FALSE;
  // Nothing may unwind into the dialog manager (on 32 bits that ends the host).
  DispatchEvent([&] { result = self->HandleMessage(message, wParam, lParam); });
  return result;
}

INT_PTR TInterfaceWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_COMMAND:
      Command(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      // The close box.
      if (!busy_) Dispatch([&] { form_.Close(); });
      return TRUE;
    case WM_DESTROY:
      form_.Controls.StatusBar1.OnChange = nullptr;
      messageOwner_.reset();
      return FALSE;
    default:
      return FALSE;
  }
}

void TInterfaceWindow::Initialise(HWND hwnd) {
  hwnd_ = hwnd;
  messageOwner_.emplace(hwnd_);
  font_ = reinterpret_cast<HFONT>(::SendMessageA(hwnd_, WM_GETFONT, 0, 0));
  ::SetWindowPos(hwnd_, nullptr, (::GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2,
                 (::GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2, kWidth, kHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  CreateControls();
  form_.Controls.StatusBar1.OnChange = [this] { ShowStatusText(); };
  for (auto& edit : edits_) {
    if (&edit->Logic() == &form_.Controls.edtNhmPrefix)
      edit->OnKeyUp = [this] { Dispatch([&] { form_.edtNhmPrefixKeyUp(); }); };
    if (&edit->Logic() == &form_.Controls.edtNhmSuffix)
      edit->OnKeyUp = [this] { Dispatch([&] { form_.edtNhmSuffixKeyUp(); }); };
  }
  // The window is activated for the first time: the form sets itself up.
  Dispatch([&] { form_.FormActivate(); });
}

void TInterfaceWindow::Command(int id, int code) {
  namespace cid = control_id;
  if (busy_ || refreshing_) return;
  switch (id) {
    case IDCANCEL:  // Escape, from a control that leaves it to the dialog
      Dispatch([&] { form_.EscapePressed(); });
      return;
    case cid::edtNhmDir:
      if (code == EN_CHANGE) form_.Controls.edtNhmDir.Text = WindowText(Item(id));
      return;
    case cid::cmbNhmSeparator:
    case cid::cmbNhmFileExt:
      ComboBoxCommand(id, code);
      return;
    default:
      if (code == BN_CLICKED) ButtonClicked(id);
      return;
  }
}

void TInterfaceWindow::ComboBoxCommand(int id, int code) {
  TComboBox& list = id == control_id::cmbNhmSeparator ? form_.Controls.cmbNhmSeparator
                                                      : form_.Controls.cmbNhmFileExt;
  if (code == CBN_EDITCHANGE) {
    list.TypeText(WindowText(Item(id)));
  } else if (code == CBN_SELCHANGE) {
    // The list's edit shows the chosen text only after this notification: take the index.
    const auto index = static_cast<int>(::SendMessageA(Item(id), CB_GETCURSEL, 0, 0));
    Dispatch([&] {
      list.Select(index);
      form_.cmbNhmSeparatorClick();
    });
  }
}

void TInterfaceWindow::ButtonClicked(int id) {
  namespace cid = control_id;
  switch (id) {
    case cid::rgNhmFiletypeAscii:
    case cid::rgNhmFiletypeBinary:
      Dispatch([&] {
        form_.Controls.rgNhmFiletype.SetItemIndex(id == cid::rgNhmFiletypeAscii ? NhmAsciiGrid
                                                                                : NhmFloatGrid);
      });
      return;
    case cid::btnResetDefaultParameters:
      Dispatch([&] { form_.btnResetDefaultParametersClick(); });
      return;
    case cid::btnCancel:
      Dispatch([&] { form_.btnCancelClick(); });
      return;
    case cid::btnCalculate:
      Calculate();
      return;
    default:
      return;
  }
}

void TInterfaceWindow::Calculate() {
  busy_ = true;
  Dispatch([&] { form_.btnCalculateClick(); });
  busy_ = false;
  DiscardQueuedInput();
}

template <class Handler>
void TInterfaceWindow::Dispatch(Handler&& handler) {
  form_.Controls.Focused = FocusedControl();
  DispatchEvent(handler);
  if (!form_.IsOpen()) {
    ::EndDialog(hwnd_, 0);
    return;
  }
  Refresh();
  ShowFocus();
}

// Keys and clicks that arrived while the dialog was busy are not acted on afterwards.
void TInterfaceWindow::DiscardQueuedInput() {
  MSG msg{};
  while (::PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (::PeekMessageA(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
}

TControlId TInterfaceWindow::FocusedControl() const {
  HWND focus = ::GetFocus();
  for (const auto& f : kFocusable) {
    HWND control = Item(f.Window);
    // A drop-down list has its own edit window inside.
    if (focus == control || (focus != nullptr && ::GetParent(focus) == control)) return f.Control;
  }
  return TControlId::None;
}

void TInterfaceWindow::ShowFocus() {
  const TControlId wanted = form_.Controls.Focused;
  if (wanted == TControlId::None || wanted == FocusedControl()) return;
  int window = 0;
  for (const auto& f : kFocusable) {
    if (f.Control == wanted && window == 0) window = f.Window;
  }
  if (wanted == TControlId::rgNhmFiletype &&
      form_.Controls.rgNhmFiletype.ItemIndex() == NhmFloatGrid)
    window = control_id::rgNhmFiletypeBinary;
  // Through the dialog manager, as a key would move it.
  ::SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(window)), TRUE);
}

void TInterfaceWindow::Refresh() {
  namespace cid = control_id;
  const auto& c = form_.Controls;
  refreshing_ = true;
  ShowText(hwnd_, c.Caption);
  const std::pair<int, const std::string*> captions[] = {
      {cid::lblXextent, &c.lblXextent.Caption},
      {cid::lblYExtent, &c.lblYExtent.Caption},
      {cid::lblShapeName, &c.lblShapeName.Caption},
      {cid::lblTopLeftMapNr, &c.lblTopLeftMapNr.Caption},
      {cid::lblTiles, &c.lblTiles.Caption},
      {cid::lblMinTreeHeight, &c.lblMinTreeHeight.Caption},
      {cid::lblTreeRadiusParams, &c.lblTreeRadiusParams.Caption},
      {cid::lblNumCirclePoints, &c.lblNumCirclePoints.Caption},
      {cid::lblMinClearingArea, &c.lblMinClearingArea.Caption},
      {cid::lblMinWoodedArea, &c.lblMinWoodedArea.Caption},
      {cid::rgNhmFiletype, &c.rgNhmFiletype.Caption},
      {cid::lblNhmDir, &c.lblNhmDir.Caption},
      {cid::edtNhmDir, &c.edtNhmDir.Text},
      {cid::lblNhmNomenclature, &c.lblNhmNomenclature.Caption},
      {cid::lblNhmPrefix, &c.lblNhmPrefix.Caption},
      {cid::lblMapNumber, &c.lblMapNumber.Caption},
      {cid::lblTileNumber, &c.lblTileNumber.Caption},
      {cid::lblNhmSuffix, &c.lblNhmSuffix.Caption},
      {cid::lblNhmExample, &c.lblNhmExample.Caption},
      {cid::btnResetDefaultParameters, &c.btnResetDefaultParameters.Caption},
      {cid::btnCancel, &c.btnCancel.Caption},
      {cid::btnCalculate, &c.btnCalculate.Caption},
  };
  for (const auto& [id, text] : captions) ShowText(Item(id), *text);
  // In the order of the file-type indexes.
  const int choices[] = {cid::rgNhmFiletypeAscii, cid::rgNhmFiletypeBinary};
  for (int i = NhmAsciiGrid; i <= NhmFloatGrid; ++i) {
    HWND choice = Item(choices[i]);
    if (static_cast<std::size_t>(i) < c.rgNhmFiletype.Items.size())
      ShowText(choice, c.rgNhmFiletype.Items[static_cast<std::size_t>(i)]);
    ::SendMessageA(choice, BM_SETCHECK,
                   c.rgNhmFiletype.ItemIndex() == i ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  ShowComboBox(Item(cid::cmbNhmSeparator), c.cmbNhmSeparator);
  ShowComboBox(Item(cid::cmbNhmFileExt), c.cmbNhmFileExt);
  for (auto& edit : edits_) edit->ShowLogicText();
  ShowStatusText();
  refreshing_ = false;
}

void TInterfaceWindow::ShowStatusText() {
  HWND bar = Item(control_id::StatusBar1);
  const std::string& text = form_.Controls.StatusBar1.SimpleText;
  ::SendMessageA(bar, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
  // The computation runs without handling messages: paint now.
  ::UpdateWindow(bar);
}

}  // namespace qv
