#include <gtest/gtest.h>

#include <limits>

#include "RecordingPlatform.h"
#include "dialog/EnhEdit.h"

namespace qv {
namespace {

class EnhancedEditTest : public ::testing::Test {
 protected:
  EnhancedEditTest() { edit.OnRequestFocus = [this] { ++focusRequests; }; }

  test::RecordingPlatform platform;
  TEnhancedEdit edit;
  int focusRequests = 0;
};

// While the user types, the value follows the text forgivingly; the strict checks decide, and
// a quiet refusal only asks for the focus and leaves the value as it was.
TEST_F(EnhancedEditTest, typedTextsGiveValuesAndOnlyNumbersValidate) {
  constexpr auto kIntMax = std::numeric_limits<std::int32_t>::max();
  const struct {
    TNumberFormat Nf;
    const char* Text;
    double Value;
    std::int32_t ValueInt;
    bool IsFloat, IsInt;
  } cases[] = {{{".", ","}, "12a", 0, 0, false, false}, {{".", ","}, "1,00", 100, 100, false, false},
               {{".", ","}, "3e9", 3e9, kIntMax, true, false}, {{".", ","}, "1,000", 1000, 1000, true, true},
               {{",", "."}, "2,75", 2.75, 2, true, false}};
  int refusals = 0;
  for (const auto& c : cases) {
    platform.numberFormat = c.Nf;
    edit.SetText(c.Text);
    EXPECT_EQ(edit.ValidateInt(true), c.IsInt) << c.Text;
    EXPECT_EQ(edit.ValidateFloat(true), c.IsFloat) << c.Text;
    EXPECT_EQ(edit.Value(), c.Value) << c.Text;
    EXPECT_EQ(edit.ValueInt(), c.ValueInt) << c.Text;
    refusals += (c.IsFloat ? 0 : 1) + (c.IsInt ? 0 : 1);
  }
  EXPECT_EQ(focusRequests, refusals);
  EXPECT_EQ(platform.beeps, 0);
  // Out loud: the beep and the error box.
  edit.SetText("12a");
  EXPECT_FALSE(edit.ValidateFloat(false));
  EXPECT_FALSE(edit.ValidateInt(false));
  EXPECT_EQ(platform.beeps, 2);
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Error);
  EXPECT_EQ(platform.Texts(), (std::vector<std::string>{"Invalid number", "Invalid integer"}));
}

TEST_F(EnhancedEditTest, formatChangesRedisplayAndAnEqualValueKeepsAHandEditedText) {
  int changes = 0;
  edit.OnChange = [&] { ++changes; };
  edit.SetDigits(0);
  edit.SetValueInt(36);
  edit.SetDigits(2);
  EXPECT_EQ(edit.Text(), "36.00");
  edit.SetFormat(TFloatFormat::ffGeneral);
  edit.SetPrecision(1);
  EXPECT_EQ(edit.Text(), "4E01");
  EXPECT_EQ(changes, 5);
  edit.SetText("40.0");
  edit.SetValue(40);
  edit.SetValueInt(40);
  EXPECT_EQ(edit.Text(), "40.0");
}

TEST_F(EnhancedEditTest, filterAndPasteKeepOneLineOfNumberCharacters) {
  edit.SetText("ab-7.9cd");
  edit.SetAcceptChars(false);  // cuts at once
  EXPECT_EQ(edit.Text(), "-7.9");
  EXPECT_DOUBLE_EQ(edit.Value(), -7.9);
  edit.Clear();
  for (const char c : std::string("1.2.345")) edit.TypeText(std::string_view(&c, 1));
  edit.SetSelection(1, 0);
  edit.TypeText("x");  // refused in the middle: the caret stays
  EXPECT_EQ(edit.Text() + "|" + std::to_string(edit.SelStart()), "12.34|1");
  edit.SetAcceptChars(true);

  edit.SetText("1000");
  edit.SetSelection(1, 2);
  edit.Paste("23\r\n45");  // the first line, in place of the selection
  EXPECT_EQ(edit.Text() + "|" + std::to_string(edit.SelStart()), "1230|3");
  EXPECT_EQ(edit.Value(), 1230.0);
  edit.SetSelection(0, 1);
  edit.Paste("7\t8");  // any control character ends the line
  edit.SelectAll();
  edit.Paste(std::nullopt);  // no text on the clipboard deletes nothing
  EXPECT_EQ(edit.Text(), "7230");
  edit.Paste("\nabc");
  EXPECT_EQ(edit.Text(), "");
}

TEST_F(EnhancedEditTest, keysAndFocus) {
  edit.SetText("2.00");
  EXPECT_EQ(edit.KeyPressed(TEnhancedEdit::KeyEnter), TKeyAction::Swallowed);
  edit.ExitOnEnterKey = true;
  EXPECT_EQ(edit.KeyPressed(TEnhancedEdit::KeyLineFeed), TKeyAction::FocusNext);
  EXPECT_EQ(edit.KeyPressed('7'), TKeyAction::PassOn);
  edit.SetSelection(1, 0);
  edit.FocusReceived(true);  // a click keeps the caret where it fell
  EXPECT_EQ(edit.SelStart() + edit.SelLength(), 1u);
  edit.FocusReceived(false);  // from the keyboard: all selected, typing replaces it
  edit.TypeText("9");
  EXPECT_EQ(edit.KeyPressed(TEnhancedEdit::KeyEscape), TKeyAction::Swallowed);
  EXPECT_EQ(edit.Text(), "9");
  edit.UndoOnEscKey = true;
  EXPECT_EQ(edit.KeyPressed(TEnhancedEdit::KeyEscape), TKeyAction::Swallowed);
  EXPECT_EQ(edit.Text(), "2.00");
  EXPECT_EQ(edit.Value(), 2.0);
  edit.AutoSelect = false;
  edit.FocusReceived(false);
  EXPECT_EQ(edit.SelLength(), 0u);
}

}  // namespace
}  // namespace qv
