// The layers of a run written as one: both in place, or neither changed.
//
// Every layer is checked first (no polygons, nothing that can be written, too large for the
// format), so a layer that cannot be written is refused before any file is created. Then all
// are written under temporary names and swapped in together (TFileSetReplacement). A layer
// without polygons is not written at all: files of its name from an earlier run stay.
//
// The user is told, as the writer always has: "There are no polygons" for an empty layer, the
// write error with the path of the layer that failed, and for a layer that cannot fit the
// format why, and what to change.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "shapefile/ShapeFile.h"

namespace qv {

struct TLayerToSave {
  const TRecordSource& Source;
  std::string Path;  // ends in ".shp"
};

// One result per layer, in order. Written is true for every layer with polygons when the swap
// succeeded, and false for all of them otherwise.
std::vector<TShapeWriteResult> SaveLayers(std::span<const TLayerToSave> layers);

// What every write does first: what killed runs left beside these layers is put right (their
// swaps undone, their files removed). False when that failed.
bool RecoverLayers(std::span<const std::string> layerPaths);

}  // namespace qv
