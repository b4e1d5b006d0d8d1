#include "catalogue/Latin1.h"

#include <array>
#include <cstdint>

namespace qv {

namespace {

// The characters of code page 1252 at 0x80-0x9F. The five undefined bytes keep the C1
// control of their own value.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char kUnmappable = '?';

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// Decodes one character at the start of s. Returns the number of bytes taken (at least one)
// and sets cp, or leaves cp at the invalid marker for a malformed sequence; a malformed
// sequence takes only the bytes that were still plausible, so the next character survives.
std::size_t DecodeOne(std::string_view s, char32_t& cp) {
  constexpr char32_t kInvalid = 0xFFFFFFFF;
  cp = kInvalid;
  const auto lead = static_cast<unsigned char>(s[0]);
  if (lead < 0x80) {
    cp = lead;
    return 1;
  }
  std::size_t need = 0;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
  } else {
    return 1;
  }
  char32_t value = lead & (0x3F >> need);
  for (std::size_t k = 1; k <= need; ++k) {
    if (k >= s.size()) return k;
    const auto b = static_cast<unsigned char>(s[k]);
    const bool ok = k == 1 ? (b >= low && b <= high) : IsContinuation(b);
    if (!ok) return k;
    value = (value << 6) | (b & 0x3F);
  }
  cp = value;
  return need + 1;
}

char ToCodePage1252(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  }
  return kUnmappable;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    // Code page 1252 reaches no further than U+2122.
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string Utf8ToLatin1(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    char32_t cp = 0;
    const auto taken = DecodeOne(utf8, cp);
    out += cp == 0xFFFFFFFF ? kUnmappable : ToCodePage1252(cp);
    utf8.remove_prefix(taken);
  }
  return out;
}

std::string Latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size() * 2);
  for (const char c : latin1) {
    const auto b = static_cast<unsigned char>(c);
    AppendUtf8(out, b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : char32_t{b});
  }
  return out;
}

}  // namespace qv
