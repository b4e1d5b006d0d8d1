#include "dialog/win32/EnhancedEditControl_win32.h"

#include <cstring>
#include <exception>
#include <optional>
#include <stdexcept>

#include "dialog/EventDispatch.h"

namespace qv {

namespace {

DWORD AlignmentStyle(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify:
      return ES_RIGHT;
    case TAlignment::taCenter:
      return ES_CENTER;
    case TAlignment::taLeftJustify:
      break;
  }
  return ES_LEFT;
}

UINT AlignmentFormat(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify:
      return DT_RIGHT;
    case TAlignment::taCenter:
      return DT_CENTER;
    case TAlignment::taLeftJustify:
      break;
  }
  return DT_LEFT;
}

std::string WindowText(HWND hwnd) {
  std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(
      static_cast<std::size_t>(::GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The clipboard's plain text, or nothing when it holds none (or another program holds it).
std::optional<std::string> ClipboardText(HWND owner) {
  if (!::IsClipboardFormatAvailable(CF_TEXT) || !::OpenClipboard(owner)) return std::nullopt;
  std::optional<std::string> text;
  if (HANDLE data = ::GetClipboardData(CF_TEXT)) {
    if (const auto* chars = static_cast<const char*>(::GlobalLock(data))) {
      text = std::string(chars, ::strnlen(chars, ::GlobalSize(data)));
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

constexpr WPARAM kCtrlV = 0x16;

// Messages after which the control's text may have changed by the control's own editing.
bool MayChangeText(UINT message) {
  switch (message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_REPLACESEL:
    case WM_SETTEXT:
    case WM_IME_CHAR:
      return true;
    default:
      return false;
  }
}

}  // namespace

TEnhancedEditControl::TEnhancedEditControl(TEnhancedEdit& logic, HWND parent, int id, RECT bounds,
                                           HFONT font)
    : logic_(logic) {
  Attach(CreateControl(parent, id, bounds, font, logic_.Text()));
  logic_.OnChange = [this] { ShowLogicText(); };
}

TEnhancedEditControl::~TEnhancedEditControl() {
  logic_.OnChange = nullptr;
  if (hwnd_ != nullptr) {
    HWND hwnd = hwnd_;
    Detach();
    ::DestroyWindow(hwnd);
  }
}

HWND TEnhancedEditControl::CreateControl(HWND parent, int id, RECT bounds, HFONT font,
                                         const std::string& text) {
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL |
                      AlignmentStyle(logic_.Alignment());
  HWND hwnd = ::CreateWindowExA(
      WS_EX_CLIENTEDGE, "EDIT", text.c_str(), style, bounds.left, bounds.top,
      bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(parent, GWLP_HINSTANCE)), nullptr);
  if (hwnd == nullptr) throw std::runtime_error("The edit control cannot be created");
  ::SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return hwnd;
}

void TEnhancedEditControl::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  original_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
      hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TEnhancedEditControl::SubclassProc)));
}

void TEnhancedEditControl::Detach() {
  ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  ::SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
}

void TEnhancedEditControl::ApplyAlignment() {
  const DWORD wanted = AlignmentStyle(logic_.Alignment());
  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(hwnd_, GWL_STYLE));
  if ((style & (ES_CENTER | ES_RIGHT)) == wanted) return;
  HWND old = hwnd_;
  HWND parent = ::GetParent(old);
  RECT bounds{};
  ::GetWindowRect(old, &bounds);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&bounds), 2);
  const bool focused = ::GetFocus() == old;
  HWND fresh =
      CreateControl(parent, ::GetDlgCtrlID(old), bounds,
                    reinterpret_cast<HFONT>(::SendMessageA(old, WM_GETFONT, 0, 0)), logic_.Text());
  // The new window takes the old one's place in the tab order.
  ::SetWindowPos(fresh, old, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Detach();
  ::DestroyWindow(old);
  Attach(fresh);
  if (focused) ::SetFocus(fresh);
}

void TEnhancedEditControl::ShowLogicText() {
  if (hwnd_ == nullptr || showing_) return;
  if (WindowText(hwnd_) == logic_.Text()) return;
  showing_ = true;
  ::SetWindowTextA(hwnd_, logic_.Text().c_str());
  const auto start = static_cast<WPARAM>(logic_.SelStart());
  ::SendMessageA(hwnd_, EM_SETSEL, start, static_cast<LPARAM>(start + logic_.SelLength()));
  showing_ = false;
}

void TEnhancedEditControl::FollowControlText() {
  if (hwnd_ == nullptr || showing_) return;
  const std::string text = WindowText(hwnd_);
  if (text != logic_.Text()) logic_.SetText(text);
  // A filtered text has gone back into the control with the logic's caret; otherwise the
  // caret is where the control put it.
  if (WindowText(hwnd_) == text) FollowControlSelection();
}

void TEnhancedEditControl::FollowControlSelection() {
  DWORD start = 0;
  DWORD end = 0;
  ::SendMessageA(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  logic_.SetSelection(start, end - start);
}

LRESULT TEnhancedEditControl::Original(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcA(original_, hwnd_, message, wParam, lParam);
}

LRESULT TEnhancedEditControl::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      // Enter and Escape are the field's: the dialog manager must not turn them into the
      // default button or IDCANCEL.
      return Original(message, wParam, lParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (KeyDownHandled(wParam)) return 0;
      break;
    case WM_CHAR:
      // Ctrl+V, whether or not the control would turn it into WM_PASTE itself.
      if (wParam == kCtrlV) {
        PasteClipboard();
        return 0;
      }
      return KeyCharacter(static_cast<char>(wParam), wParam, lParam);
    case WM_KEYUP: {
      const LRESULT result = Original(message, wParam, lParam);
      if (OnKeyUp) OnKeyUp();
      return result;
    }
    case WM_SETFOCUS: {
      const LRESULT result = Original(message, wParam, lParam);
      FocusReceived();
      return result;
    }
    case WM_PASTE:  // the context menu's Paste, and a paste sent by any other program
      PasteClipboard();
      return 0;
    case WM_PAINT:
      if (!logic_.GrayDisabled && !::IsWindowEnabled(hwnd_)) {
        PaintWithoutGrey();
        return 0;
      }
      break;
    default:
      break;
  }
  const LRESULT result = Original(message, wParam, lParam);
  if (MayChangeText(message)) FollowControlText();
  return result;
}

bool TEnhancedEditControl::KeyDownHandled(WPARAM key) {
  // The multi-line EDIT would press the default button on Enter and close the dialog on Escape;
  // their characters follow as WM_CHAR and are handled there.
  if (key == VK_RETURN || key == VK_ESCAPE) return true;
  // Shift+Insert: the EDIT control would paste through its own routine, without WM_PASTE, and
  // put every line of the clipboard into the field.
  if (key == VK_INSERT && ::GetKeyState(VK_SHIFT) < 0 && ::GetKeyState(VK_CONTROL) >= 0) {
    PasteClipboard();
    return true;
  }
  return false;
}

LRESULT TEnhancedEditControl::KeyCharacter(char key, WPARAM wParam, LPARAM lParam) {
  FollowControlText();
  switch (logic_.KeyPressed(key)) {
    case TKeyAction::PassOn: {
      const LRESULT result = Original(WM_CHAR, wParam, lParam);
      FollowControlText();
      return result;
    }
    case TKeyAction::FocusNext:
      ::PostMessageA(::GetAncestor(hwnd_, GA_ROOT), WM_NEXTDLGCTL, 0, FALSE);
      return 0;
    case TKeyAction::Swallowed:
      break;
  }
  return 0;
}

void TEnhancedEditControl::FocusReceived() {
  FollowControlText();
  const bool byLeftMouseButton = ::GetKeyState(VK_LBUTTON) < 0;
  logic_.FocusReceived(byLeftMouseButton);
  // The platform's auto-select skips multi-line fields, so the field selects all itself.
  if (logic_.SelLength() == logic_.Text().size() && !logic_.Text().empty())
    ::SendMessageA(hwnd_, EM_SETSEL, 0, -1);
}

void TEnhancedEditControl::PasteClipboard() {
  FollowControlText();
  FollowControlSelection();
  logic_.Paste(ClipboardText(hwnd_));
  // The text may be the same (an empty first line over an empty selection); the caret moves.
  ShowLogicText();
  const auto caret = static_cast<WPARAM>(logic_.SelStart());
  ::SendMessageA(hwnd_, EM_SETSEL, caret, static_cast<LPARAM>(caret + logic_.SelLength()));
}

// A disabled field in the normal text colour: frame (the client edge, drawn by the system),
// background, and the text placed as the alignment says.
void TEnhancedEditControl::PaintWithoutGrey() {
  PAINTSTRUCT paint{};
  HDC dc = ::BeginPaint(hwnd_, &paint);
  RECT client{};
  ::GetClientRect(hwnd_, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));

  std::string shown = logic_.Text();
  const auto style = static_cast<DWORD>(::GetWindowLongPtrA(hwnd_, GWL_STYLE));
  if (const auto mask = static_cast<char>(::SendMessageA(hwnd_, EM_GETPASSWORDCHAR, 0, 0)))
    shown.assign(shown.size(), mask);
  else if ((style & ES_UPPERCASE) != 0 && !shown.empty())
    ::CharUpperBuffA(shown.data(), static_cast<DWORD>(shown.size()));
  else if ((style & ES_LOWERCASE) != 0 && !shown.empty())
    ::CharLowerBuffA(shown.data(), static_cast<DWORD>(shown.size()));

  const auto margins = static_cast<DWORD>(::SendMessageA(hwnd_, EM_GETMARGINS, 0, 0));
  RECT text = client;
  text.left += LOWORD(margins);
  text.right -= HIWORD(margins) + 1;
  HGDIOBJ oldFont =
      ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(hwnd_, WM_GETFONT, 0, 0)));
  ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &text,
              DT_SINGLELINE | DT_NOPREFIX | AlignmentFormat(logic_.Alignment()));
  ::SelectObject(dc, oldFont);
  ::EndPaint(hwnd_, &paint);
}

LRESULT CALLBACK TEnhancedEditControl::SubclassProc(HWND hwnd, UINT message, WPARAM wParam,
                                                    LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<TEnhancedEditControl*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // Destroyed with its parent: the window procedure goes back before the window goes.
    WNDPROC original = self->original_;
    self->Detach();
    return ::CallWindowProcA(original, hwnd, message, wParam, lParam);
  }
  LRESULT result = 0;
  DispatchEvent([&] { result = self->HandleMessage(message, wParam, lParam); });
  return result;
}

}  // namespace qv
