// Conversion between UTF-8 and Windows Latin-1 (code page 1252), the 8-bit character set of
// the Windows build's texts.
//
// Code page 1252 is ISO Latin-1 with printable characters (euro sign, typographic quotes,
// dashes ...) in place of most C1 controls at 0x80-0x9F. The five bytes that 1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as
// Windows itself does, so every byte string survives a round trip through UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace qv {

// Each character that code page 1252 has becomes its byte; any other character, and every
// malformed UTF-8 sequence (stray continuation byte, truncated, overlong, surrogate, beyond
// U+10FFFF), becomes one '?'. A malformed sequence never swallows the character after it.
std::string Utf8ToLatin1(std::string_view utf8);

// Each byte becomes its character in UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);

}  // namespace qv
