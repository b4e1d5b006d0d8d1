#include "platform/Format.h"

#include <charconv>
#include <vector>

namespace qv {

std::string Format(std::string_view pattern, std::initializer_list<TFormatArg> args) {
  return FormatArgs(pattern, {args.begin(), args.size()});
}

std::string FormatArgs(std::string_view pattern, std::span<const TFormatArg> args) {
  std::string out;
  out.reserve(pattern.size() + 16);
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c != '%' || i + 1 >= pattern.size()) {
      out += c;
      continue;
    }
    if (pattern[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    // Optional width, then the conversion letter.
    std::size_t j = i + 1;
    int width = 0;
    while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && width < 1000) {
      width = width * 10 + (pattern[j] - '0');
      ++j;
    }
    if (j >= pattern.size() || (pattern[j] != 'd' && pattern[j] != 's') || next == args.end()) {
      out += c;
      continue;
    }
    std::string text;
    if (pattern[j] == 'd') {
      char buf[24];
      std::int64_t value = 0;
      if (const auto* n = std::get_if<std::int64_t>(&*next)) value = *n;
      const auto res = std::to_chars(buf, buf + sizeof buf, value);
      text.assign(buf, res.ptr);
    } else if (const auto* s = std::get_if<std::string_view>(&*next)) {
      text = *s;
    }
    ++next;
    if (static_cast<int>(text.size()) < width) out.append(width - text.size(), ' ');
    out += text;
    i = j;
  }
  return out;
}

}  // namespace qv
