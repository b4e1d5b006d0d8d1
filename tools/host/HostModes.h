// What both host programs (Linux and Windows) do alike around a command: the modes that do not
// calculate, the shapefile path as a GIS host would pass it, the batch run and its report.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "HostCommandLine.h"

namespace qv::host {

inline constexpr int ExitDone = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

// The whole program around a command line (without the program name): a mistake in it is
// reported (UsageError), help, the clean-up of temporary layers and the demo are carried out,
// and a run goes to runCalculation with the shapefile made absolute. Any exception ends as one
// line on standard error and ExitFailure. Returns the exit code.
int HostMain(std::span<const std::string_view> args, std::string_view usage,
             const std::function<int(const THostCommand&, const std::string& shapefile)>&
                 runCalculation);

class TEventStream;

// A command-line mistake on standard error, one line, and as an event when events are asked
// for: ExitUsage.
int UsageError(std::string_view problem, TEventStream* events = nullptr);

// The batch view on the command's extent and shapefile, progress on standard error. An edit that
// cannot be made, or a number typed by one that Calculate would refuse, ends the command before
// the dialog runs (UsageError). Otherwise the run is reported (ReportRun).
int RunBatch(const THostCommand& command, const std::string& shapefile);

// The summary of a completed run and "quelvaris returned N" on standard output, or their events:
// ExitDone.
int ReportRun(std::int32_t result, const TRunReport& report,
              std::chrono::steady_clock::time_point started, TEventStream* events = nullptr);

}  // namespace qv::host
