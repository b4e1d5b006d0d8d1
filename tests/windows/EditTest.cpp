// The numeric field as a Windows control, in a dialog run modally on the main thread and
// driven from a second thread: typing, Enter and Escape kept from the dialog, Escape undo,
// select-all on keyboard focus, first-line paste (Ctrl+V, Shift+Insert, another program's
// WM_PASTE), filtering, alignment and the painting of a disabled field that is not greyed.
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "WinTest.h"
#include "dialog/EnhEdit.h"
#include "dialog/win32/EnhancedEditControl_win32.h"
#include "platform/DialogTemplate_win32.h"

using namespace qv;
using namespace qv::wintest;

namespace {

enum : int {
  idPlain = 101,      // defaults: any character, 2 decimals
  idUndo = 102,       // UndoOnEscKey
  idExit = 103,       // ExitOnEnterKey
  idAfterExit = 110,  // a button after idExit in the tab order
  idFiltered = 104,   // AcceptChars false
  idAligned = 105,    // right-aligned, later centred
  idNotGrey = 106,    // disabled, GrayDisabled false
  idGrey = 107,       // disabled, GrayDisabled true
};

struct TField {
  int Id;
  TEnhancedEdit Logic;
  std::unique_ptr<TEnhancedEditControl> Control;
};

struct TTestDialog {
  std::array<TField, 7> Fields{{{idPlain, {}, {}},
                                {idUndo, {}, {}},
                                {idExit, {}, {}},
                                {idFiltered, {}, {}},
                                {idAligned, {}, {}},
                                {idNotGrey, {}, {}},
                                {idGrey, {}, {}}}};
  int OkPresses = 0;
  int CancelCommands = 0;
  HWND Handle = nullptr;

  TField& Field(int id) {
    for (auto& f : Fields)
      if (f.Id == id) return f;
    Abort("no such field");
  }
};

TTestDialog* dialog = nullptr;

HWND AddButton(HWND dlg, const char* caption, int id, DWORD style, int y) {
  HWND b = ::CreateWindowExA(0, "BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, 200,
                             y, 90, 24, dlg, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             nullptr, nullptr);
  ::SendMessageA(b, WM_SETFONT, ::SendMessageA(dlg, WM_GETFONT, 0, 0), FALSE);
  return b;
}

void Build(HWND dlg) {
  dialog->Handle = dlg;
  ::SetWindowTextA(dlg, "Numeric fields");
  ::SetWindowPos(dlg, nullptr, 100, 100, 320, 300, SWP_NOZORDER);
  auto font = reinterpret_cast<HFONT>(::SendMessageA(dlg, WM_GETFONT, 0, 0));
  dialog->Field(idUndo).Logic.UndoOnEscKey = true;
  dialog->Field(idUndo).Logic.SetValue(5);
  dialog->Field(idExit).Logic.ExitOnEnterKey = true;
  dialog->Field(idFiltered).Logic.SetAcceptChars(false);
  dialog->Field(idAligned).Logic.SetAlignment(TAlignment::taRightJustify);
  dialog->Field(idAligned).Logic.SetText("42");
  for (const int id : {idNotGrey, idGrey}) dialog->Field(id).Logic.SetText("8888");
  dialog->Field(idNotGrey).Logic.GrayDisabled = false;
  int y = 10;
  for (auto& f : dialog->Fields) {
    f.Control =
        std::make_unique<TEnhancedEditControl>(f.Logic, dlg, f.Id, RECT{10, y, 170, y + 22}, font);
    if (f.Id == idExit) AddButton(dlg, "next", idAfterExit, BS_PUSHBUTTON, y);
    y += 30;
  }
  for (const int id : {idNotGrey, idGrey}) ::EnableWindow(::GetDlgItem(dlg, id), FALSE);
  AddButton(dlg, "OK", IDOK, BS_DEFPUSHBUTTON, 10);
  ::SetFocus(::GetDlgItem(dlg, idPlain));
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM) noexcept {
  if (message == WM_INITDIALOG) {
    Build(dlg);
    return FALSE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) ++dialog->OkPresses;
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) ++dialog->CancelCommands;
  if (message == WM_CLOSE) ++dialog->CancelCommands;
  return message == WM_COMMAND || message == WM_CLOSE;
}

std::pair<DWORD, DWORD> Selection(HWND edit) {
  DWORD start = 0;
  DWORD end = 0;
  ::SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

// The logic's state, read on the thread that owns it.
struct TLogicState {
  std::string Text;
  double Value = 0;
  int ValueInt = 0;
};

TLogicState StateOf(int id) {
  TLogicState s;
  RunOnUiThread([&] {
    const auto& logic = dialog->Field(id).Logic;
    s = {logic.Text(), logic.Value(), logic.ValueInt()};
  });
  return s;
}

void Focus(HWND dlg, int id) {
  ::PostMessageA(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(dlg, id)), TRUE);
  Settle();
}

void SetClipboard(const char* text) {
  if (!::OpenClipboard(nullptr)) Abort("clipboard not available");
  ::EmptyClipboard();
  if (text != nullptr) {
    const std::size_t size = std::string(text).size() + 1;
    HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(data), text, size);
    ::GlobalUnlock(data);
    ::SetClipboardData(CF_TEXT, data);
  }
  ::CloseClipboard();
}

// The key state that the EDIT control reads for Shift, on the thread under test.
void SetShift(bool down) {
  BYTE keys[256] = {};
  ::GetKeyboardState(keys);
  keys[VK_SHIFT] = down ? 0x80 : 0;
  ::SetKeyboardState(keys);
}

// This program run again as "edit_test.exe paste HWND": another process sends WM_PASTE.
bool PasteFromAnotherProgram(HWND edit) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string command = "\"" + std::string(self) + "\" paste " +
                        std::to_string(reinterpret_cast<std::uintptr_t>(edit));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
    return false;
  const bool ended = ::WaitForSingleObject(process.hProcess, kWaitMs) == WAIT_OBJECT_0;
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  Settle();
  return ended;
}

// Pixels of a window's client area in the given colour.
int PixelsOfColour(HWND hwnd, COLORREF colour) {
  RECT r{};
  ::GetClientRect(hwnd, &r);
  HDC windowDc = ::GetDC(hwnd);
  HDC memory = ::CreateCompatibleDC(windowDc);
  HBITMAP bitmap = ::CreateCompatibleBitmap(windowDc, r.right, r.bottom);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, r.right, r.bottom, windowDc, 0, 0, SRCCOPY);
  int count = 0;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) count += ::GetPixel(memory, x, y) == colour ? 1 : 0;
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(hwnd, windowDc);
  return count;
}

void TypingFollowsTheText(HWND dlg, DWORD ui) {
  Focus(dlg, idPlain);
  QV_CHECK_EQ(FocusOf(ui), ::GetDlgItem(dlg, idPlain));
  TypeInFocus(ui, "12a");
  auto s = StateOf(idPlain);
  QV_CHECK_EQ(s.Text, std::string("12a"));
  QV_CHECK_EQ(s.Value, 0.0);
  ::SendMessageA(::GetDlgItem(dlg, idPlain), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("-7.9"));
  s = StateOf(idPlain);
  QV_CHECK_EQ(s.Value, -7.9);
  QV_CHECK_EQ(s.ValueInt, -7);
}

void EnterAndEscapeStayInTheField(HWND dlg, DWORD ui) {
  HWND plain = ::GetDlgItem(dlg, idPlain);
  PressKeyInFocus(ui, VK_RETURN);
  PressKeyInFocus(ui, VK_ESCAPE);
  RunOnUiThread([] {});
  QV_CHECK_EQ(TextOf(plain), std::string("-7.9"));
  QV_CHECK_EQ(dialog->OkPresses, 0);
  QV_CHECK_EQ(dialog->CancelCommands, 0);
  QV_CHECK(::IsWindow(dlg));
  QV_CHECK_EQ(FocusOf(ui), plain);
}

void TabSelectsAllAndEscapeUndoes(HWND dlg, DWORD ui) {
  HWND undo = ::GetDlgItem(dlg, idUndo);
  PressKeyInFocus(ui, VK_TAB);
  QV_CHECK_EQ(FocusOf(ui), undo);
  QV_CHECK_EQ(TextOf(undo), std::string("5.00"));
  QV_CHECK(Selection(undo) == std::make_pair(DWORD{0}, DWORD{4}));
  TypeInFocus(ui, "99");
  QV_CHECK_EQ(StateOf(idUndo).Value, 99.0);
  PressKeyInFocus(ui, VK_ESCAPE);
  QV_CHECK_EQ(TextOf(undo), std::string("5.00"));
  QV_CHECK_EQ(StateOf(idUndo).Value, 5.0);
  QV_CHECK_EQ(dialog->CancelCommands, 0);
}

void EnterMovesOnWhenAsked(HWND dlg, DWORD ui) {
  PressKeyInFocus(ui, VK_TAB);
  QV_CHECK_EQ(FocusOf(ui), ::GetDlgItem(dlg, idExit));
  PressKeyInFocus(ui, VK_RETURN);
  QV_CHECK_EQ(FocusOf(ui), ::GetDlgItem(dlg, idAfterExit));
  QV_CHECK_EQ(dialog->OkPresses, 0);
}

void FilteredTextGoesBackIntoTheControl(HWND dlg, DWORD ui) {
  HWND filtered = ::GetDlgItem(dlg, idFiltered);
  Focus(dlg, idFiltered);
  TypeInFocus(ui, "1.2.3");
  QV_CHECK_EQ(TextOf(filtered), std::string("12.3"));
  TypeInFocus(ui, "45");
  QV_CHECK_EQ(TextOf(filtered), std::string("12.34"));
  QV_CHECK(Selection(filtered) == std::make_pair(DWORD{5}, DWORD{5}));
  QV_CHECK_EQ(StateOf(idFiltered).Value, 12.34);
}

void PasteTakesTheFirstLine(HWND dlg, DWORD ui) {
  HWND plain = ::GetDlgItem(dlg, idPlain);
  Focus(dlg, idPlain);
  SetClipboard("7.25\r\nsecond line");
  TypeInFocus(ui, "\x16");  // Ctrl+V
  QV_CHECK_EQ(TextOf(plain), std::string("7.25"));
  QV_CHECK_EQ(StateOf(idPlain).Value, 7.25);
  // Shift+Insert, which the EDIT control pastes by itself, and a paste sent by another program.
  SetClipboard("8.5\r\nsecond line");
  ::SendMessageA(plain, EM_SETSEL, 0, -1);
  RunOnUiThread([] { SetShift(true); });
  PressKeyInFocus(ui, VK_INSERT);
  RunOnUiThread([] { SetShift(false); });
  QV_CHECK_EQ(TextOf(plain), std::string("8.5"));
  SetClipboard("9.75\r\nsecond line");
  ::SendMessageA(plain, EM_SETSEL, 0, -1);
  QV_CHECK(PasteFromAnotherProgram(plain));
  QV_CHECK_EQ(TextOf(plain), std::string("9.75"));
  QV_CHECK_EQ(StateOf(idPlain).Value, 9.75);
  // A clipboard without text leaves the selected text where it is.
  SetClipboard(nullptr);
  ::SendMessageA(plain, EM_SETSEL, 0, -1);
  TypeInFocus(ui, "\x16");
  QV_CHECK_EQ(TextOf(plain), std::string("9.75"));
}

void ValueSetByTheProgramIsShown(HWND dlg) {
  RunOnUiThread([] { dialog->Field(idPlain).Logic.SetValue(1234.5); });
  const auto s = StateOf(idPlain);
  QV_CHECK_EQ(TextOf(::GetDlgItem(dlg, idPlain)), s.Text);
  QV_CHECK(s.Text.find("234.50") != std::string::npos);
}

void AlignmentRebuildsTheWindow(HWND dlg) {
  HWND before = ::GetDlgItem(dlg, idAligned);
  QV_CHECK((::GetWindowLongA(before, GWL_STYLE) & ES_RIGHT) != 0);
  RunOnUiThread([] {
    auto& f = dialog->Field(idAligned);
    f.Logic.SetAlignment(TAlignment::taCenter);
    f.Control->ApplyAlignment();
  });
  HWND after = ::GetDlgItem(dlg, idAligned);
  QV_CHECK(after != before && !::IsWindow(before));
  QV_CHECK((::GetWindowLongA(after, GWL_STYLE) & (ES_RIGHT | ES_CENTER)) == ES_CENTER);
  QV_CHECK_EQ(TextOf(after), std::string("42"));
  QV_CHECK_EQ(::GetNextDlgTabItem(dlg, ::GetDlgItem(dlg, idFiltered), FALSE), after);
}

// An exception from a handler is shown with its text; the window procedure returns normally.
void ExceptionInAHandlerIsShown(HWND dlg, DWORD ui) {
  RunOnUiThread([] {
    dialog->Field(idPlain).Control->OnKeyUp = [] { throw std::runtime_error("handler failed"); };
  });
  Focus(dlg, idPlain);
  PressKeyInFocus(ui, VK_SHIFT);
  HWND box = WaitForOwnedDialog(ui, dlg);
  QV_CHECK_EQ(TextOf(::GetDlgItem(box, 0xFFFF)), std::string("handler failed"));
  PressKeyInFocus(ui, VK_RETURN);
  WaitUntilDestroyed(box);
  RunOnUiThread([] { dialog->Field(idPlain).Control->OnKeyUp = nullptr; });
  QV_CHECK(::IsWindow(dlg));
  QV_CHECK_EQ(FocusOf(ui), ::GetDlgItem(dlg, idPlain));
}

void DisabledFieldKeepsItsTextColour(HWND dlg) {
  Settle();
  const COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
  QV_CHECK(PixelsOfColour(::GetDlgItem(dlg, idNotGrey), text) > 10);
  QV_CHECK_EQ(PixelsOfColour(::GetDlgItem(dlg, idGrey), text), 0);
  Screenshot(dlg, "edit-fields");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "paste") {
    ::SendMessageA(reinterpret_cast<HWND>(std::strtoull(argv[2], nullptr, 10)), WM_PASTE, 0, 0);
    return 0;
  }
  CreateSyncWindow();
  TTestDialog state;
  dialog = &state;
  const DWORD ui = ::GetCurrentThreadId();
  TThread driver([&] {
    HWND dlg = WaitForDialog(ui, "Numeric fields");
    TypingFollowsTheText(dlg, ui);
    EnterAndEscapeStayInTheField(dlg, ui);
    TabSelectsAllAndEscapeUndoes(dlg, ui);
    EnterMovesOnWhenAsked(dlg, ui);
    FilteredTextGoesBackIntoTheControl(dlg, ui);
    PasteTakesTheFirstLine(dlg, ui);
    ValueSetByTheProgramIsShown(dlg);
    AlignmentRebuildsTheWindow(dlg);
    ExceptionInAHandlerIsShown(dlg, ui);
    DisabledFieldKeepsItsTextColour(dlg);
    RunOnUiThread([dlg] { ::EndDialog(dlg, 0); });
  });
  const auto tmpl = EmptyDialogTemplate(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), AsTemplate(tmpl), nullptr, DialogProc, 0);
  driver.JoinPumping();
  // The controls went with their dialog; the logic no longer reports into them.
  for (auto& f : state.Fields) f.Control.reset();
  return Summary("edit_test");
}
