#include <gtest/gtest.h>

#include <limits>

#include "RecordingPlatform.h"
#include "dialog/EnhEdit.h"

namespace qv {
namespace {

const std::string kRightQuote = "\xE2\x80\x99";  // U+2019, de_CH's group separator

class EnhancedEditTest : public ::testing::Test {
 protected:
  EnhancedEditTest() {
    edit.OnRequestFocus = [this] { ++focusRequests; };
    edit.OnChange = [this] { ++changes; };
  }
  void TypeEach(std::string_view text) {
    for (const char c : text) edit.TypeText(std::string_view(&c, 1));
  }

  test::RecordingPlatform platform;
  TEnhancedEdit edit;
  int focusRequests = 0;
  int changes = 0;
};

TEST_F(EnhancedEditTest, textThatIsNotANumberStaysButGivesZeroAndFailsValidation) {
  edit.SetValue(5);
  edit.Clear();
  TypeEach("12a");
  EXPECT_EQ(edit.Text(), "12a");
  EXPECT_EQ(edit.Value(), 0.0);
  EXPECT_EQ(edit.ValueInt(), 0);
  EXPECT_EQ(changes, 5);  // SetValue, Clear, three keystrokes

  edit.SetText("12a");
  EXPECT_FALSE(edit.ValidateFloat(false));
  EXPECT_EQ(platform.beeps, 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Error);
  EXPECT_EQ(platform.messages[0].text, "Invalid number");
  EXPECT_EQ(focusRequests, 1);
  EXPECT_FALSE(edit.ValidateInt(false));
  EXPECT_EQ(platform.messages.back().text, "Invalid integer");
}

TEST_F(EnhancedEditTest, quietValidationOnlyAsksForFocusAndLeavesTheValue) {
  edit.SetValue(3);
  ASSERT_EQ(edit.Text(), "3.00");
  // A hand edit that the lenient read takes but the strict conversion refuses.
  edit.SetText("1,00");
  EXPECT_EQ(edit.Value(), 100.0);
  EXPECT_FALSE(edit.ValidateFloat(true));
  EXPECT_FALSE(edit.ValidateInt(true));
  EXPECT_EQ(edit.Value(), 100.0);
  EXPECT_EQ(edit.ValueInt(), 100);
  EXPECT_EQ(platform.beeps, 0);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(focusRequests, 2);
}

TEST_F(EnhancedEditTest, filterKeepsOnlyTheLastDecimalSeparatorAndDigitsDecimals) {
  edit.SetAcceptChars(false);
  TypeEach("1.2.3");
  EXPECT_EQ(edit.Text(), "12.3");
  EXPECT_DOUBLE_EQ(edit.Value(), 12.3);
  TypeEach("45");  // the third decimal is cut at once
  EXPECT_EQ(edit.Text(), "12.34");
  EXPECT_EQ(edit.SelStart(), 5u);
  // A rejected character typed in the middle leaves the caret where it was.
  edit.SetSelection(1, 0);
  edit.TypeText("x");
  EXPECT_EQ(edit.Text(), "12.34");
  EXPECT_EQ(edit.SelStart(), 1u);
  // Pasting the whole text at once filters the same way.
  edit.SelectAll();
  edit.Paste("1.2.3");
  EXPECT_EQ(edit.Text(), "12.3");
}

TEST_F(EnhancedEditTest, switchingTheFilterOnCutsTheTextAtOnce) {
  edit.SetText("ab-7.9cd");
  EXPECT_EQ(edit.Value(), 0.0);
  edit.SetAcceptChars(false);
  EXPECT_EQ(edit.Text(), "-7.9");
  EXPECT_DOUBLE_EQ(edit.Value(), -7.9);
}

TEST_F(EnhancedEditTest, negativeTextTruncatesTowardZeroAndHugeTextsSaturate) {
  edit.SetText("-7.9");
  EXPECT_DOUBLE_EQ(edit.Value(), -7.9);
  EXPECT_EQ(edit.ValueInt(), -7);
  edit.SetText("3e9");
  EXPECT_EQ(edit.Value(), 3e9);
  EXPECT_EQ(edit.ValueInt(), std::numeric_limits<std::int32_t>::max());
  EXPECT_FALSE(edit.ValidateInt(true));
}

TEST_F(EnhancedEditTest, settingValueIntShowsTheIntegerInTheFieldsFormat) {
  edit.SetDigits(0);
  edit.SetValueInt(36);
  EXPECT_EQ(edit.Text(), "36");
  EXPECT_EQ(edit.Value(), 36.0);
  EXPECT_EQ(edit.ValueInt(), 36);
  edit.SetDigits(2);  // re-formatted from Value
  EXPECT_EQ(edit.Text(), "36.00");
}

TEST_F(EnhancedEditTest, settingTheSameValueKeepsAHandEditedText) {
  edit.SetValue(2.5);
  EXPECT_EQ(edit.Text(), "2.50");
  edit.SetText("2.5");
  edit.SetValue(2.5);
  EXPECT_EQ(edit.Text(), "2.5");
  edit.SetValueInt(2);
  EXPECT_EQ(edit.Text(), "2.5");
  edit.SetValue(2.25);
  EXPECT_EQ(edit.Text(), "2.25");
}

TEST_F(EnhancedEditTest, aValueWithMoreDecimalsIsReadBackRoundedFromItsText) {
  edit.SetDigits(4);
  edit.SetValue(0.11174999);
  EXPECT_EQ(edit.Text(), "0.1117");
  EXPECT_EQ(edit.Value(), 0.1117);
  edit.SetDigits(0);
  edit.SetValue(1234.5678);
  EXPECT_EQ(edit.Text(), "1,235");
  EXPECT_EQ(edit.Value(), 1235.0);
}

TEST_F(EnhancedEditTest, pasteInsertsTheFirstLineInPlaceOfTheSelection) {
  edit.SetText("1000");
  edit.SetSelection(1, 2);
  edit.Paste("23\r\n45");
  EXPECT_EQ(edit.Text(), "1230");
  EXPECT_EQ(edit.SelStart(), 3u);
  EXPECT_EQ(edit.Value(), 1230.0);
  edit.SetSelection(0, 1);
  edit.Paste("7\t8");  // any control character ends the line
  EXPECT_EQ(edit.Text(), "7230");
  // No text on the clipboard: the selection is not deleted.
  edit.SelectAll();
  edit.Paste(std::nullopt);
  EXPECT_EQ(edit.Text(), "7230");
  // An empty first line does replace the selection.
  edit.Paste("\nabc");
  EXPECT_EQ(edit.Text(), "");
  EXPECT_EQ(edit.Value(), 0.0);
}

TEST_F(EnhancedEditTest, multiByteGroupSeparatorsInDisplayValidationAndFilter) {
  platform.numberFormat = {".", kRightQuote};
  edit.SetValue(1234567.5);
  EXPECT_EQ(edit.Text(), "1" + kRightQuote + "234" + kRightQuote + "567.50");
  EXPECT_EQ(edit.Value(), 1234567.5);
  EXPECT_TRUE(edit.ValidateFloat(false));
  EXPECT_EQ(edit.Value(), 1234567.5);
  edit.SetAcceptChars(false);
  EXPECT_EQ(edit.Text(), "1" + kRightQuote + "234" + kRightQuote + "567.50");
  edit.SetText("1\xE2\x80\x98" "5");  // U+2018 is not the separator
  EXPECT_EQ(edit.Text(), "15");
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EnhancedEditTest, aThousandWithoutDecimalsIsShownGroupedAndValidates) {
  for (const std::string& group : {std::string(","), std::string("'"), kRightQuote}) {
    platform.numberFormat = {".", group};
    TEnhancedEdit field;
    field.SetDigits(0);
    field.SetValue(1000);
    EXPECT_EQ(field.Text(), "1" + group + "000");
    EXPECT_TRUE(field.ValidateFloat(false));
    EXPECT_EQ(field.Value(), 1000.0);
    EXPECT_TRUE(field.ValidateInt(false));
    EXPECT_EQ(field.ValueInt(), 1000);
  }
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(EnhancedEditTest, decimalCommaSystem) {
  platform.numberFormat = {",", "."};
  edit.SetValue(1234.5);
  EXPECT_EQ(edit.Text(), "1.234,50");
  EXPECT_TRUE(edit.ValidateFloat(true));
  edit.SetText("2,75");
  EXPECT_EQ(edit.Value(), 2.75);
  // A point typed as if it were the decimal separator is a misplaced group separator.
  edit.SetText("2.75");
  EXPECT_EQ(edit.Value(), 275.0);
  EXPECT_FALSE(edit.ValidateFloat(true));
  EXPECT_EQ(edit.Value(), 275.0);
}

TEST_F(EnhancedEditTest, enterIsSwallowedAndReportsFocusNextWhenAsked) {
  edit.SetText("5");
  EXPECT_EQ(edit.KeyPressed(TEnhancedEdit::KeyEnter), TKeyAction::Swallowed);
  EXPECT_EQ(edit.KeyPressed(TEnhancedEdit::KeyLineFeed), TKeyAction::Swallowed);
  edit.ExitOnEnterKey = true;
  EXPECT_EQ(edit.KeyPressed(TEnhancedEdit::KeyEnter), TKeyAction::FocusNext);
  EXPECT_EQ(edit.KeyPressed('7'), TKeyAction::PassOn);
  EXPECT_EQ(edit.Text(), "5");
}

TEST_F(EnhancedEditTest, escapeUndoesToTheTextAtFocusOnlyWhenAsked) {
  edit.SetText("2.00");
  edit.FocusReceived(false);
  EXPECT_EQ(edit.SavedText(), "2.00");
  edit.SelectAll();
  edit.TypeText("9");
  EXPECT_EQ(edit.KeyPressed(TEnhancedEdit::KeyEscape), TKeyAction::Swallowed);
  EXPECT_EQ(edit.Text(), "9");  // UndoOnEscKey is off
  edit.UndoOnEscKey = true;
  EXPECT_EQ(edit.KeyPressed(TEnhancedEdit::KeyEscape), TKeyAction::Swallowed);
  EXPECT_EQ(edit.Text(), "2.00");
  EXPECT_EQ(edit.Value(), 2.0);
}

TEST_F(EnhancedEditTest, focusFromTheKeyboardSelectsAllButAMouseClickDoesNot) {
  edit.SetText("123");
  edit.SetSelection(1, 0);
  edit.FocusReceived(true);
  EXPECT_EQ(edit.SelStart(), 1u);
  EXPECT_EQ(edit.SelLength(), 0u);
  edit.FocusReceived(false);
  EXPECT_EQ(edit.SelText(), "123");
  edit.AutoSelect = false;
  edit.SetSelection(2, 0);
  edit.FocusReceived(false);
  EXPECT_EQ(edit.SelLength(), 0u);
}

}  // namespace
}  // namespace qv
