// The missing-tiles prompt as a window, owned by the host's window: its look, and the answer
// that each way of closing it gives.
#include <string>

#include "WinTest.h"
#include "platform/Platform.h"

using namespace qv;
using namespace qv::wintest;

namespace {

enum class TAnswer { Enter, Escape, CloseBox, TabThenEnter, ClickNo };

constexpr struct {
  TAnswer Answer;
  TQuestionResult Expected;
} kCases[] = {{TAnswer::Enter, TQuestionResult::Yes},
              {TAnswer::Escape, TQuestionResult::No},
              {TAnswer::CloseBox, TQuestionResult::Cancel},
              {TAnswer::TabThenEnter, TQuestionResult::No},
              {TAnswer::ClickNo, TQuestionResult::No}};
constexpr int kLabel = 1000;

void CheckLook(HWND prompt, HWND owner, DWORD ui) {
  RECT r{};
  ::GetWindowRect(prompt, &r);
  QV_CHECK(r.left == 320 && r.top == 240 && r.right - r.left == 392 && r.bottom - r.top == 103);
  QV_CHECK_EQ(TextOf(::GetDlgItem(prompt, kLabel)), std::string("Only 3 out of 4.\r\nUse dummies?"));
  QV_CHECK_EQ(TextOf(::GetDlgItem(prompt, IDNO)), std::string("No"));
  QV_CHECK_EQ(FocusOf(ui), ::GetDlgItem(prompt, IDYES));
  QV_CHECK_EQ(::SendMessageA(prompt, DM_GETDEFID, 0, 0), LRESULT{MAKELONG(IDYES, DC_HASDEFID)});
  QV_CHECK(!IsEnabled(owner));
  // Both lines fit: the label ends above the buttons, the buttons inside the window.
  RECT label{};
  RECT yes{};
  ::GetWindowRect(::GetDlgItem(prompt, kLabel), &label);
  ::GetWindowRect(::GetDlgItem(prompt, IDYES), &yes);
  QV_CHECK(label.bottom <= yes.top && yes.bottom <= r.bottom);
}

void Answer(HWND prompt, TAnswer answer, DWORD ui) {
  switch (answer) {
    case TAnswer::Enter: return PressKey(ui, VK_RETURN);
    case TAnswer::Escape: return PressKey(ui, VK_ESCAPE);
    case TAnswer::CloseBox: return Post(prompt, WM_SYSCOMMAND, SC_CLOSE);
    case TAnswer::TabThenEnter:
      PressKey(ui, VK_TAB);
      QV_CHECK_EQ(FocusOf(ui), ::GetDlgItem(prompt, IDNO));
      return PressKey(ui, VK_RETURN);
    case TAnswer::ClickNo: return Post(::GetDlgItem(prompt, IDNO), BM_CLICK);
  }
}

}  // namespace

int main() {
  CreateSyncWindow();
  HWND owner = CreateHostWindow();
  ::SetActiveWindow(owner);
  const DWORD ui = ::GetCurrentThreadId();
  for (const auto& c : kCases) {
    HANDLE driver = Drive([&] {
      HWND prompt = WaitForDialog(ui, owner);
      if (&c == kCases) CheckLook(prompt, owner, ui);
      Answer(prompt, c.Answer, ui);
      WaitUntilDestroyed(prompt);
      QV_CHECK(IsEnabled(owner));
    });
    // The catalogue breaks lines with a lone carriage return.
    const auto answer =
        Platform().AskYesNo("Missing files", "Only 3 out of 4.\rUse dummies?", "Yes", "No");
    QV_CHECK_EQ(static_cast<int>(answer), static_cast<int>(c.Expected));
    // The next prompt would disable the owner again before the driver has looked at it.
    Join(driver);
  }
  return Summary("prompt_test");
}
