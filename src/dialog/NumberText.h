// Numbers as the user sees and types them: display texts in the system's number format, the
// strict conversions that decide whether a field or a settings value holds a number, and the
// forgiving read that keeps a field's value in step with its text while the user types.
//
// Nothing here looks at the process locale: the separators come in through TNumberFormat, and
// digits go through std::to_chars / std::from_chars.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace qv {

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// The display text of a value, in the manner of Delphi's FloatToStrF, whose format names these
// are:
// - ffNumber: optional minus, integer digits grouped by three, exactly Digits decimals, rounded
//   (at most Precision significant digits, the rest shown as zeros). More than Precision integer
//   digits switch to exponent form ("1.2345679E9").
// - ffFixed: as ffNumber without group separators.
// - ffCurrency: as ffNumber; the platform reports no currency symbol, so none is shown.
// - ffGeneral: the shortest text with at most Precision significant digits; exponent form
//   ("1.5E-7", Digits = least exponent digits) below 0.00001 or beyond Precision digits.
// - ffExponent: "d.ddddE+dd", Precision digits in all, at least Digits exponent digits.
// Precision is limited to 1..18, Digits to 18 (4 for exponents). A value that is not finite
// has no display text: the result is empty.
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TNumberFormat& numberFormat);

// A float as the settings file stores it: the shortest general form that reads back as the
// same double within 15 significant digits (2 -> "2", 0.1117 -> "0.1117", 1e20 -> "1e+20"),
// with the system's decimal separator. Empty for a value that is not finite.
std::string FloatToSettingText(double value, const TNumberFormat& numberFormat);

// Strict conversions of a whole text. Blanks (space, tab) around the number are allowed; then an
// optional sign and decimal digits. Group separators are allowed only where the display puts
// them, between groups of three integer digits ("12,345" but not "1,23" or "1,234.5,6"), so a
// text the field showed itself always converts. Floats allow one decimal separator and an
// exponent ("1.5e-3"); "inf", "nan", hexadecimal floats and values beyond double range are
// refused. Integers must fit in 32 bits.
std::optional<double> StrToFloatStrict(std::string_view text, const TNumberFormat& numberFormat);
std::optional<std::int32_t> StrToIntStrict(std::string_view text,
                                           const TNumberFormat& numberFormat);

// A float from the settings file, which holds no group separators of its own: the strict
// conversion without grouping, else with the other of "." and "," as decimal separator (a file
// written under a locale of the other kind: "2,5" read where the separator is "."), else with
// the grouping the display puts (a value typed into the file by hand).
std::optional<double> StrToFloatSetting(std::string_view text, const TNumberFormat& numberFormat);

// An integer from the settings file: as StrToIntStrict, or hexadecimal after "0x", "0X" or "$"
// (an optional sign before it). Hexadecimal values beyond the 32-bit signed range are refused.
std::optional<std::int32_t> StrToIntSetting(std::string_view text,
                                            const TNumberFormat& numberFormat);

// The value a field takes from its text while the user types: every group separator removed
// wherever it stands, then the strict float conversion; 0 when that fails.
double StrToFloatLenient(std::string_view text, const TNumberFormat& numberFormat);

// The text a field with AcceptChars false keeps of Text: only the last decimal separator
// stays, at most Digits characters behind it, and nothing but digits, minus signs and group
// separators besides. Caret is mapped to the same place in the result.
struct TFilteredText {
  std::string Text;
  std::size_t Caret = 0;
};
TFilteredText FilterNumberText(std::string_view text, std::size_t caret, int digits,
                               const TNumberFormat& numberFormat);

// Truncation toward zero that saturates at the 32-bit limits instead of overflowing; NaN gives 0.
std::int32_t TruncToInt32(double value);

// Text with every occurrence of What removed (nothing removed when What is empty).
std::string RemoveAll(std::string_view text, std::string_view what);

}  // namespace qv
