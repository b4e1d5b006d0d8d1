// Strict and forgiving reads of numbers typed by users or stored in the settings file.
//
// The text is checked by hand against the one shape we accept and rewritten into the plain
// ASCII form that std::from_chars reads; from_chars on its own would take "inf", "nan" and
// "0x1p3", which no user means as a parameter.
#include <charconv>
#include <cmath>
#include <limits>

#include "dialog/NumberText.h"

namespace qv {

namespace {

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

class TScanner {
 public:
  explicit TScanner(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }
  bool Take(char c) {
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool Take(std::string_view s) {
    if (s.empty() || text_.substr(pos_).substr(0, s.size()) != s) return false;
    pos_ += s.size();
    return true;
  }
  std::string_view Digits() {
    const auto start = pos_;
    while (!AtEnd() && IsDigit(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }
  std::string_view Rest() const { return text_.substr(pos_); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// Integer digits, with group separators only where the display puts them: between groups of
// three, after a first group of one to three digits that does not start with 0 ("0,125" is no
// grouped 125). Appends the bare digits to Out; false for misplaced separators.
bool TakeGroupedDigits(TScanner& scan, std::string_view groupSeparator, std::string& out) {
  const auto first = scan.Digits();
  out += first;
  bool grouped = false;
  while (scan.Take(groupSeparator)) {
    const auto group = scan.Digits();
    if (group.size() != 3) return false;
    out += group;
    grouped = true;
  }
  return !grouped || (!first.empty() && first.size() <= 3 && first.front() != '0');
}

// The number of Text rewritten as "[-]digits[.digits][e[-]digits]", or nothing when the text
// has any other shape.
std::optional<std::string> Canonical(std::string_view text, const TNumberFormat& nf,
                                     bool isFloat) {
  // A group separator equal to the decimal separator could never be told apart: ignore it.
  const std::string_view group =
      nf.GroupSeparator == nf.DecimalSeparator ? std::string_view() : nf.GroupSeparator;
  TScanner scan(TrimBlanks(text));
  std::string out;
  if (scan.Take('-'))
    out += '-';
  else
    scan.Take('+');
  const auto signLength = out.size();
  if (!TakeGroupedDigits(scan, group, out)) return std::nullopt;
  bool hasDigits = out.size() > signLength;
  if (isFloat && scan.Take(nf.DecimalSeparator)) {
    const auto fraction = scan.Digits();
    if (!fraction.empty()) {
      if (!hasDigits) out += '0';
      out += '.';
      out += fraction;
    }
    hasDigits = hasDigits || !fraction.empty();
  }
  if (!hasDigits) return std::nullopt;
  if (isFloat && (scan.Take('e') || scan.Take('E'))) {
    out += 'e';
    if (scan.Take('-'))
      out += '-';
    else
      scan.Take('+');
    const auto exponent = scan.Digits();
    if (exponent.empty()) return std::nullopt;
    out += exponent;
  }
  if (!scan.AtEnd()) return std::nullopt;
  return out;
}

std::optional<std::int32_t> ToInt32(std::string_view digits, int base, bool negative) {
  std::int64_t magnitude = 0;
  const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude, base);
  if (r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return std::nullopt;
  const std::int64_t v = negative ? -magnitude : magnitude;
  if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(v);
}

bool IsHexDigit(char c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::optional<double> StrToFloatStrict(std::string_view text, const TNumberFormat& numberFormat) {
  const auto canonical = Canonical(text, numberFormat, true);
  if (!canonical) return std::nullopt;
  double value = 0;
  const char* end = canonical->data() + canonical->size();
  const auto r = std::from_chars(canonical->data(), end, value);
  if (r.ec != std::errc() || r.ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<double> StrToFloatSetting(std::string_view text,
                                        const TNumberFormat& numberFormat) {
  TNumberFormat ungrouped{numberFormat.DecimalSeparator, ""};
  if (auto value = StrToFloatStrict(text, ungrouped)) return value;
  ungrouped.DecimalSeparator = numberFormat.DecimalSeparator == "," ? "." : ",";
  if (auto value = StrToFloatStrict(text, ungrouped)) return value;
  return StrToFloatStrict(text, numberFormat);
}

std::optional<std::int32_t> StrToIntStrict(std::string_view text,
                                           const TNumberFormat& numberFormat) {
  const auto canonical = Canonical(text, numberFormat, false);
  if (!canonical) return std::nullopt;
  std::string_view digits = *canonical;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (negative) digits.remove_prefix(1);
  return ToInt32(digits, 10, negative);
}

std::optional<std::int32_t> StrToIntSetting(std::string_view text,
                                            const TNumberFormat& numberFormat) {
  TScanner scan(TrimBlanks(text));
  const bool negative = scan.Take('-');
  if (!negative) scan.Take('+');
  if (scan.Take("0x") || scan.Take("0X") || scan.Take('$')) {
    const auto digits = scan.Rest();
    if (digits.empty()) return std::nullopt;
    for (const char c : digits) {
      if (!IsHexDigit(c)) return std::nullopt;
    }
    return ToInt32(digits, 16, negative);
  }
  return StrToIntStrict(text, numberFormat);
}

double StrToFloatLenient(std::string_view text, const TNumberFormat& numberFormat) {
  if (numberFormat.GroupSeparator != numberFormat.DecimalSeparator)
    return StrToFloatStrict(RemoveAll(text, numberFormat.GroupSeparator), numberFormat)
        .value_or(0.0);
  return StrToFloatStrict(text, numberFormat).value_or(0.0);
}

std::int32_t TruncToInt32(double value) {
  constexpr auto lo = std::numeric_limits<std::int32_t>::min();
  constexpr auto hi = std::numeric_limits<std::int32_t>::max();
  if (std::isnan(value)) return 0;
  if (value <= static_cast<double>(lo)) return lo;
  if (value >= static_cast<double>(hi)) return hi;
  return static_cast<std::int32_t>(value);
}

std::string RemoveAll(std::string_view text, std::string_view what) {
  if (what.empty()) return std::string(text);
  std::string out;
  std::size_t pos = 0;
  for (auto hit = text.find(what); hit != std::string_view::npos; hit = text.find(what, pos)) {
    out += text.substr(pos, hit - pos);
    pos = hit + what.size();
  }
  out += text.substr(pos);
  return out;
}

}  // namespace qv
