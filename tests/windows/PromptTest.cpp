// The missing-tiles prompt as a window: its look, and the answer that each way of closing it
// gives. (tests/windows/DialogTest.cpp shows it owned by the parameter dialog.)
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

void CheckLook(HWND prompt, DWORD ui) {
  RECT r{};
  ::GetWindowRect(prompt, &r);
  QV_CHECK(r.left == 320 && r.top == 240 && r.right - r.left == 392 && r.bottom - r.top == 103);
  QV_CHECK_EQ(TextOf(::GetDlgItem(prompt, kLabel)), std::string("Only 3 of 4.\r\nDummies?"));
  QV_CHECK_EQ(FocusOf(ui), ::GetDlgItem(prompt, IDYES));
  QV_CHECK_EQ(::SendMessageA(prompt, DM_GETDEFID, 0, 0), LRESULT{MAKELONG(IDYES, DC_HASDEFID)});
  // Both lines fit: the label ends above the buttons, the buttons inside the window.
  RECT label{};
  RECT yes{};
  ::GetWindowRect(::GetDlgItem(prompt, kLabel), &label);
  ::GetWindowRect(::GetDlgItem(prompt, IDYES), &yes);
  QV_CHECK(label.bottom <= yes.top && yes.bottom <= r.bottom);
}

void Answer(HWND prompt, TAnswer answer, DWORD ui) {
  switch (answer) {
    case TAnswer::Enter:
      return PressKey(ui, VK_RETURN);
    case TAnswer::Escape:
      return PressKey(ui, VK_ESCAPE);
    case TAnswer::CloseBox:
      return Post(prompt, WM_SYSCOMMAND, SC_CLOSE);
    case TAnswer::TabThenEnter:
      PressKey(ui, VK_TAB);
      QV_CHECK_EQ(FocusOf(ui), ::GetDlgItem(prompt, IDNO));
      return PressKey(ui, VK_RETURN);
    case TAnswer::ClickNo:
      return Post(::GetDlgItem(prompt, IDNO), BM_CLICK);
  }
}

}  // namespace

int main() {
  CreateSyncWindow();
  const DWORD ui = ::GetCurrentThreadId();
  for (const auto& c : kCases) {
    TQuestionResult answer{};
    Drive(
        [&] {
          HWND prompt = WaitForDialog(ui, nullptr);
          if (&c == kCases) CheckLook(prompt, ui);
          Answer(prompt, c.Answer, ui);
        },
        // The catalogue breaks lines with a lone carriage return.
        [&] {
          answer = Platform().AskYesNo("Missing files", "Only 3 of 4.\rDummies?", "Yes", "No");
        });
    QV_CHECK_EQ(static_cast<int>(answer), static_cast<int>(c.Expected));
  }
  return Summary("prompt_test");
}
