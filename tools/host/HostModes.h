// What both host programs (Linux and Windows) do alike around a command: the modes that do not
// calculate, the shapefile path as a GIS host would pass it, the batch run and its report.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "HostCommandLine.h"

namespace qv::host {

inline constexpr int ExitDone = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// Help, the clean-up of temporary layers and the demo, carried out: the exit code. Nothing for
// a command that runs the calculation.
std::optional<int> RunOtherMode(const THostCommand& command, std::string_view usage);

// A GIS host always passes a full path; a relative one would put the settings and the layers
// into the root directory.
std::string HostShapefilePath(const std::string& path);

// A command-line mistake on standard error, one line: ExitUsage.
int UsageError(std::string_view problem);

// The batch view on the command's extent and shapefile, progress on standard error. An edit that
// cannot be made, or a number typed by one that Calculate would refuse, ends the command before
// the dialog runs (UsageError). Otherwise the run is reported (ReportRun).
int RunBatch(const THostCommand& command, const std::string& shapefile);

// The summary of a completed run and "quelvaris returned N" on standard output: ExitDone.
int ReportRun(std::int32_t result, const TRunReport& report,
              std::chrono::steady_clock::time_point started);

}  // namespace qv::host
