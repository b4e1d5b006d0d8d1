#include "shapefile/DBaseNumber.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace qv {

namespace {

void AppendStars(std::string& out, int width) {
  out.append(static_cast<std::size_t>(width > 0 ? width : 0), '*');
}

void AppendRightAligned(std::string& out, std::string_view digits, int width) {
  if (width < 0 || digits.size() > static_cast<std::size_t>(width)) return AppendStars(out, width);
  out.append(static_cast<std::size_t>(width) - digits.size(), ' ');
  out += digits;
}

}  // namespace

void AppendDBaseInteger(std::string& out, std::int64_t value, int width) {
  char buf[24];
  const auto result = std::to_chars(buf, buf + sizeof buf, value);
  AppendRightAligned(out, std::string_view(buf, static_cast<std::size_t>(result.ptr - buf)), width);
}

void AppendDBaseFixed(std::string& out, double value, int width, int decimals) {
  if (!std::isfinite(value) || decimals < 0) return AppendStars(out, width);
  // The largest double has 309 integer digits; a dBase field has at most a few dozen decimals.
  char buf[400];
  const auto result =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc{}) return AppendStars(out, width);
  AppendRightAligned(out, std::string_view(buf, static_cast<std::size_t>(result.ptr - buf)), width);
}

std::string FormatDBaseInteger(std::int64_t value, int width) {
  std::string field;
  AppendDBaseInteger(field, value, width);
  return field;
}

std::string FormatDBaseFixed(double value, int width, int decimals) {
  std::string field;
  AppendDBaseFixed(field, value, width, decimals);
  return field;
}

}  // namespace qv
