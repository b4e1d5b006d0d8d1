#include "dialog/ConsoleOutput.h"

#include <charconv>
#include <string>

#include "catalogue/Languages.h"

namespace qv {

namespace {

// Reads what Format put in for a "%d" (blanks of a width, a sign, digits) at pos.
std::optional<std::int64_t> ReadNumber(std::string_view text, std::size_t& pos) {
  while (pos < text.size() && text[pos] == ' ') ++pos;
  std::int64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
  if (ec != std::errc()) return std::nullopt;
  pos = static_cast<std::size_t>(end - text.data());
  return value;
}

// The placeholder at pattern[pos] ('%' seen): its length, and whether it is "%[width]d".
std::size_t PlaceholderLength(std::string_view pattern, std::size_t pos, bool& isNumber) {
  std::size_t end = pos + 1;
  while (end < pattern.size() && pattern[end] >= '0' && pattern[end] <= '9') ++end;
  isNumber = end < pattern.size() && pattern[end] == 'd';
  return isNumber ? end + 1 - pos : 1;
}

std::string WithLineBreaks(std::string_view text) {
  std::string lines(text);
  for (char& c : lines) {
    if (c == '\r') c = '\n';
  }
  return lines;
}

}  // namespace

std::optional<TTileProgress> ParseTileProgress(std::string_view text, std::string_view pattern) {
  std::int64_t numbers[3] = {};
  int count = 0;
  std::size_t t = 0;
  for (std::size_t p = 0; p < pattern.size();) {
    bool isNumber = false;
    const std::size_t length =
        pattern[p] == '%' ? PlaceholderLength(pattern, p, isNumber) : std::size_t{0};
    if (isNumber) {
      const auto value = ReadNumber(text, t);
      if (!value || count == 3) return std::nullopt;
      numbers[count++] = *value;
      p += length;
      continue;
    }
    // A literal character, or "%%" standing for one '%'.
    if (pattern[p] == '%' && p + 1 < pattern.size() && pattern[p + 1] == '%') ++p;
    if (t >= text.size() || text[t] != pattern[p]) return std::nullopt;
    ++t;
    ++p;
  }
  if (t != text.size() || count != 3) return std::nullopt;
  return TTileProgress{numbers[0], numbers[1], numbers[2]};
}

TConsoleOutput::~TConsoleOutput() {
  try {
    Finish();
  } catch (...) {
    // A stream that throws at the end must not take the run with it.
  }
}

void TConsoleOutput::Message(std::string_view text) {
  Finish();
  out_ << WithLineBreaks(text) << '\n' << std::flush;
}

void TConsoleOutput::Prompt(std::string_view title, std::string_view text,
                            std::string_view answer) {
  Finish();
  out_ << title << ": " << WithLineBreaks(text) << " -> " << answer << '\n' << std::flush;
}

void TConsoleOutput::Status(std::string_view text) {
  if (style_ == TProgressStyle::None) return;
  if (style_ == TProgressStyle::InPlace) {
    // Back to the line's start, the text, and the rest of the old text erased.
    out_ << '\r' << text << "\x1b[K" << std::flush;
    lineOpen_ = true;
    return;
  }
  const auto progress = ParseTileProgress(text, Msg(msgTileProgress));
  if (progress) {
    if (lastTile_ == progress->Tile) return;
    lastTile_ = progress->Tile;
  }
  out_ << text << '\n' << std::flush;
}

void TConsoleOutput::Finish() {
  if (!lineOpen_) return;
  lineOpen_ = false;
  out_ << '\n' << std::flush;
}

}  // namespace qv
