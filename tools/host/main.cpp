// quelvaris-host: runs from a shell what a GIS host runs through the library's exports.
//
// It links the same core as libquelvaris32.so and calls what the export quelvaris calls, with
// the batch view: the dialog set up, the --set edits typed in, Calculate (or Cancel) pressed.
#include <string_view>
#include <vector>

#include "HostModes.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  return qv::host::HostMain(args, qv::host::HostUsageText(), qv::host::RunBatch);
}
