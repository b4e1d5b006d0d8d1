// quelvaris-host: runs from a shell what a GIS host runs through the library's exports.
//
// It links the same core as libquelvaris32.so and calls what the export quelvaris calls, with
// the batch view: the dialog set up, the --set edits typed in, Calculate (or Cancel) pressed.
#include <iostream>
#include <string_view>
#include <vector>

#include "HostCommandLine.h"
#include "HostModes.h"

int main(int argc, char** argv) {
  using namespace qv::host;
  try {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    THostCommand command;
    try {
      command = ParseHostCommandLine(args);
    } catch (const EUsageError& e) {
      return UsageError(e.what());
    }
    if (const auto done = RunOtherMode(command, HostUsageText())) return *done;
    return RunBatch(command, HostShapefilePath(command.Path));
  } catch (const std::exception& e) {
    std::cerr << "quelvaris-host: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "quelvaris-host: unexpected failure\n";
  }
  return ExitFailure;
}
