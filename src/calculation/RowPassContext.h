// What the row pass works with besides the tile: the run's containers and the parameters that
// decide classes, crowns and holes. The computation object hands out one per row
// (RowPassContextOf); tests and benchmarks build their own around a mesh of their choosing.
#pragma once

#include <cstdint>

#include "calculation/ParameterDefaults.h"
#include "calculation/SmallAreaElimination.h"
#include "geometry/Rect.h"

namespace qv {

class T2DPolygonMesh;
class T2DPolygons;

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

}  // namespace qv
