// Display texts and settings texts of numbers.
//
// Every format starts from the decimal digits that std::to_chars produces, so rounding is the
// correct rounding of the double's exact binary value and never depends on the C locale. As
// with FloatToStrF, a display never shows more than Precision significant digits: a fixed text
// is rounded once, at whichever comes first of the Precision-th significant digit and the
// Digits-th decimal, and padded with zeros from there.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

#include "dialog/NumberText.h"

namespace qv {

namespace {

// A value rounded to a number of significant digits: 0.Mantissa x 10^Exponent, so Exponent is
// the count of integer digits (0 or less for values below 1).
struct TSignificant {
  bool Negative = false;
  std::string Mantissa;
  int Exponent = 0;
};

TSignificant RoundToSignificant(double value, int precision) {
  std::array<char, 64> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                               std::chars_format::scientific, precision - 1);
  const std::string_view text(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()));
  TSignificant s;
  std::size_t i = 0;
  if (text[i] == '-') {
    s.Negative = true;
    ++i;
  }
  const auto e = text.find('e');
  for (; i < e; ++i) {
    if (text[i] != '.') s.Mantissa += text[i];
  }
  int exponent = 0;
  const char* first = text.data() + e + 1;
  if (*first == '+') ++first;
  std::from_chars(first, text.data() + text.size(), exponent);
  s.Exponent = value == 0 ? 1 : exponent + 1;
  return s;
}

std::string Grouped(std::string_view integerDigits, std::string_view groupSeparator) {
  std::string out;
  const auto n = integerDigits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) out += groupSeparator;
    out += integerDigits[i];
  }
  return out;
}

std::string TrimTrailingZeros(std::string digits) {
  while (!digits.empty() && digits.back() == '0') digits.pop_back();
  return digits;
}

std::string ExponentText(int exponent, int minDigits, bool alwaysSign) {
  std::string digits = std::to_string(exponent < 0 ? -exponent : exponent);
  if (static_cast<int>(digits.size()) < minDigits)
    digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
  if (exponent < 0) return "-" + digits;
  return alwaysSign ? "+" + digits : digits;
}

// "d.dddE<exp>" from significant digits (trailing zeros kept as given).
std::string Scientific(const TSignificant& s, std::string_view mantissa, int minExpDigits,
                       bool alwaysSign, const TNumberFormat& nf) {
  std::string out = s.Negative ? "-" : "";
  out += mantissa.empty() ? '0' : mantissa.front();
  if (mantissa.size() > 1) {
    out += nf.DecimalSeparator;
    out += mantissa.substr(1);
  }
  const bool zero = mantissa.find_first_not_of('0') == std::string_view::npos;
  return out + "E" + ExponentText(zero ? 0 : s.Exponent - 1, minExpDigits, alwaysSign);
}

// Integer and fraction digits rounded for ffFixed / ffNumber, or nothing when the value needs
// more integer digits than Precision allows.
struct TFixedParts {
  bool Negative = false;
  std::string Integer;
  std::string Fraction;
};

std::optional<TFixedParts> FixedParts(double value, int precision, int digits) {
  const TSignificant s = RoundToSignificant(value, precision);
  if (s.Exponent > precision) return std::nullopt;
  TFixedParts parts;
  parts.Negative = s.Negative;
  if (s.Exponent + digits >= precision) {
    // The Precision-th significant digit is the last one that counts; zeros follow it.
    if (s.Exponent <= 0) {
      parts.Integer = "0";
      parts.Fraction = std::string(static_cast<std::size_t>(-s.Exponent), '0') + s.Mantissa;
    } else {
      const auto e = static_cast<std::size_t>(s.Exponent);
      parts.Integer = s.Mantissa.substr(0, e);
      parts.Fraction = s.Mantissa.substr(e);
    }
    parts.Fraction.resize(static_cast<std::size_t>(digits), '0');
  } else {
    std::array<char, 64> buf{};
    const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value),
                                 std::chars_format::fixed, digits);
    const std::string_view text(buf.data(), static_cast<std::size_t>(r.ptr - buf.data()));
    const auto dot = text.find('.');
    parts.Integer = std::string(text.substr(0, dot));
    if (dot != std::string_view::npos) parts.Fraction = std::string(text.substr(dot + 1));
  }
  // A value that rounds to zero shows no minus sign.
  const bool allZero = parts.Integer.find_first_not_of('0') == std::string::npos &&
                       parts.Fraction.find_first_not_of('0') == std::string::npos;
  if (allZero) parts.Negative = false;
  return parts;
}

std::string FixedText(double value, int precision, int digits, bool grouped,
                      const TNumberFormat& nf) {
  const auto parts = FixedParts(value, precision, digits);
  if (!parts) {
    const TSignificant s = RoundToSignificant(value, precision);
    return Scientific(s, TrimTrailingZeros(s.Mantissa), 0, false, nf);
  }
  std::string out = parts->Negative ? "-" : "";
  out += grouped ? Grouped(parts->Integer, nf.GroupSeparator) : parts->Integer;
  if (digits > 0) out += nf.DecimalSeparator + parts->Fraction;
  return out;
}

std::string GeneralText(double value, int precision, int digits, const TNumberFormat& nf) {
  const TSignificant s = RoundToSignificant(value, precision);
  const std::string m = TrimTrailingZeros(s.Mantissa);
  if (m.empty()) return "0";
  if (s.Exponent > precision || s.Exponent < -4)
    return Scientific(s, m, std::min(digits, 4), false, nf);
  std::string out = s.Negative ? "-" : "";
  if (s.Exponent <= 0) {
    out += "0" + nf.DecimalSeparator + std::string(static_cast<std::size_t>(-s.Exponent), '0');
    return out + m;
  }
  const auto e = static_cast<std::size_t>(s.Exponent);
  if (m.size() <= e) return out + m + std::string(e - m.size(), '0');
  return out + m.substr(0, e) + nf.DecimalSeparator + m.substr(e);
}

}  // namespace

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const TNumberFormat& numberFormat) {
  if (!std::isfinite(value)) return {};
  precision = std::clamp(precision, 1, 18);
  digits = std::clamp(digits, 0, 18);
  switch (format) {
    case TFloatFormat::ffGeneral:
      return GeneralText(value, precision, digits, numberFormat);
    case TFloatFormat::ffExponent: {
      const TSignificant s = RoundToSignificant(value, precision);
      return Scientific(s, s.Mantissa, std::min(digits, 4), true, numberFormat);
    }
    case TFloatFormat::ffFixed:
      return FixedText(value, precision, digits, false, numberFormat);
    case TFloatFormat::ffNumber:
    case TFloatFormat::ffCurrency:
      return FixedText(value, precision, digits, true, numberFormat);
  }
  return {};
}

std::string FloatToSettingText(double value, const TNumberFormat& numberFormat) {
  if (!std::isfinite(value)) return {};
  // Fifteen significant digits with trailing zeros dropped is the shortest text that reads back
  // as the same double whenever one of at most fifteen digits exists; fifteen digits also
  // decide between fixed and exponent form, so 100 stays "100" and 1e20 becomes "1e+20".
  std::array<char, 64> buf{};
  const auto r = std::to_chars(buf.data(), buf.data() + buf.size(), value,
                               std::chars_format::general, 15);
  std::string out;
  for (const char* p = buf.data(); p != r.ptr; ++p) {
    if (*p == '.')
      out += numberFormat.DecimalSeparator;
    else
      out += *p;
  }
  return out;
}

}  // namespace qv
