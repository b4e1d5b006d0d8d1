// One JSON object on one line, for the host program's event stream and catalogue.
//
// Strings come in the library's own character set (UTF-8 on POSIX, Windows-1252 on Windows,
// where the command line and the paths are 8-bit too) and always leave as valid UTF-8: a byte
// that is no part of a UTF-8 character (a path may hold any) becomes U+FFFD. Numbers are
// written without the locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv::host {

// text in the library's character set as a JSON string, quotes included.
std::string JsonString(std::string_view text);
// The same for a text that is UTF-8 on every build (the catalogue's source texts).
std::string JsonUtf8(std::string_view utf8);

class TJsonObject {
 public:
  TJsonObject& String(std::string_view key, std::string_view value);
  // null for nothing; an empty identifier is nothing too, for callers that have one.
  TJsonObject& OptionalString(std::string_view key, std::optional<std::string_view> value);
  TJsonObject& Integer(std::string_view key, std::int64_t value);
  // Fixed with the given decimals; null for a value that is not finite.
  TJsonObject& Decimal(std::string_view key, double value, int decimals);
  TJsonObject& Boolean(std::string_view key, bool value);
  // value already JSON (an array or an object).
  TJsonObject& Raw(std::string_view key, std::string_view value);

  // The object, braces included.
  std::string Text() const { return "{" + members_ + "}"; }

 private:
  TJsonObject& Key(std::string_view key);
  std::string members_;
};

}  // namespace qv::host
