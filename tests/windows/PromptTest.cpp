// The missing-tiles prompt as a window: its look, its keys and its answers, driven from a
// second thread while the prompt runs modally on the main thread.
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "WinTest.h"
#include "dialog/languages/Languages.h"
#include "dialog/prompt/IncompleteFilesDialog.h"
#include "platform/platform_win32.h"

using namespace qv;
using namespace qv::wintest;

namespace {

constexpr const char* kQuestion =
    "Only 3 out of 4 NHM files found.\rUse dummy files for missing files?";

// How the driver answers one prompt.
enum class TAnswer { Enter, Escape, CloseBox, TabThenEnter, ClickNo, ClickYes };

struct TCase {
  TAnswer Answer;
  TQuestionResult Expected;
};

const std::vector<TCase> kCases = {
    {TAnswer::Enter, TQuestionResult::Yes},       {TAnswer::Escape, TQuestionResult::No},
    {TAnswer::CloseBox, TQuestionResult::Cancel}, {TAnswer::TabThenEnter, TQuestionResult::No},
    {TAnswer::ClickNo, TQuestionResult::No},      {TAnswer::ClickYes, TQuestionResult::Yes},
};

HWND CreateOwnerWindow() {
  WNDCLASSA cls{};
  cls.lpfnWndProc = ::DefWindowProcA;
  cls.hInstance = ::GetModuleHandleA(nullptr);
  cls.lpszClassName = "QvPromptTestOwner";
  ::RegisterClassA(&cls);
  HWND owner = ::CreateWindowExA(0, cls.lpszClassName, "host window", WS_OVERLAPPEDWINDOW, 10, 10,
                                 300, 200, nullptr, nullptr, cls.hInstance, nullptr);
  ::ShowWindow(owner, SW_SHOW);
  ::SetActiveWindow(owner);
  return owner;
}

HWND Button(HWND prompt, int id) { return ::GetDlgItem(prompt, id); }

void CheckLook(HWND prompt, HWND owner, DWORD ui) {
  QV_CHECK_EQ(TextOf(prompt), std::string("Missing files"));
  RECT r{};
  ::GetWindowRect(prompt, &r);
  QV_CHECK_EQ(r.right - r.left, 392L);
  QV_CHECK_EQ(r.bottom - r.top, 103L);
  QV_CHECK_EQ(r.left, 320L);
  QV_CHECK_EQ(r.top, 240L);
  QV_CHECK_EQ(
      TextOf(::GetDlgItem(prompt, 1000)),
      std::string("Only 3 out of 4 NHM files found.\r\nUse dummy files for missing files?"));
  QV_CHECK_EQ(TextOf(Button(prompt, IDYES)), std::string("Yes"));
  QV_CHECK_EQ(TextOf(Button(prompt, IDNO)), std::string("No"));
  QV_CHECK_EQ(FocusOf(ui), Button(prompt, IDYES));
  const auto def = static_cast<DWORD>(::SendMessageA(prompt, DM_GETDEFID, 0, 0));
  QV_CHECK_EQ(HIWORD(def), static_cast<WORD>(DC_HASDEFID));
  QV_CHECK_EQ(LOWORD(def), static_cast<WORD>(IDYES));
  QV_CHECK_EQ(::GetWindow(prompt, GW_OWNER), owner);
  QV_CHECK(!IsEnabled(owner));
  // Both lines fit: the label ends above the buttons and the buttons inside the window.
  RECT label{};
  RECT yes{};
  ::GetWindowRect(::GetDlgItem(prompt, 1000), &label);
  ::GetWindowRect(Button(prompt, IDYES), &yes);
  QV_CHECK(label.bottom <= yes.top);
  QV_CHECK(yes.bottom <= r.bottom);
}

void Answer(HWND prompt, TAnswer answer, DWORD ui) {
  switch (answer) {
    case TAnswer::Enter:
      PressKeyInFocus(ui, VK_RETURN);
      break;
    case TAnswer::Escape:
      PressKeyInFocus(ui, VK_ESCAPE);
      break;
    case TAnswer::CloseBox:
      ClickCloseBox(prompt);
      break;
    case TAnswer::TabThenEnter:
      PressKeyInFocus(ui, VK_TAB);
      QV_CHECK_EQ(FocusOf(ui), Button(prompt, IDNO));
      PressKeyInFocus(ui, VK_RETURN);
      break;
    case TAnswer::ClickNo:
      ClickButton(Button(prompt, IDNO));
      break;
    case TAnswer::ClickYes:
      ClickButton(Button(prompt, IDYES));
      break;
  }
}

}  // namespace

int main() {
  CreateSyncWindow();
  HWND owner = CreateOwnerWindow();
  const DWORD ui = ::GetCurrentThreadId();
  std::vector<TQuestionResult> answers(kCases.size(), TQuestionResult::Yes);
  bool germanAnswer = true;
  HANDLE answered = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE checked = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);

  TThread driver([&] {
    for (std::size_t i = 0; i < kCases.size(); ++i) {
      HWND prompt = WaitForDialog(ui, "Missing files");
      if (i == 0) {
        CheckLook(prompt, owner, ui);
        Screenshot(prompt, "prompt");
      }
      Answer(prompt, kCases[i].Answer, ui);
      if (::WaitForSingleObject(answered, kWaitMs) != WAIT_OBJECT_0) Abort("prompt still open");
      QV_CHECK_EQ(answers[i], kCases[i].Expected);
      QV_CHECK(!::IsWindow(prompt));
      QV_CHECK(IsEnabled(owner));
      ::SetEvent(checked);
    }
    // The prompt as the computation asks it: the run's language, a beep, Escape is No.
    HWND prompt = WaitForDialog(ui, "Fehlende Dateien");
    QV_CHECK_EQ(TextOf(Button(prompt, IDYES)), std::string("Ja"));
    QV_CHECK_EQ(TextOf(Button(prompt, IDNO)), std::string("Nein"));
    QV_CHECK_EQ(
        TextOf(::GetDlgItem(prompt, 1000)).rfind("Nur 2 von 5 NHM Dateien vorhanden.\r\n", 0),
        std::string::size_type{0});
    Screenshot(prompt, "prompt-de");
    PressKeyInFocus(ui, VK_ESCAPE);
  });

  SetLanguage(LanguageEnglish);
  for (std::size_t i = 0; i < kCases.size(); ++i) {
    answers[i] = Platform().AskYesNo(Msg(msgMissingFilesTitle), kQuestion, Msg(msgYes), Msg(msgNo));
    ::SetEvent(answered);
    // The next prompt would disable the owner again before the driver has looked at it.
    WaitPumping(checked);
  }
  SetLanguage(LanguageGerman);
  germanAnswer = ConfirmMissingTiles(2, 5);
  driver.JoinPumping();
  QV_CHECK(!germanAnswer);
  return Summary("prompt_test");
}
