// The missing-tiles prompt as a window: its look, its keys and its answers, driven from a
// second thread while the prompt runs modally on the main thread.
#include <string>
#include <vector>

#include "GuiDriver.h"
#include "WinTest.h"
#include "dialog/languages/Languages.h"
#include "platform/platform_win32.h"

using namespace qv;
using namespace qv::wintest;

namespace {

enum class TAnswer { Enter, Escape, CloseBox, TabThenEnter, ClickNo };

struct TCase {
  TAnswer Answer;
  TQuestionResult Expected;
};

const std::vector<TCase> kCases = {
    {TAnswer::Enter, TQuestionResult::Yes},        {TAnswer::Escape, TQuestionResult::No},
    {TAnswer::CloseBox, TQuestionResult::Cancel},  {TAnswer::TabThenEnter, TQuestionResult::No},
    {TAnswer::ClickNo, TQuestionResult::No}};

HWND Button(HWND prompt, int id) { return ::GetDlgItem(prompt, id); }

void CheckLook(HWND prompt, HWND owner, DWORD ui) {
  RECT r{};
  ::GetWindowRect(prompt, &r);
  QV_CHECK_EQ(r.right - r.left, 392L);
  QV_CHECK_EQ(r.bottom - r.top, 103L);
  QV_CHECK_EQ(r.left, 320L);
  QV_CHECK_EQ(r.top, 240L);
  QV_CHECK_EQ(TextOf(::GetDlgItem(prompt, 1000)),
              std::string("Only 3 out of 4 NHM files found.\r\nUse dummy files for missing files?"));
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
  QV_CHECK(label.bottom <= yes.top && yes.bottom <= r.bottom);
}

void Answer(HWND prompt, TAnswer answer, DWORD ui) {
  switch (answer) {
    case TAnswer::Enter: return PressKeyInFocus(ui, VK_RETURN);
    case TAnswer::Escape: return PressKeyInFocus(ui, VK_ESCAPE);
    case TAnswer::CloseBox: return ClickCloseBox(prompt);
    case TAnswer::TabThenEnter:
      PressKeyInFocus(ui, VK_TAB);
      QV_CHECK_EQ(FocusOf(ui), Button(prompt, IDNO));
      return PressKeyInFocus(ui, VK_RETURN);
    case TAnswer::ClickNo: return ClickButton(Button(prompt, IDNO));
  }
}

}  // namespace

int main() {
  CreateSyncWindow();
  HWND owner = CreateHostWindow("host window");
  ::SetActiveWindow(owner);
  const DWORD ui = ::GetCurrentThreadId();
  std::vector<TQuestionResult> answers(kCases.size(), TQuestionResult::Yes);
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
  });

  SetLanguage(LanguageEnglish);
  for (std::size_t i = 0; i < kCases.size(); ++i) {
    answers[i] = Platform().AskYesNo(Msg(msgMissingFilesTitle),
                                     "Only 3 out of 4 NHM files found.\rUse dummy files for "
                                     "missing files?",
                                     Msg(msgYes), Msg(msgNo));
    ::SetEvent(answered);
    // The next prompt would disable the owner again before the driver has looked at it.
    WaitPumping(checked);
  }
  driver.JoinPumping();
  return Summary("prompt_test");
}
