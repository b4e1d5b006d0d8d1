// The computation object of one dialog's life: the parameters of a run, the host's extent and
// the tiles laid over it, the paths of the result layers and the result of the last run.
//
// The tile pass walks the tiles north to south, west to east, and each tile's rows north to
// south into its ring; from the fifth row in the ring on, the row pass (RowPass) is handed the
// tile and the row just read and builds the row two behind it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "calculation/ParameterDefaults.h"
#include "calculation/RowPass.h"
#include "calculation/RowPassContext.h"
#include "calculation/Tiles.h"
#include "geometry/FinishedPolygons.h"
#include "geometry/PolygonMesh.h"
#include "geometry/Polygons.h"
#include "geometry/Rect.h"
#include "platform/Platform.h"

namespace qv {

class TWoodedAreaCalculation {
 public:
  TWoodedAreaCalculation() = default;
  TWoodedAreaCalculation(const TWoodedAreaCalculation&) = delete;
  TWoodedAreaCalculation& operator=(const TWoodedAreaCalculation&) = delete;

  // --- extent and tiles ---
  // Lays out the tiles covering the extent; returns their number (0 and LayoutReady false when
  // the extent cannot be laid out).
  std::int32_t SetExtent(double xMin, double yMax, double xMax, double yMin);
  // map number * 100 + tile number of the tile containing the point; 0 off the grid.
  static std::int32_t TileNumberAt(double x, double y);

  // --- a whole run ---
  // File check, the missing-tiles prompt, the tile pass, elimination, both layers written;
  // true when every tile was processed without error. Sets ResultStatus.
  bool ComputeWoodedAreas();
  // Derives NhmFileExt, NhmDir, ShapefileDir, NhmPath and OutputDir from the host's shapefile
  // path and creates OutputDir when it is missing.
  void PrepareDirectories(const std::string& path);
  // Sets ShapefilePath and the paths of the two result layers.
  void SetShapePaths(const std::string& path);

  // --- the tile pass ---
  // Copies the file type into every tile, builds the names and tests the files (one message per
  // missing file); tiles without files become dummies, `found` counts the others. False, with a
  // message and before any file is looked at, when the file type is neither ASCII nor binary.
  bool CheckTileFiles(std::int32_t& found);
  // Every tile in row-major order through ProcessTile, from a clean state; stops at the first
  // tile that fails. Tile buffers are released when the pass ends, whichever way it ends.
  // With compactFinished, polygons that can no longer change leave the mesh after each tile
  // (MeshCompaction.h): what the run does. Without, the mesh keeps every polygon to the end.
  bool RunTilePass(bool compactFinished = false);
  // One tile: header, the 1 m check, the row window, the rows through the ring and the row pass.
  bool ProcessTile(TTile& tile, std::int32_t& tileCounter);

  // The row pass, called for row r of the tile once five rows are in its ring (it builds the
  // ring's middle row, r - 2). Returning false fails the tile. Empty: nothing is built.
  // --- row pass (polygon building): VectorizeRow by default; tests that only want the ring
  // rows put their own function here ---
  std::function<bool(TWoodedAreaCalculation&, TTile&, int row)> RowPass =
      static_cast<bool (*)(TWoodedAreaCalculation&, TTile&, int)>(VectorizeRow);

  // --- row pass: the containers of one run ---
  // Creates a fresh PolygonMesh and CrownCircles (with HasHeights) for a run; RunTilePass then
  // fills them. Whatever an earlier run left in them is freed.
  void BeginRun();
  std::unique_ptr<T2DPolygonMesh> PolygonMesh;  // raster polygons of the current run
  std::unique_ptr<T2DPolygons> CrownCircles;    // crown circles of the current run
  // Wooded polygons of the current run that left the mesh before its end (MeshCompaction.h).
  std::unique_ptr<T2DFinishedPolygons> FinishedPolygons;
  // How many written polygons of the last run had left the mesh before its last tile.
  std::int64_t PolygonsFinishedEarly = 0;
  // What the row pass works with: the run's containers and the parameters as they are now.
  // Throws std::logic_error outside a run (before BeginRun).
  TRowPassContext RowPassContext();
  // --- end row pass ---

  // --- extent and layout ---
  T2DRect Extent;
  bool LayoutReady = false;
  TTiles Tiles;

  // --- parameters ---
  std::uint8_t NhmFiletype = NhmAsciiGrid;
  double MinTreeHeight = defaults::MinTreeHeight;
  double MinClearingArea = defaults::MinClearingArea;
  double MinWoodedArea = defaults::MinWoodedArea;
  std::int32_t NumCirclePoints = defaults::NumCirclePoints;
  double TreeRadiusParam0 = defaults::TreeRadiusParam0;
  double TreeRadiusParam1 = defaults::TreeRadiusParam1;
  double LayoutVersion = 3.3;

  // --- files ---
  std::string NhmPath;  // ends with a separator; prefixed to every tile file name
  std::string NhmDir;
  std::string NhmPrefix;
  std::string NhmSeparator;
  std::string NhmSuffix;
  std::string NhmFileExt;
  std::string ShapefilePath;
  std::string WoodedShapePath;
  std::string CrownShapePath;
  std::string ShapefileDir;
  std::string OutputDir;

  // --- result and progress ---
  std::int32_t ResultStatus = -1;
  IStatusSink* StatusBar = nullptr;  // not owned; may be null

 private:
  bool FiletypeKnown() const;
  TNhmNaming Naming() const;
  void ReportProgress(std::int32_t tileCounter, int row, int lastRow);
  // Releases the buffers of tiles that no tile after (row, column) will read.
  void ReleaseFinishedBuffers(std::int32_t row, std::int32_t column);
  void ReleaseAllBuffers();
};

}  // namespace qv
