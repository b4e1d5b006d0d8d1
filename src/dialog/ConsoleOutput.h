// What a dialog without windows shows on a text stream (standard error): the texts of message
// boxes and prompts, and the progress texts of the status bar.
//
// On a terminal the progress is one line rewritten in place; elsewhere (a log file, a pipe) it
// is printed sparsely: the first text of each tile and every text that is not a tile's
// progress (the last ones of a run). A message box first ends an open progress line.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

namespace qv {

enum class TProgressStyle { None, Sparse, InPlace };

struct TTileProgress {
  std::int64_t Tile = 0;
  std::int64_t Line = 0;
  std::int64_t Percent = 0;
};

// Reads a status text back as the tile progress it was formatted from with pattern (the
// catalogue's "Tile %d line %d, %d%%" in the run's language); nothing for any other text.
std::optional<TTileProgress> ParseTileProgress(std::string_view text, std::string_view pattern);

class TConsoleOutput {
 public:
  TConsoleOutput(std::ostream& out, TProgressStyle style) : out_(out), style_(style) {}
  ~TConsoleOutput();
  TConsoleOutput(const TConsoleOutput&) = delete;
  TConsoleOutput& operator=(const TConsoleOutput&) = delete;

  // A message box's text; carriage returns break its lines.
  void Message(std::string_view text);
  // A prompt: its title and text, and the answer given.
  void Prompt(std::string_view title, std::string_view text, std::string_view answer);
  // A status-bar text.
  void Status(std::string_view text);
  // Ends an open progress line.
  void Finish();

 private:
  std::ostream& out_;
  TProgressStyle style_;
  bool lineOpen_ = false;
  std::optional<std::int64_t> lastTile_;
};

}  // namespace qv
