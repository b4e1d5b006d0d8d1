// The nhmgen command line: options into a BlockRequest, and the run of the program.
#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

#include "nhmgen/NhmGenerator.h"

namespace qv::nhmgen {

struct CommandLine {
  BlockRequest Request;
  bool PrintStatistics = false;
  bool Help = false;
};

// `args` without the program name. Throws std::invalid_argument naming the offending option.
CommandLine ParseCommandLine(std::span<const std::string_view> args);

std::string UsageText();

// "high share: 40.12 %" and the like, one figure a line.
std::string FormatStatistics(const NhmStatistics& stats, std::size_t tiles);

// The whole program: 0 done, 1 writing failed, 2 bad command line (with the usage text).
int RunCommandLine(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

}  // namespace qv::nhmgen
