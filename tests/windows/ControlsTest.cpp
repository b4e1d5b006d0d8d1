// Our windows besides the parameter dialog: the missing-tiles prompt, its look and the answer of
// each way to close it; the numeric field in a dialog with a default button, what the subclass of
// the EDIT control adds to the field's logic (tests/dialog/EnhEditTest.cpp tests the logic).
#include <array>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "WinTest.h"
#include "dialog/EnhEdit.h"
#include "dialog/win32/EnhancedEditControl_win32.h"
#include "platform/DialogTemplate_win32.h"
#include "platform/Platform.h"

using namespace qv;
using namespace qv::wintest;

namespace {

constexpr int kPromptLabel = 1000;

void CheckPromptLook(HWND prompt, DWORD ui) {
  RECT r{};
  ::GetWindowRect(prompt, &r);
  QV_CHECK(r.left == 320 && r.top == 240 && r.right - r.left == 392 && r.bottom - r.top == 103);
  QV_CHECK_EQ(TextOf(::GetDlgItem(prompt, kPromptLabel)), std::string("Only 3 of 4.\r\nDummies?"));
  QV_CHECK_EQ(FocusOf(ui), ::GetDlgItem(prompt, IDYES));
  QV_CHECK_EQ(::SendMessageA(prompt, DM_GETDEFID, 0, 0), LRESULT{MAKELONG(IDYES, DC_HASDEFID)});
  // Both lines fit: the label ends above the buttons, the buttons inside the window.
  RECT label{};
  RECT yes{};
  ::GetWindowRect(::GetDlgItem(prompt, kPromptLabel), &label);
  ::GetWindowRect(::GetDlgItem(prompt, IDYES), &yes);
  QV_CHECK(label.bottom <= yes.top && yes.bottom <= r.bottom);
}

// In the tab order.
enum : int { idPlain = 101, idUndo, idFiltered, idNotGrey, idGrey };

struct TField {
  TEnhancedEdit Logic;
  std::unique_ptr<TEnhancedEditControl> Control;
};
std::array<TField, 5> fields;
TField& Field(int id) { return fields[static_cast<std::size_t>(id - idPlain)]; }
int dialogCommands = 0;  // IDOK or IDCANCEL: Enter or Escape that reached the dialog

INT_PTR CALLBACK DialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) noexcept {
  const int command = message == WM_COMMAND ? LOWORD(wParam) : 0;
  if (command == IDOK || command == IDCANCEL || message == WM_CLOSE) ++dialogCommands;
  if (message != WM_INITDIALOG) return message == WM_COMMAND || message == WM_CLOSE;
  ::SetWindowPos(dlg, nullptr, 100, 100, 320, 240, SWP_NOZORDER);
  Field(idUndo).Logic.UndoOnEscKey = true;
  Field(idUndo).Logic.ExitOnEnterKey = true;
  Field(idUndo).Logic.SetValue(5);
  Field(idFiltered).Logic.SetAcceptChars(false);
  Field(idFiltered).Logic.SetAlignment(TAlignment::taRightJustify);
  Field(idNotGrey).Logic.GrayDisabled = false;
  const auto font = reinterpret_cast<HFONT>(::SendMessageA(dlg, WM_GETFONT, 0, 0));
  for (int id = idPlain; id <= idGrey; ++id) {
    const int y = 10 + 30 * (id - idPlain);
    if (id >= idNotGrey) Field(id).Logic.SetText("8888");
    Field(id).Control = std::make_unique<TEnhancedEditControl>(Field(id).Logic, dlg, id,
                                                               RECT{10, y, 170, y + 22}, font);
    if (id >= idNotGrey) ::EnableWindow(::GetDlgItem(dlg, id), FALSE);
  }
  ::CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 200,
                    10, 90, 24, dlg, reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
  ::SetFocus(::GetDlgItem(dlg, idPlain));
  return FALSE;
}

void KeysTypingAndFocus(HWND dlg, DWORD ui) {
  HWND plain = ::GetDlgItem(dlg, idPlain);
  HWND undo = ::GetDlgItem(dlg, idUndo);
  HWND filtered = ::GetDlgItem(dlg, idFiltered);
  QV_CHECK_EQ(FocusOf(ui), plain);
  Type(ui, "12a");
  PressKey(ui, VK_RETURN);
  PressKey(ui, VK_ESCAPE);
  QV_CHECK(TextOf(plain) == "12a" && FocusOf(ui) == plain);
  // Keyboard focus selects all; Escape undoes to that text, Enter moves on.
  PressKey(ui, VK_TAB);
  QV_CHECK(FocusOf(ui) == undo && ::SendMessageA(undo, EM_GETSEL, 0, 0) == MAKELONG(0, 4));
  Type(ui, "99");
  PressKey(ui, VK_ESCAPE);
  QV_CHECK_EQ(TextOf(undo), std::string("5.00"));
  PressKey(ui, VK_RETURN);
  QV_CHECK_EQ(FocusOf(ui), filtered);
  QV_CHECK_EQ(dialogCommands, 0);
  // Filtered text goes back into the control with the logic's caret.
  Type(ui, "1.2.3");
  QV_CHECK_EQ(TextOf(filtered), std::string("12.3"));
  Type(ui, "45");
  QV_CHECK(TextOf(filtered) == "12.34" &&
           ::SendMessageA(filtered, EM_GETSEL, 0, 0) == MAKELONG(5, 5));
}

void SetClipboard(const char* text) {
  if (!::OpenClipboard(nullptr)) Abort("clipboard not available");
  ::EmptyClipboard();
  if (text != nullptr) {
    HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::strcpy(static_cast<char*>(::GlobalLock(data)), text);
    ::GlobalUnlock(data);
    ::SetClipboardData(CF_TEXT, data);
  }
  ::CloseClipboard();
}

// Shift+Insert, with the state of Shift that the EDIT control reads set on its thread.
void ShiftInsert(DWORD ui) {
  BYTE keys[256] = {};
  OnUiThread([&] { ::GetKeyboardState(keys); });
  keys[VK_SHIFT] = 0x80;
  OnUiThread([&] { ::SetKeyboardState(keys); });
  PressKey(ui, VK_INSERT);
  keys[VK_SHIFT] = 0;
  OnUiThread([&] { ::SetKeyboardState(keys); });
}

void EveryPastePathTakesTheFirstLine(HWND dlg, DWORD ui) {
  HWND plain = ::GetDlgItem(dlg, idPlain);
  Post(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(plain), TRUE);
  const auto ctrlV = [ui] { Type(ui, "\x16"); };
  const struct {
    const char* Clipboard;
    const char* Expected;
    std::function<void()> Paste;
  } cases[] = {
      {"7.25\r\nline 2", "7.25", ctrlV},
      {"8.5\r\nline 2", "8.5", [ui] { ShiftInsert(ui); }},
      // The EDIT control's own menu, opened from the keyboard; "p" chooses Paste.
      {"6.5\r\nline 2", "6.5",
       [ui, plain] {
         Post(plain, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(plain), -1);
         Type(ui, "p");
       }},
      // From another thread, as another program sends it: the window cannot tell them apart.
      {"9.75\r\nline 2", "9.75", [plain] { ::SendMessageA(plain, WM_PASTE, 0, 0); }},
      // A clipboard without text leaves the selected text where it is.
      {nullptr, "9.75", ctrlV}};
  for (const auto& c : cases) {
    SetClipboard(c.Clipboard);
    ::SendMessageA(plain, EM_SETSEL, 0, -1);
    c.Paste();
    QV_CHECK_EQ(TextOf(plain), std::string(c.Expected));
  }
}

// The alignment of an EDIT is fixed at its creation: a new one takes the old one's place.
void AlignmentRebuildsTheWindow(HWND dlg) {
  HWND before = ::GetDlgItem(dlg, idFiltered);
  QV_CHECK((::GetWindowLongA(before, GWL_STYLE) & ES_RIGHT) != 0);
  OnUiThread([] {
    Field(idFiltered).Logic.SetAlignment(TAlignment::taCenter);
    Field(idFiltered).Control->ApplyAlignment();
  });
  HWND after = ::GetDlgItem(dlg, idFiltered);
  QV_CHECK(after != before && !::IsWindow(before) && TextOf(after) == "12.34");
  QV_CHECK((::GetWindowLongA(after, GWL_STYLE) & (ES_RIGHT | ES_CENTER)) == ES_CENTER);
  QV_CHECK_EQ(::GetNextDlgTabItem(dlg, ::GetDlgItem(dlg, idUndo), FALSE), after);
}

// An exception from a handler is shown in a box owned by the dialog, which stays as it was.
void ExceptionInAHandlerIsShown(HWND dlg, DWORD ui) {
  OnUiThread(
      [] { Field(idPlain).Control->OnKeyUp = [] { throw std::runtime_error("handler failed"); }; });
  PressKey(ui, VK_SHIFT);
  HWND box = WaitForDialog(ui, dlg);
  QV_CHECK_EQ(TextOf(::GetDlgItem(box, 0xFFFF)), std::string("handler failed"));
  PressKey(ui, VK_RETURN);
  WaitUntilDestroyed(box);
  OnUiThread([] { Field(idPlain).Control->OnKeyUp = nullptr; });
  QV_CHECK_EQ(FocusOf(ui), ::GetDlgItem(dlg, idPlain));
}

int PixelsOfColour(HWND hwnd, COLORREF colour) {
  RECT r{};
  ::GetClientRect(hwnd, &r);
  HDC dc = ::GetDC(hwnd);
  int count = 0;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) count += ::GetPixel(dc, x, y) == colour ? 1 : 0;
  ::ReleaseDC(hwnd, dc);
  return count;
}

// Each way of closing the prompt, and its answer.
void PromptAnswers(DWORD ui) {
  const struct {
    void (*Answer)(HWND prompt, DWORD ui);
    TQuestionResult Expected;
  } cases[] = {
      {[](HWND, DWORD thread) { PressKey(thread, VK_RETURN); }, TQuestionResult::Yes},
      {[](HWND, DWORD thread) { PressKey(thread, VK_ESCAPE); }, TQuestionResult::No},
      {[](HWND prompt, DWORD) { Post(prompt, WM_SYSCOMMAND, SC_CLOSE); }, TQuestionResult::Cancel},
      {[](HWND prompt, DWORD) { Post(::GetDlgItem(prompt, IDNO), BM_CLICK); },
       TQuestionResult::No}};
  for (const auto& c : cases) {
    TQuestionResult answer{};
    Drive(
        [&] {
          HWND prompt = WaitForDialog(ui, nullptr);
          if (&c == cases) CheckPromptLook(prompt, ui);
          c.Answer(prompt, ui);
        },
        // The catalogue breaks lines with a lone carriage return.
        [&] {
          answer = Platform().AskYesNo("Missing files", "Only 3 of 4.\rDummies?", "Yes", "No");
        });
    QV_CHECK_EQ(static_cast<int>(answer), static_cast<int>(c.Expected));
  }
}

}  // namespace

int main() {
  CreateSyncWindow();
  const DWORD ui = ::GetCurrentThreadId();
  PromptAnswers(ui);
  const auto tmpl = EmptyDialogTemplate(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  Drive(
      [ui] {
        HWND dlg = WaitForDialog(ui, nullptr, idPlain);
        KeysTypingAndFocus(dlg, ui);
        EveryPastePathTakesTheFirstLine(dlg, ui);
        AlignmentRebuildsTheWindow(dlg);
        ExceptionInAHandlerIsShown(dlg, ui);
        // A disabled field that is not greyed keeps the text colour.
        const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
        QV_CHECK(PixelsOfColour(::GetDlgItem(dlg, idNotGrey), text) > 10);
        QV_CHECK_EQ(PixelsOfColour(::GetDlgItem(dlg, idGrey), text), 0);
        OnUiThread([dlg] { ::EndDialog(dlg, 0); });
      },
      [&] { ::DialogBoxIndirectParamA(nullptr, AsTemplate(tmpl), nullptr, DialogProc, 0); });
  // The controls went with their dialog; the logic no longer reports into them.
  for (auto& f : fields) f.Control.reset();
  return Summary("controls_test");
}
