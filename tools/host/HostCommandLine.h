// The command line of quelvaris-host, the program that stands in for the GIS host.
//
//   quelvaris-host [--set NAME=TEXT]... [--answer yes|no] [--cancel] [--events]
//                  XMIN XMAX YMIN YMAX SHAPEFILE
//   quelvaris-host --delete-temp-files PATH
//   quelvaris-host --catalogue
//   quelvaris-host --deliver SOURCE TARGET
//   quelvaris-host demo [DIR]
//   quelvaris-host --tiles [--set NAME=TEXT]... XMIN XMAX YMIN YMAX [SHAPEFILE]
//   quelvaris-host --share [--events] PARCELS WOODS CROWNS TABLE
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/BatchView.h"

namespace qv::host {

enum class THostMode { Run, DeleteTempFiles, Deliver, Demo, Help, Catalogue, Tiles, Share };

struct THostCommand {
  THostMode Mode = THostMode::Run;
  std::int32_t XMin = 0;
  std::int32_t XMax = 0;
  std::int32_t YMin = 0;
  std::int32_t YMax = 0;
  // the shapefile (Run, Tiles: may be empty), the temporary layers' path, or the demo directory
  std::string Path;
  std::string Target;  // where --deliver puts the layer at Path
  TBatchOptions Options;
  bool Events = false;  // the run (or the share) told as JSON events on standard output
  std::vector<std::string> ShareFiles;  // --share: parcels, woods, crowns, table
};

inline constexpr std::string_view DefaultDemoDirectory = "build/demo";

class EUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `args` without the program name. Throws EUsageError naming what is wrong.
THostCommand ParseHostCommandLine(std::span<const std::string_view> args);

// Whether the command line asks for events, even one that ParseHostCommandLine refuses: the
// refusal is then an event too.
bool WantsEvents(std::span<const std::string_view> args);

std::string HostUsageText();

}  // namespace qv::host
