#include "HostModes.h"

#include <filesystem>
#include <iostream>

#include "Demo.h"
#include "Terminal.h"
#include "dialog/Run.h"
#include "shapefile/TempFiles.h"

namespace qv::host {

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
    case THostMode::Run:
      break;
  }
  return std::nullopt;
}

std::string HostShapefilePath(const std::string& path) {
  return std::filesystem::absolute(path).lexically_normal().string();
}

std::int32_t RunBatch(const THostCommand& command, const std::string& shapefile) {
  TBatchOptions options = command.Options;
  options.Progress = ProgressStyleForStandardError();
  return RunQuelvaris(command.XMin, command.XMax, command.YMin, command.YMax, shapefile.c_str(),
                      options);
}

}  // namespace qv::host
