// The containers of one run: the mesh the row pass builds, the crown circles, and the wooded
// polygons that left the mesh before the run's end. They exist only while a run is in
// ComputeWoodedAreas (Begin at its start, Release on every way out).
#pragma once

#include <cstdint>
#include <memory>

#include "calculation/RowPassContext.h"
#include "geometry/FinishedPolygons.h"
#include "geometry/PolygonMesh.h"
#include "geometry/Polygons.h"
#include "geometry/Rect.h"

namespace qv {

struct TRunState {
  std::unique_ptr<T2DPolygonMesh> PolygonMesh;  // raster polygons of the current run
  std::unique_ptr<T2DPolygons> CrownCircles;    // crown circles of the current run
  // Wooded polygons that left the mesh before the run's end (MeshCompaction.h).
  std::unique_ptr<T2DFinishedPolygons> FinishedPolygons;
  // How many written polygons of the last run had left the mesh before its last tile.
  std::int64_t PolygonsFinishedEarly = 0;

  // Fresh containers (the crown circles with heights); whatever an earlier run left is freed.
  void Begin();
  void Release();
  bool Running() const { return PolygonMesh && CrownCircles && FinishedPolygons; }
  // What the row pass works with: the containers as they are now and the given parameters.
  // Throws std::logic_error outside a run.
  TRowPassContext RowPassContext(const TTreeParameters& tree, const TAreaLimits& limits,
                                 const T2DRect& extent);
};

}  // namespace qv
