#include "Json.h"

#include <charconv>
#include <cmath>

#include "catalogue/Latin1.h"
#include "catalogue/MessageCatalogue.h"

namespace qv::host {

namespace {

// The length of the well-formed UTF-8 character at text[i], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  }
  if (length == 0 || i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = i + 2; k < i + length; ++k) {
    if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
  }
  return length;
}

void AppendEscaped(std::string& out, char c) {
  static constexpr char kHex[] = "0123456789abcdef";
  switch (c) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
  }
  const auto u = static_cast<unsigned char>(c);
  if (u < 0x20 || u == 0x7F) {
    out += "\\u00";
    out += kHex[u >> 4];
    out += kHex[u & 0xF];
  } else {
    out += c;
  }
}

}  // namespace

std::string JsonString(std::string_view text) {
  if constexpr (NativeTextEncoding == TTextEncoding::Windows1252) {
    return JsonUtf8(Latin1ToUtf8(text));
  } else {
    return JsonUtf8(text);
  }
}

std::string JsonUtf8(std::string_view utf8) {
  std::string out = "\"";
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      AppendEscaped(out, utf8[i++]);
      continue;
    }
    const std::size_t length = Utf8Length(utf8, i);
    if (length == 0) {
      out += "\xEF\xBF\xBD";  // U+FFFD for the stray byte, and on with the next
      ++i;
    } else {
      out.append(utf8, i, length);
      i += length;
    }
  }
  return out + "\"";
}

TJsonObject& TJsonObject::Key(std::string_view key) {
  if (!members_.empty()) members_ += ',';
  members_ += JsonString(key) + ':';
  return *this;
}

TJsonObject& TJsonObject::String(std::string_view key, std::string_view value) {
  Key(key).members_ += JsonString(value);
  return *this;
}

TJsonObject& TJsonObject::OptionalString(std::string_view key,
                                         std::optional<std::string_view> value) {
  return value && !value->empty() ? String(key, *value) : Raw(key, "null");
}

TJsonObject& TJsonObject::Integer(std::string_view key, std::int64_t value) {
  return Raw(key, std::to_string(value));
}

TJsonObject& TJsonObject::Decimal(std::string_view key, double value, int decimals) {
  if (!std::isfinite(value)) return Raw(key, "null");
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return Raw(key, "null");
  return Raw(key, std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

TJsonObject& TJsonObject::Boolean(std::string_view key, bool value) {
  return Raw(key, value ? "true" : "false");
}

TJsonObject& TJsonObject::Raw(std::string_view key, std::string_view value) {
  Key(key).members_ += value;
  return *this;
}

}  // namespace qv::host
