// Test driver: builds the polygons of a classified raster with the mesh operations in the order
// the row pass uses them (rectangles per run, joined upwards along the bottom edges of the row
// above, loops cut off as holes). Only upward joins: one tile, no left border, no tree tops.
// It exercises the mesh the way the row pass does; it is not the row pass.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "geometry/PolygonMesh.h"

namespace qv::test {

struct TRowJoinLimits {
  double MinClearingArea = 0.0;  // holes of wooded polygons below this are filled
  double MinWoodedArea = 0.0;    // holes of open polygons below this are filled
};

class TRowJoiner {
 public:
  TRowJoiner(T2DPolygonMesh& mesh, int width, TRowJoinLimits limits = {});

  // Adds the next row (north to south); pixel c of row r covers x in [c - 0.5, c + 0.5] and
  // y in [-r - 0.5, -r + 0.5].
  void AddRow(const std::vector<bool>& wooded);
  int RebuildFailures() const { return rebuildFailures_; }
  // The polygon that holds pixel (col, row) after all joins so far.
  TPolygonId PolygonAt(int col, int row) const;

 private:
  void CloseRun(int first, int last, bool wooded);
  void Join(TPolygonId& p, TPolygonId q, TEdgeId edgeQ, TEdgeId& topEdge, TPolygonId leftAbove);
  void CutHole(TPolygonId q, TEdgeId t, TPolygonId leftAbove);

  T2DPolygonMesh& mesh_;
  TRowJoinLimits limits_;
  std::vector<TEdgeId> columnLinks_;
  std::vector<std::vector<TPolygonId>> runs_;  // per pixel: the polygon its run started as
  std::map<std::uint32_t, TPolygonId> absorbedInto_;
  double y_ = 0.0;  // centre line of the row being built
  int rebuildFailures_ = 0;
};

}  // namespace qv::test
