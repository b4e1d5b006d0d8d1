// quelvaris-host: runs from a shell what a GIS host runs through the library's exports.
//
// It links the same core as libquelvaris32.so and calls what the export quelvaris calls, with
// the batch view: the dialog set up, the --set edits typed in, Calculate (or Cancel) pressed.
#include <filesystem>
#include <iostream>
#include <string_view>
#include <vector>

#include "Demo.h"
#include "HostCommandLine.h"
#include "Terminal.h"
#include "dialog/Run.h"
#include "shapefile/TempFiles.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int Run(const qv::host::THostCommand& command) {
  using qv::host::THostMode;
  switch (command.Mode) {
    case THostMode::Help:
      std::cout << qv::host::HostUsageText();
      return kExitDone;
    case THostMode::DeleteTempFiles:
      std::cout << "delete_temp_files returned " << qv::DeleteTempFiles(command.Path.c_str())
                << "\n";
      return kExitDone;
    case THostMode::Demo:
      return qv::host::RunDemo(command.Path, qv::host::ProgressStyleForStandardError(), std::cout,
                               std::cerr);
    case THostMode::Run:
      break;
  }
  // A GIS host always passes a full path; a relative one would put the settings and the
  // layers into the root directory.
  const std::string shapefile =
      std::filesystem::absolute(command.Path).lexically_normal().string();
  qv::TBatchOptions options = command.Options;
  options.Progress = qv::host::ProgressStyleForStandardError();
  const std::int32_t result = qv::RunQuelvaris(command.XMin, command.XMax, command.YMin,
                                               command.YMax, shapefile.c_str(), options);
  std::cout << "quelvaris returned " << result << "\n";
  return kExitDone;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    qv::host::THostCommand command;
    try {
      command = qv::host::ParseHostCommandLine(args);
    } catch (const qv::host::EUsageError& e) {
      std::cerr << "quelvaris-host: " << e.what() << "\n\n" << qv::host::HostUsageText();
      return kExitUsage;
    }
    return Run(command);
  } catch (const std::exception& e) {
    std::cerr << "quelvaris-host: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "quelvaris-host: unexpected failure\n";
  }
  return kExitFailure;
}
