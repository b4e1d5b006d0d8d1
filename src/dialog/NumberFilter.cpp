// The filter of a numeric field that accepts no other characters.
//
// Separators are matched as whole strings, since a group separator may take several bytes in
// UTF-8; every other byte that is not a digit or a minus sign goes. A separator's bytes can
// never start inside another UTF-8 character, so matching byte by byte is safe.
#include <algorithm>

#include "dialog/NumberText.h"

namespace qv {

namespace {

// Bytes of the character that starts at Pos: a whole UTF-8 sequence on POSIX, one byte in the
// 8-bit code page of Windows.
std::size_t CharLength(std::string_view text, std::size_t pos) {
#ifdef _WIN32
  (void)text;
  (void)pos;
  return 1;
#else
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 1;
  if (lead >= 0xF0)
    length = 4;
  else if (lead >= 0xE0)
    length = 3;
  else if (lead >= 0xC0)
    length = 2;
  return std::min(length, text.size() - pos);
#endif
}

bool StartsAt(std::string_view text, std::size_t pos, std::string_view what) {
  return !what.empty() && text.substr(pos, what.size()) == what;
}

// Text cut after the Digits-th character behind the decimal separator at Separator.
std::string_view CutDecimals(std::string_view text, std::size_t separator,
                             std::size_t separatorLength, int digits) {
  if (digits <= 0 || separator == std::string_view::npos) return text;
  auto end = separator + separatorLength;
  for (int k = 0; k < digits && end < text.size(); ++k) end += CharLength(text, end);
  return text.substr(0, end);
}

}  // namespace

TFilteredText FilterNumberText(std::string_view text, std::size_t caret, int digits,
                               const TNumberFormat& numberFormat) {
  const std::string_view decimal = numberFormat.DecimalSeparator;
  const std::string_view group =
      numberFormat.GroupSeparator == decimal ? std::string_view() : numberFormat.GroupSeparator;
  const auto lastDecimal = decimal.empty() ? std::string_view::npos : text.rfind(decimal);
  const std::string_view kept = CutDecimals(text, lastDecimal, decimal.size(), digits);

  TFilteredText out;
  for (std::size_t i = 0; i < kept.size();) {
    std::size_t length = 1;
    bool keep = false;
    if (StartsAt(kept, i, decimal)) {
      length = decimal.size();
      keep = i == lastDecimal;
    } else if (StartsAt(kept, i, group)) {
      length = group.size();
      keep = true;
    } else {
      keep = (kept[i] >= '0' && kept[i] <= '9') || kept[i] == '-';
    }
    if (keep) {
      out.Text += kept.substr(i, length);
      if (i < caret) out.Caret += std::min(length, caret - i);
    }
    i += length;
  }
  return out;
}

}  // namespace qv
