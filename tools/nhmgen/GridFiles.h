// Writing tile windows as ESRI ASCII grids or as binary float grids (.hdr + .flt).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "nhmgen/Statistics.h"
#include "nhmgen/TileGrid.h"

namespace qv::nhmgen {

enum class GridFormat { Ascii, Flt };

// Writes the window of one tile: the ASCII grid at `path`, or for Flt the pair
// WithExtension(path, ".hdr") and WithExtension(path, ".flt"). Appends the paths written to
// `written` and returns the statistics of the values. Throws std::runtime_error when a file
// cannot be written; a partly written file is removed.
NhmStatistics WriteTileFiles(std::uint64_t seed, TileId tile, const DataWindow& window,
                             GridFormat format, const std::string& path,
                             std::vector<std::string>& written, Frame frame = Frame::LV03);

}  // namespace qv::nhmgen
