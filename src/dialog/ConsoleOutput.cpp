#include "dialog/ConsoleOutput.h"

#include <string>

namespace qv {

namespace {

std::string WithLineBreaks(std::string_view text) {
  std::string lines(text);
  for (char& c : lines) {
    if (c == '\r') c = '\n';
  }
  return lines;
}

}  // namespace

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

void TConsoleOutput::Status(std::string_view text,
                            const std::optional<TTileProgress>& progress) {
  if (style_ == TProgressStyle::None) return;
  if (style_ == TProgressStyle::InPlace) {
    // Back to the line's start, the text, and the rest of the old text erased.
    out_ << '\r' << text << "\x1b[K" << std::flush;
    lineOpen_ = true;
    return;
  }
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
