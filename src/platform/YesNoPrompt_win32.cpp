// The missing-tiles prompt as a real window. The dialog manager gives it the keyboard rules of
// the prompt: Enter presses the default button (Yes, which also has the focus), Escape sends
// IDCANCEL, which is No here; the close box is the only way to answer Cancel.
#include <exception>
#include <string>

#include "platform/DialogTemplate_win32.h"
#include "platform/platform_win32.h"

namespace qv {

namespace {

constexpr int kWidth = 392;
constexpr int kHeight = 103;
// Always the same place on the screen, so the question appears where the user expects it.
constexpr int kLeft = 320;
constexpr int kTop = 240;
constexpr int kMargin = 8;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kButtonGap = 8;
constexpr int kLblMessageId = 1000;

struct TPromptTexts {
  std::string_view Title;
  std::string_view Text;
  std::string_view Yes;
  std::string_view No;
};

// The catalogue breaks lines with a lone carriage return; a static control wants CR LF.
std::string WithWindowsLineBreaks(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
  }
  return out;
}

HWND AddControl(HWND dlg, const char* windowClass, const std::string& text, DWORD style, int id,
                RECT r) {
  HWND control =
      ::CreateWindowExA(0, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, dlg,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  ::SendMessageA(control, WM_SETFONT, ::SendMessageA(dlg, WM_GETFONT, 0, 0), FALSE);
  return control;
}

void BuildPrompt(HWND dlg, const TPromptTexts& texts) {
  ::SetWindowTextA(dlg, std::string(texts.Title).c_str());
  ::SetWindowPos(dlg, nullptr, kLeft, kTop, kWidth, kHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client{};
  ::GetClientRect(dlg, &client);
  const int buttonsTop = client.bottom - kMargin - kButtonHeight;
  AddControl(dlg, "STATIC", WithWindowsLineBreaks(texts.Text), SS_LEFT | SS_NOPREFIX, kLblMessageId,
             {kMargin, kMargin / 2, client.right - kMargin, buttonsTop});
  const int centre = client.right / 2;
  HWND yes = AddControl(dlg, "BUTTON", std::string(texts.Yes),
                        BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDYES,
                        {centre - kButtonGap / 2 - kButtonWidth, buttonsTop,
                         centre - kButtonGap / 2, buttonsTop + kButtonHeight});
  AddControl(dlg, "BUTTON", std::string(texts.No), BS_PUSHBUTTON | WS_TABSTOP, IDNO,
             {centre + kButtonGap / 2, buttonsTop, centre + kButtonGap / 2 + kButtonWidth,
              buttonsTop + kButtonHeight});
  ::SendMessageA(dlg, DM_SETDEFID, IDYES, 0);
  ::SetFocus(yes);
}

INT_PTR HandlePromptMessage(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      BuildPrompt(dlg, *reinterpret_cast<const TPromptTexts*>(lParam));
      return FALSE;  // the focus is set: Yes
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return FALSE;
      if (LOWORD(wParam) == IDYES) ::EndDialog(dlg, IDYES);
      // No is the cancel button: Escape arrives as IDCANCEL and answers No.
      if (LOWORD(wParam) == IDNO || LOWORD(wParam) == IDCANCEL) ::EndDialog(dlg, IDNO);
      return TRUE;
    case WM_CLOSE:
      ::EndDialog(dlg, IDCANCEL);
      return TRUE;
    default:
      return FALSE;
  }
}

// No exception may unwind into the dialog manager: it is C code, and on 32 bits the unwinder
// cannot cross it, so the process would end.
INT_PTR CALLBACK PromptProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  try {
    return HandlePromptMessage(dlg, message, wParam, lParam);
  } catch (const std::exception& e) {
    ::MessageBoxA(dlg, e.what(), "quelvaris", MB_OK | MB_ICONERROR);
  } catch (...) {
    ::MessageBoxA(dlg, "Unknown exception", "quelvaris", MB_OK | MB_ICONERROR);
  }
  return FALSE;
}

}  // namespace

TQuestionResult ShowYesNoPrompt(HWND owner, std::string_view title, std::string_view text,
                                std::string_view yesCaption, std::string_view noCaption) {
  const TPromptTexts texts{title, text, yesCaption, noCaption};
  const auto dialog = EmptyDialogTemplate(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  const INT_PTR result = ::DialogBoxIndirectParamA(ThisModule(), AsTemplate(dialog), owner,
                                                   PromptProc, reinterpret_cast<LPARAM>(&texts));
  if (result == IDYES) return TQuestionResult::Yes;
  if (result == IDNO) return TQuestionResult::No;
  // Cancel, and a prompt that could not be shown: the computation is not run on a guess.
  return TQuestionResult::Cancel;
}

}  // namespace qv
