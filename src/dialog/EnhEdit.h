// TEnhancedEdit: a one-line text field that also holds the number its text stands for.
//
// This is the field's whole behaviour without a widget. A view (the Win32 edit control, the
// batch view, a test) shows Text and the selection, and forwards the user's events here:
// typed text, keys, focus, paste. Setting the number formats the text in the system's number
// format; every change of the text re-reads the number, so Value and ValueInt follow the text.
//
// Text positions (SelStart, SelLength) count bytes of Text. Text is UTF-8 on POSIX and 8-bit
// on Windows; a separator may take several bytes (de_CH groups with U+2019).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "dialog/NumberText.h"

namespace qv {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// What a view does with a key after the field has seen it.
enum class TKeyAction {
  PassOn,     // not the field's business: the standard handling goes on
  Swallowed,  // the field used it; the view must not type it nor hand it to the window
  FocusNext,  // swallowed, and the view moves the focus to the next control
};

class TEnhancedEdit {
 public:
  // Carriage return, line feed and escape as views deliver them.
  static constexpr char KeyEnter = '\r';
  static constexpr char KeyLineFeed = '\n';
  static constexpr char KeyEscape = '\x1b';

  static constexpr std::string_view InvalidNumberText = "Invalid number";
  static constexpr std::string_view InvalidIntegerText = "Invalid integer";

  // --- properties without side effects ---
  bool ExitOnEnterKey = false;  // Enter moves the focus to the next control
  bool GrayDisabled = true;     // false: a disabled field keeps the normal text colour
  bool UndoOnEscKey = false;    // Escape puts back the text the field had when focused
  bool AutoSelect = true;       // focus from the keyboard selects the whole text

  // Run after every change of the text (the edit control's change notification).
  std::function<void()> OnChange;
  // ValidateFloat / ValidateInt put the focus into the field through this.
  std::function<void()> OnRequestFocus;

  // --- properties with side effects ---
  bool AcceptChars() const { return acceptChars_; }
  // Turning the filter on cuts the current text down to a number at once.
  void SetAcceptChars(bool accept);

  TAlignment Alignment() const { return alignment_; }
  // The view rebuilds its window when the alignment changes.
  void SetAlignment(TAlignment alignment) { alignment_ = alignment; }

  std::uint8_t Digits() const { return digits_; }
  void SetDigits(std::uint8_t digits);
  TFloatFormat Format() const { return format_; }
  void SetFormat(TFloatFormat format);
  std::uint8_t Precision() const { return precision_; }
  void SetPrecision(std::uint8_t precision);

  // Value is a double: the computation's parameters are doubles, and every digit that the
  // settings file keeps (15) survives a double.
  double Value() const { return value_; }
  // A value equal to the current one changes nothing, so a hand-edited text stays. Any other
  // value is shown as its display text and then read back from it, so Value ends rounded to
  // the displayed decimals.
  void SetValue(double value);
  std::int32_t ValueInt() const { return valueInt_; }
  void SetValueInt(std::int32_t value);

  const std::string& Text() const { return text_; }
  // Replaces the whole text (caret at its end) and runs the change handling.
  void SetText(std::string_view text);
  // Empties the text; Value and ValueInt become 0.
  void Clear() { SetText({}); }
  const std::string& SavedText() const { return savedText_; }

  std::size_t SelStart() const { return selStart_; }
  std::size_t SelLength() const { return selLength_; }
  // Clamped to the text.
  void SetSelection(std::size_t start, std::size_t length);
  void SelectAll() { SetSelection(0, text_.size()); }
  std::string SelText() const { return text_.substr(selStart_, selLength_); }

  // --- events forwarded by the view ---
  // Text typed at the caret, in place of the selection.
  void TypeText(std::string_view typed);
  // A key after the standard key handling: Enter never reaches the text, Escape never reaches
  // the window (it undoes the edit when UndoOnEscKey is set).
  TKeyAction KeyPressed(char key);
  // The field got the focus; a click with the left mouse button keeps the caret where it fell.
  void FocusReceived(bool byLeftMouseButton);
  // Paste of the clipboard's plain text: its first line replaces the selection. Nothing when
  // the clipboard holds no text at all, so a paste never just deletes the selection.
  void Paste(std::optional<std::string_view> clipboardText);

  // Strict conversion of the whole text. On success the number goes to Value (ValueInt) and
  // the result is true. On failure Value and ValueInt stay as they were; unless Quiet the user
  // hears the beep and sees "Invalid number" ("Invalid integer") in an error box; the field
  // asks for the focus either way.
  bool ValidateFloat(bool quiet);
  bool ValidateInt(bool quiet);

 private:
  std::string DisplayText(double value) const;
  void ShowText(std::string text);  // text with caret at its end, then the change handling
  void TextChanged();
  void Refuse(bool quiet, std::string_view text);

  bool acceptChars_ = true;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  std::uint8_t digits_ = 2;
  TFloatFormat format_ = TFloatFormat::ffNumber;
  std::uint8_t precision_ = 8;
  double value_ = 0;
  std::int32_t valueInt_ = 0;
  std::string text_;
  std::string savedText_;
  std::size_t selStart_ = 0;
  std::size_t selLength_ = 0;
};

}  // namespace qv
