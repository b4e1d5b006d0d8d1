// Numbers of grid files: "." as decimal separator whatever the locale, an optional sign.
//
// Almost every cell of a height model is a short decimal such as "12.37"; those are converted
// here directly (an integer of at most 15 digits divided by an exact power of ten rounds exactly
// as the full conversion does), everything else goes through std::from_chars.
#pragma once

#include <charconv>
#include <cstdint>
#include <limits>
#include <string_view>
#include <system_error>

namespace qv {

namespace detail {

inline constexpr double ExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace detail

// The whole text as one number; false when it is anything else. "nan" and "inf" are numbers
// here; a finite number too large for a double gives +-infinity.
inline bool ParseGridNumber(std::string_view text, double& value) {
  const char* p = text.data();
  const char* const end = p + text.size();
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) {
    negative = *p == '-';
    ++p;
  }
  std::uint64_t mantissa = 0;
  int digits = 0;
  int fractionDigits = 0;
  const char* q = p;
  for (; q < end && detail::IsDigit(*q); ++q, ++digits) {
    mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
  }
  if (q < end && *q == '.') {
    for (++q; q < end && detail::IsDigit(*q); ++q, ++digits, ++fractionDigits) {
      mantissa = mantissa * 10 + static_cast<std::uint64_t>(*q - '0');
    }
  }
  if (q == end && digits > 0 && digits <= 15) {
    const double magnitude =
        static_cast<double>(mantissa) / detail::ExactPowersOfTen[fractionDigits];
    value = negative ? -magnitude : magnitude;
    return true;
  }
  // The general case: exponents, long mantissas, nan, inf. from_chars takes no '+' and no
  // second sign.
  if (p == end || *p == '-' || *p == '+') return false;
  double parsed = 0.0;
  const auto [ptr, ec] = std::from_chars(p, end, parsed);
  if (ptr != end) return false;
  if (ec == std::errc::result_out_of_range) {
    // Too small rounds to zero, too large to infinity; tell them apart by the exponent's sign.
    const bool tiny =
        std::string_view(p, static_cast<std::size_t>(end - p)).find("e-") !=
            std::string_view::npos ||
        std::string_view(p, static_cast<std::size_t>(end - p)).find("E-") != std::string_view::npos;
    parsed = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (ec != std::errc()) {
    return false;
  }
  value = negative ? -parsed : parsed;
  return true;
}

}  // namespace qv
