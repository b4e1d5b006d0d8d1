// quelvaris-host.exe: the host program on Windows.
//
// With --set, --answer, --cancel, --events or --batch it runs the batch view exactly as the
// Linux host does (the dialog as a script, messages on standard error). Without them it loads
// quelvaris32.dll from its own directory and calls the export quelvaris, which shows the real
// dialog: the library can be used, and tried out, without the GIS host.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "HostCommandLine.h"
#include "HostModes.h"
#include "calculation/ResultPaths.h"
#include "dialog/Run.h"
#include "platform/Win32.h"

namespace {

using namespace qv::host;

constexpr std::string_view kBatchOption = "--batch";

using TQuelvaris = std::int32_t(__stdcall*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                            const char*);

std::string UsageText() {
  return HostUsageText() +
         "On Windows a run without --set, --answer, --cancel, --events or --batch shows the\n"
         "dialog of quelvaris32.dll (loaded from this program's directory); --batch runs it\n"
         "without.\n";
}

// The options before "--" that ask for the batch view.
bool WantsBatch(const std::vector<std::string_view>& args) {
  for (const std::string_view arg : args) {
    if (arg == "--") return false;
    if (arg == kBatchOption || arg == "--set" || arg == "--answer" || arg == "--cancel" ||
        arg == "--events")
      return true;
  }
  return false;
}

// The export of the DLL beside this program, as the GIS host's binding calls it. The DLL
// reports only its result; the layers are where its host layout puts them.
int RunThroughLibrary(const THostCommand& command, const std::string& shapefile) {
  const auto started = std::chrono::steady_clock::now();
  char exe[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
  const std::string library =
      (std::filesystem::path(exe).parent_path() / "quelvaris32.dll").string();
  HMODULE module = ::LoadLibraryA(library.c_str());
  if (module == nullptr) throw std::runtime_error("cannot load " + library);
  const auto quelvaris =
      reinterpret_cast<TQuelvaris>(reinterpret_cast<void*>(::GetProcAddress(module, "quelvaris")));
  if (quelvaris == nullptr) throw std::runtime_error(library + " has no export quelvaris");
  const std::int32_t result =
      quelvaris(command.XMin, command.XMax, command.YMin, command.YMax, shapefile.c_str());
  const auto dirs = qv::DeriveRunDirectories(shapefile, "", 0, "", qv::HostLayoutVersion);
  const auto layers = qv::DeriveLayerPaths(shapefile, dirs.OutputDir);
  return ReportRun(result, {layers.WoodedShapePath, layers.CrownShapePath}, started);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string_view> args(argv + 1, argv + argc);
  const bool batch = WantsBatch(args);
  // --batch only chooses the view; the rest is the Linux host's command line.
  if (const auto at = std::find(args.begin(), args.end(), kBatchOption); at != args.end())
    args.erase(at);
  return HostMain(args, UsageText(), batch ? RunBatch : RunThroughLibrary);
}
