// Fills the placeholders of a catalogue text: "%d" (optionally with a width, "%4d", padded
// with blanks on the left), "%s" and "%%". Unlike printf it never reads past its arguments: a
// placeholder without an argument stays as written, extra arguments are ignored.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace qv {

using TFormatArg = std::variant<std::int64_t, std::string_view>;

std::string Format(std::string_view pattern, std::initializer_list<TFormatArg> args);
std::string FormatArgs(std::string_view pattern, std::span<const TFormatArg> args);

}  // namespace qv
