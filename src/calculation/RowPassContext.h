// What the row pass works with besides the tile: the run's containers and the parameters that
// decide classes, crowns and holes. The tile pass builds one per tile from the run's state
// (TRunState::RowPassContext), since the compaction between tiles replaces the mesh; tests and
// benchmarks build their own around a mesh of their choosing.
#pragma once

#include <cstdint>
#include <functional>

#include "calculation/ParameterDefaults.h"
#include "calculation/SmallAreaElimination.h"
#include "geometry/Rect.h"

namespace qv {

class T2DPolygonMesh;
class T2DPolygons;
class TTile;

// The tree model: which pixels are wooded and how large a tree top's crown is.
struct TTreeParameters {
  double MinTreeHeight = defaults::MinTreeHeight;
  std::int32_t NumCirclePoints = defaults::NumCirclePoints;
  double TreeRadiusParam0 = defaults::TreeRadiusParam0;
  double TreeRadiusParam1 = defaults::TreeRadiusParam1;
};

struct TRowPassContext {
  T2DPolygonMesh& Mesh;  // the raster polygons of the run
  T2DPolygons& Crowns;   // the crown circles of the run, in the order the pixels are visited
  TTreeParameters Tree;
  TAreaLimits Limits;  // which holes cut by a join stay holes
  T2DRect Extent;      // the host's extent: which columns of a tile are built
};

// The row pass as the tile pass calls it for row `row` of a tile once five rows are in its ring
// (it builds the ring's middle row, row - 2); false fails the tile. VectorizeRow (RowPass.h) in
// a run; tests and benchmarks hand the tile pass their own, usually wrapped around it.
using TRowFunction = std::function<bool(TRowPassContext&, TTile&, int row)>;

}  // namespace qv
