#include "shapefile/DBaseNumber.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace qv {

namespace {

std::string Stars(int width) { return std::string(static_cast<std::size_t>(width > 0 ? width : 0), '*'); }

std::string RightAligned(std::string_view digits, int width) {
  if (width < 0 || digits.size() > static_cast<std::size_t>(width)) return Stars(width);
  std::string field(static_cast<std::size_t>(width) - digits.size(), ' ');
  field += digits;
  return field;
}

}  // namespace

std::string FormatDBaseInteger(std::int64_t value, int width) {
  char buf[24];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  return RightAligned(std::string_view(buf, static_cast<std::size_t>(result.ptr - buf)), width);
}

std::string FormatDBaseFixed(double value, int width, int decimals) {
  if (!std::isfinite(value) || decimals < 0) return Stars(width);
  // The largest double has 309 integer digits; a dBase field has at most a few dozen decimals.
  char buf[400];
  const auto result =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc{}) return Stars(width);
  return RightAligned(std::string_view(buf, static_cast<std::size_t>(result.ptr - buf)), width);
}

}  // namespace qv
