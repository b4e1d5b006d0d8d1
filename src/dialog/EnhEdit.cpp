#include "dialog/EnhEdit.h"

#include <algorithm>

#include "platform/Platform.h"

namespace qv {

void TEnhancedEdit::SetAcceptChars(bool accept) {
  if (accept == acceptChars_) return;
  acceptChars_ = accept;
  TextChanged();
}

void TEnhancedEdit::SetDigits(std::uint8_t digits) {
  if (digits == digits_) return;
  digits_ = digits;
  ShowText(DisplayText(value_));
}

void TEnhancedEdit::SetFormat(TFloatFormat format) {
  if (format == format_) return;
  format_ = format;
  ShowText(DisplayText(value_));
}

void TEnhancedEdit::SetPrecision(std::uint8_t precision) {
  if (precision == precision_) return;
  precision_ = precision;
  ShowText(DisplayText(value_));
}

void TEnhancedEdit::SetValue(double value) {
  if (value == value_) return;
  value_ = value;
  ShowText(DisplayText(value));
}

void TEnhancedEdit::SetValueInt(std::int32_t value) {
  if (value == valueInt_) return;
  valueInt_ = value;
  ShowText(DisplayText(static_cast<double>(value)));
}

void TEnhancedEdit::SetText(std::string_view text) { ShowText(std::string(text)); }

void TEnhancedEdit::SetSelection(std::size_t start, std::size_t length) {
  selStart_ = std::min(start, text_.size());
  selLength_ = std::min(length, text_.size() - selStart_);
}

void TEnhancedEdit::TypeText(std::string_view typed) {
  text_.replace(selStart_, selLength_, typed);
  selStart_ += typed.size();
  selLength_ = 0;
  TextChanged();
}

TKeyAction TEnhancedEdit::KeyPressed(char key) {
  if (key == KeyEnter || key == KeyLineFeed)
    return ExitOnEnterKey ? TKeyAction::FocusNext : TKeyAction::Swallowed;
  if (key == KeyEscape) {
    if (UndoOnEscKey) ShowText(savedText_);
    return TKeyAction::Swallowed;
  }
  return TKeyAction::PassOn;
}

void TEnhancedEdit::FocusReceived(bool byLeftMouseButton) {
  savedText_ = text_;
  if (AutoSelect && !byLeftMouseButton) SelectAll();
}

void TEnhancedEdit::Paste(std::optional<std::string_view> clipboardText) {
  if (!clipboardText) return;
  const auto end = std::find_if(clipboardText->begin(), clipboardText->end(),
                                [](char c) { return static_cast<unsigned char>(c) < 32; });
  TypeText(clipboardText->substr(0, static_cast<std::size_t>(end - clipboardText->begin())));
}

bool TEnhancedEdit::ValidateFloat(bool quiet) {
  if (const auto value = StrToFloatStrict(text_, Platform().NumberFormat())) {
    value_ = *value;
    valueInt_ = TruncToInt32(*value);
    return true;
  }
  Refuse(quiet, InvalidNumberText);
  return false;
}

bool TEnhancedEdit::ValidateInt(bool quiet) {
  if (const auto value = StrToIntStrict(text_, Platform().NumberFormat())) {
    valueInt_ = *value;
    return true;
  }
  Refuse(quiet, InvalidIntegerText);
  return false;
}

std::string TEnhancedEdit::DisplayText(double value) const {
  return FloatToStrF(value, format_, precision_, digits_, Platform().NumberFormat());
}

void TEnhancedEdit::ShowText(std::string text) {
  text_ = std::move(text);
  selStart_ = text_.size();
  selLength_ = 0;
  TextChanged();
}

// Runs after every change of the text, however it came, and keeps Value and ValueInt in step.
void TEnhancedEdit::TextChanged() {
  const TNumberFormat numberFormat = Platform().NumberFormat();
  if (!acceptChars_ && !text_.empty()) {
    auto filtered = FilterNumberText(text_, selStart_, digits_, numberFormat);
    if (filtered.Text != text_) {
      text_ = std::move(filtered.Text);
      selStart_ = filtered.Caret;
      selLength_ = 0;
    }
  }
  value_ = StrToFloatLenient(text_, numberFormat);
  valueInt_ = TruncToInt32(value_);
  if (OnChange) OnChange();
}

void TEnhancedEdit::Refuse(bool quiet, std::string_view text) {
  if (!quiet) {
    Platform().Beep();
    Platform().ShowError(text);
  }
  if (OnRequestFocus) OnRequestFocus();
}

}  // namespace qv
