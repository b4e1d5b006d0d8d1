// What both host programs (Linux and Windows) do alike around a command: the modes that do not
// calculate, the shapefile path as a GIS host would pass it, and the batch run.
#pragma once

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

// The batch view on the command's extent and shapefile, progress on standard error.
std::int32_t RunBatch(const THostCommand& command, const std::string& shapefile);

}  // namespace qv::host
