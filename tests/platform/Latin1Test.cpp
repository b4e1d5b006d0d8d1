#include <gtest/gtest.h>

#include <string>

#include "dialog/languages/Latin1.h"

namespace qv {
namespace {

TEST(Utf8ToLatin1, keepsAsciiAndControlCharactersAsTheyAre) {
  const std::string text = "Tile %d line %d, %d%%\r\"quoted\"\t";
  EXPECT_EQ(Utf8ToLatin1(text), text);
  EXPECT_EQ(Utf8ToLatin1(""), "");
}

TEST(Utf8ToLatin1, turnsLatin1LettersIntoSingleBytes) {
  EXPECT_EQ(Utf8ToLatin1("Ung\xC3\xBCltige"), "Ung\xFCltige");
  EXPECT_EQ(Utf8ToLatin1("Cr\xC3\xA9" "er \xC3\xA0 \xC3\x84 \xC3\x9F \xC2\xA0"),
            "Cr\xE9" "er \xE0 \xC4 \xDF \xA0");
  EXPECT_EQ(Utf8ToLatin1("\xC3\xBF"), "\xFF");
}

TEST(Utf8ToLatin1, usesTheCodePage1252CharactersBetween0x80And0x9F) {
  EXPECT_EQ(Utf8ToLatin1("\xE2\x82\xAC"), "\x80");  // euro sign
  EXPECT_EQ(Utf8ToLatin1("\xE2\x80\x99"), "\x92");  // right single quotation mark
  EXPECT_EQ(Utf8ToLatin1("\xE2\x80\xA6"), "\x85");  // ellipsis
  EXPECT_EQ(Utf8ToLatin1("\xC5\x93"), "\x9C");      // oe ligature
  EXPECT_EQ(Utf8ToLatin1("\xC5\xB8"), "\x9F");      // Y with diaeresis
  EXPECT_EQ(Utf8ToLatin1("\xE2\x84\xA2"), "\x99");  // trade mark
  // A C1 control that 1252 replaced by a printable character has no byte of its own.
  EXPECT_EQ(Utf8ToLatin1("\xC2\x80"), "?");
}

TEST(Utf8ToLatin1, replacesCharactersOutsideTheCodePageByOneQuestionMark) {
  EXPECT_EQ(Utf8ToLatin1("a\xCE\xA9" "b"), "a?b");          // Greek omega, 2 bytes
  EXPECT_EQ(Utf8ToLatin1("a\xE6\x97\xA5" "b"), "a?b");      // CJK, 3 bytes
  EXPECT_EQ(Utf8ToLatin1("a\xF0\x9F\x98\x80" "b"), "a?b");  // emoji, 4 bytes
}

TEST(Utf8ToLatin1, neverLetsAMalformedSequenceSwallowTheNextCharacter) {
  EXPECT_EQ(Utf8ToLatin1("\x80" "A"), "?A");            // stray continuation byte
  EXPECT_EQ(Utf8ToLatin1("A\xC3"), "A?");               // truncated at the end
  EXPECT_EQ(Utf8ToLatin1("\xC3" "A"), "?A");            // lead byte without continuation
  EXPECT_EQ(Utf8ToLatin1("\xE2\x82" "A"), "?A");        // truncated euro sign
  EXPECT_EQ(Utf8ToLatin1("\xC3\xC3\xA9"), "?\xE9");     // lead byte followed by a lead byte
  EXPECT_EQ(Utf8ToLatin1("\xC0\xAF"), "??");            // overlong slash
  EXPECT_EQ(Utf8ToLatin1("\xE0\x80\xAF"), "???");       // overlong, three bytes
  EXPECT_EQ(Utf8ToLatin1("\xED\xA0\x80"), "???");       // UTF-16 surrogate
  EXPECT_EQ(Utf8ToLatin1("\xF4\x90\x80\x80"), "????");  // beyond U+10FFFF
  EXPECT_EQ(Utf8ToLatin1("\xFF\xFE"), "??");
}

TEST(Latin1ToUtf8, writesEachByteAsItsCharacter) {
  EXPECT_EQ(Latin1ToUtf8("Ung\xFCltige"), "Ung\xC3\xBCltige");
  EXPECT_EQ(Latin1ToUtf8("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(Latin1ToUtf8("\x92"), "\xE2\x80\x99");
  EXPECT_EQ(Latin1ToUtf8("\x81"), "\xC2\x81");  // undefined in 1252: the C1 control
  EXPECT_EQ(Latin1ToUtf8("\xA0\xFF"), "\xC2\xA0\xC3\xBF");
}

TEST(Latin1ToUtf8, roundTripsEveryByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  all += '\0';
  EXPECT_EQ(Utf8ToLatin1(Latin1ToUtf8(all)), all);
}

}  // namespace
}  // namespace qv
