#include "HostModes.h"

#include <filesystem>
#include <iostream>

#include "Deliver.h"
#include "Demo.h"
#include "EventStream.h"
#include "ShareMode.h"
#include "RunSummary.h"
#include "Terminal.h"
#include "TileLayout.h"
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
    case THostMode::Deliver:
      return RunDeliver(command.Path, command.Target, std::cout, std::cerr);
    case THostMode::Demo:
      return RunDemo(command.Path, ProgressStyleForStandardError(), std::cout, std::cerr);
    case THostMode::Catalogue:
      WriteCatalogue(std::cout);
      return ExitDone;
    case THostMode::Tiles:
      return PrintTileLayout(command, std::cout, std::cerr);
    case THostMode::Share:
      return RunShare(command.ShareFiles, command.Events, std::cout, std::cerr);
    case THostMode::Run:
      break;
  }
  return std::nullopt;
}

int Failure(std::string_view problem, TEventStream* events) noexcept {
  try {
    std::cerr << "quelvaris-host: " << problem << "\n";
    if (events != nullptr) events->Failure(problem);
  } catch (...) {
    // The exit code still says it.
  }
  return ExitFailure;
}

}  // namespace

int HostMain(std::span<const std::string_view> args, std::string_view usage,
             const std::function<int(const THostCommand&, const std::string&)>& runCalculation) {
  TEventStream stream(std::cout);
  TEventStream* events = WantsEvents(args) ? &stream : nullptr;
  try {
    THostCommand command;
    try {
      command = ParseHostCommandLine(args);
    } catch (const EUsageError& e) {
      return UsageError(e.what(), events);
    }
    if (const auto done = RunOtherMode(command, usage)) return *done;
    // A GIS host always passes a full path; a relative one would put the settings and the
    // layers into the root directory.
    const auto shapefile = std::filesystem::absolute(command.Path).lexically_normal().string();
    return runCalculation(command, shapefile);
  } catch (const std::exception& e) {
    return Failure(e.what(), events);
  } catch (...) {
    return Failure("unexpected failure", events);
  }
}

int UsageError(std::string_view problem, TEventStream* events) {
  std::cerr << "quelvaris-host: " << problem << " (try --help)\n";
  if (events != nullptr) events->Usage(problem);
  return ExitUsage;
}

int RunBatch(const THostCommand& command, const std::string& shapefile) {
  const auto started = std::chrono::steady_clock::now();
  TBatchOptions options = command.Options;
  options.Progress = ProgressStyleForStandardError();
  TRunReport report;
  options.Report = &report;
  TEventStream stream(std::cout);
  TEventStream* events = command.Events ? &stream : nullptr;
  options.Observer = events;
  const auto& c = command;
  if (const auto refusal =
          CheckBatchEdits(c.XMin, c.XMax, c.YMin, c.YMax, shapefile.c_str(), options)) {
    std::cerr << "quelvaris-host: " << *refusal << "\n";
    if (events != nullptr) events->Usage(*refusal);
    return ExitUsage;
  }
  const std::int32_t result =
      RunQuelvaris(c.XMin, c.XMax, c.YMin, c.YMax, shapefile.c_str(), options);
  return ReportRun(result, report, started, events);
}

int ReportRun(std::int32_t result, const TRunReport& report,
              std::chrono::steady_clock::time_point started, TEventStream* events) {
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
  if (result >= 1 && result <= 4) {
    const TRunFigures figures = CollectRunFigures(result, report, elapsed.count());
    if (events != nullptr) {
      events->Summary(figures);
    } else {
      PrintRunSummary(std::cout, figures);
    }
  }
  if (events != nullptr) {
    events->Result(result);
  } else {
    std::cout << "quelvaris returned " << result << "\n";
  }
  return ExitDone;
}

}  // namespace qv::host
