#include <gtest/gtest.h>

#include <string>

#include "catalogue/Latin1.h"

namespace qv {
namespace {

TEST(Utf8ToLatin1, givesTheCodePage1252ByteOrOneQuestionMarkPerCharacter) {
  const std::pair<const char*, const char*> cases[] = {
      {"Tile %d line %d, %d%%\r\"quoted\"\t", "Tile %d line %d, %d%%\r\"quoted\"\t"},
      {"", ""},
      {"Cr\xC3\xA9" "er \xC3\xA0 \xC3\x84 \xC3\x9F \xC2\xA0 \xC3\xBF", "Cr\xE9" "er \xE0 \xC4 \xDF \xA0 \xFF"},
      {"\xE2\x82\xAC\xE2\x80\x99\xE2\x80\xA6\xC5\x93\xC5\xB8\xE2\x84\xA2", "\x80\x92\x85\x9C\x9F\x99"},
      {"\xC2\x80", "?"},  // a C1 control that 1252 replaced by a printable character
      {"a\xCE\xA9" "b\xEF\xBF\xBD" "c\xF0\x9F\x98\x80", "a?b?c?"},  // 2, 3 (U+FFFD) and 4 bytes
      // A malformed sequence never swallows the next character.
      {"\x80" "A", "?A"},                // stray continuation byte
      {"A\xC3", "A?"},                   // truncated at the end
      {"\xC3" "A", "?A"},                // lead byte without continuation
      {"\xE2\x82" "A", "?A"},            // truncated euro sign
      {"\xC3\xC3\xA9", "?\xE9"},         // lead byte followed by a lead byte
      {"\xC0\xAF", "??"},                // overlong slash
      {"\xE0\x80\xAF", "???"},           // overlong, three bytes
      {"\xED\xA0\x80", "???"},           // UTF-16 surrogate
      {"\xF4\x90\x80\x80", "????"},      // beyond U+10FFFF
      {"\xFF\xFE", "??"},
  };
  for (const auto& [utf8, latin1] : cases) EXPECT_EQ(Utf8ToLatin1(utf8), latin1) << utf8;
}

TEST(Latin1ToUtf8, writesEachByteAsItsCharacterAndRoundTrips) {
  EXPECT_EQ(Latin1ToUtf8("Ung\xFCltige\x80\x92"), "Ung\xC3\xBCltige\xE2\x82\xAC\xE2\x80\x99");
  EXPECT_EQ(Latin1ToUtf8("\x81"), "\xC2\x81");  // undefined in 1252: the C1 control
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  all += '\0';
  EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8(all)), all);
}

}  // namespace
}  // namespace qv
