// The computation object of one dialog's life: the dialog's handle on its runs. It holds the
// host's extent and the tiles laid over it, and owns the parts a run is made of, each plain and
// with one job: the settings the dialog hands over (Settings), the paths derived from the host's
// shapefile (Paths) and the containers of the run in progress (State). The tile pass, the row
// pass, the compaction and the elimination each take the parts they use, never this object.
#pragma once

#include <cstdint>
#include <string>

#include "calculation/ResultPaths.h"
#include "calculation/RunSettings.h"
#include "calculation/RunState.h"
#include "calculation/TilePass.h"
#include "calculation/Tiles.h"
#include "geometry/Rect.h"
#include "platform/Platform.h"

namespace qv {

class TWoodedAreaCalculation {
 public:
  TWoodedAreaCalculation() = default;
  TWoodedAreaCalculation(const TWoodedAreaCalculation&) = delete;
  TWoodedAreaCalculation& operator=(const TWoodedAreaCalculation&) = delete;

  // Lays out the tiles covering the extent; returns their number (0 and LayoutReady false when
  // the extent cannot be laid out).
  std::int32_t SetExtent(double xMin, double yMax, double xMax, double yMin);
  // map number * 100 + tile number of the tile containing the point; 0 off the grid.
  static std::int32_t TileNumberAt(double x, double y);

  // Derives the file extension and directory of the settings and NhmPath, ShapefileDir and
  // OutputDir of the paths from the host's shapefile path; creates OutputDir when it is missing.
  void PrepareDirectories(const std::string& path);
  // Sets the shapefile path and the paths of the two result layers.
  void SetShapePaths(const std::string& path);

  // File check, the missing-tiles prompt, the tile pass, elimination, both layers written;
  // true when every tile was processed without error. Sets ResultStatus. The options are the
  // tile pass's (a run compacts the mesh and builds rows with VectorizeRow).
  bool ComputeWoodedAreas(const TTilePassOptions& options = {});
  // The tile pass over this object's tiles, extent, settings and tile directory.
  TTilePass TilePass() { return {Tiles, Extent, Settings, Paths.NhmPath, StatusBar}; }

  T2DRect Extent;
  bool LayoutReady = false;
  TTiles Tiles;

  TRunSettings Settings;
  TRunPaths Paths;
  TRunState State;

  std::int32_t ResultStatus = -1;
  IStatusSink* StatusBar = nullptr;  // not owned; may be null

 private:
  // The file check and, when only some tiles have files, the question whether to go on.
  bool TilesReady();
  // Pack, elimination, both layers; false when a layer is incomplete or cannot be written.
  bool WriteLayers();
  // Eliminates small areas and moves every polygon left in the mesh to the finished ones.
  void FinishWoods();
  bool Conclude(bool tilesDone, bool layersWritten);
  void FailOutOfMemory();
};

}  // namespace qv
