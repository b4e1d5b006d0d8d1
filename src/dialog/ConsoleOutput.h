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

#include "platform/Platform.h"

namespace qv {

enum class TProgressStyle { None, Sparse, InPlace };

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
  // A status-bar text, with its numbers when it is a tile's progress.
  void Status(std::string_view text, const std::optional<TTileProgress>& progress);
  // Ends an open progress line.
  void Finish();

 private:
  std::ostream& out_;
  TProgressStyle style_;
  bool lineOpen_ = false;
  std::optional<std::int64_t> lastTile_;
};

}  // namespace qv
