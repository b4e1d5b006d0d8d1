#include "HostModes.h"

#include <filesystem>
#include <iostream>

#include "Demo.h"
#include "ShareMode.h"
#include "RunSummary.h"
#include "Terminal.h"
#include "dialog/Run.h"
#include "shapefile/TempFiles.h"

namespace qv::host {

namespace {

// Help, the clean-up of temporary layers and the demo, carried out: the exit code. Nothing for
// a command that runs the calculation.
std::optional<int> RunOtherMode(const THostCommand& command, std::string_view usage) {
  switch (command.Mode) {
    case THostMode::Help:
      std::cout << usage;
      return ExitDone;
    case THostMode::DeleteTempFiles:
      std::cout << "delete_temp_files returned " << DeleteTempFiles(command.Path.c_str()) << "\n";
      return ExitDone;
    case THostMode::Demo:
      return RunDemo(command.Path, ProgressStyleForStandardError(), std::cout, std::cerr);
    case THostMode::Share:
      return RunShare(command.ShareFiles, std::cerr);
    case THostMode::Run:
      break;
  }
  return std::nullopt;
}

}  // namespace

int HostMain(std::span<const std::string_view> args, std::string_view usage,
             const std::function<int(const THostCommand&, const std::string&)>& runCalculation) {
  try {
    THostCommand command;
    try {
      command = ParseHostCommandLine(args);
    } catch (const EUsageError& e) {
      return UsageError(e.what());
    }
    if (const auto done = RunOtherMode(command, usage)) return *done;
    // A GIS host always passes a full path; a relative one would put the settings and the
    // layers into the root directory.
    const auto shapefile = std::filesystem::absolute(command.Path).lexically_normal().string();
    return runCalculation(command, shapefile);
  } catch (const std::exception& e) {
    std::cerr << "quelvaris-host: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "quelvaris-host: unexpected failure\n";
  }
  return ExitFailure;
}

int UsageError(std::string_view problem) {
  std::cerr << "quelvaris-host: " << problem << " (try --help)\n";
  return ExitUsage;
}

int RunBatch(const THostCommand& command, const std::string& shapefile) {
  const auto started = std::chrono::steady_clock::now();
  TBatchOptions options = command.Options;
  options.Progress = ProgressStyleForStandardError();
  TRunReport report;
  options.Report = &report;
  const auto& c = command;
  if (const auto refusal =
          CheckBatchEdits(c.XMin, c.XMax, c.YMin, c.YMax, shapefile.c_str(), options)) {
    std::cerr << "quelvaris-host: " << *refusal << "\n";
    return ExitUsage;
  }
  const std::int32_t result =
      RunQuelvaris(c.XMin, c.XMax, c.YMin, c.YMax, shapefile.c_str(), options);
  return ReportRun(result, report, started);
}

int ReportRun(std::int32_t result, const TRunReport& report,
              std::chrono::steady_clock::time_point started) {
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
  PrintRunSummary(std::cout, result, report, elapsed.count());
  std::cout << "quelvaris returned " << result << "\n";
  return ExitDone;
}

}  // namespace qv::host
