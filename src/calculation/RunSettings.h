// What the dialog decides for a run: the tree model, the area limits and the naming of the
// height-model files. Plain values, set field by field when Calculate is pressed and read by
// the tile pass, the row pass, the compaction and the elimination, each taking the piece it needs.
#pragma once

#include <cstdint>
#include <string>

#include "calculation/RowPassContext.h"
#include "calculation/SmallAreaElimination.h"
#include "calculation/Tile.h"

namespace qv {

// How the tile files are named and read. PrepareDirectories (ResultPaths.h) settles NhmDir and
// NhmFileExt; the tiles' names are NhmPath (a path of the run) + these parts.
struct TNhmFileSettings {
  std::uint8_t NhmFiletype = NhmAsciiGrid;
  std::string NhmDir;  // relative to the parent of the shapefile's directory
  std::string NhmPrefix;
  std::string NhmSeparator;
  std::string NhmSuffix;
  std::string NhmFileExt;  // ".hdr" for float grids

  bool FiletypeKnown() const { return NhmFiletype == NhmAsciiGrid || NhmFiletype == NhmFloatGrid; }
  TNhmNaming Naming(const std::string& nhmPath) const {
    return {nhmPath, NhmPrefix, NhmSeparator, NhmSuffix, NhmFileExt};
  }
};

struct TRunSettings {
  TTreeParameters Tree;
  // One object for the row pass's hole decisions, the compaction and the elimination, so they
  // can never judge a hole by different limits.
  TAreaLimits Limits;
  TNhmFileSettings Files;
  double LayoutVersion = 3.3;  // from the host; above 9.0 the layers go to "Output"
};

}  // namespace qv
