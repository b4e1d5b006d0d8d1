// A seam link between neighbouring tiles: the mesh edge that polygon building needs again at
// one column of the tile below or one row of the tile to the right. A plain value; copying it
// copies the reference, never the edge.
#pragma once

#include "geometry/Ids.h"

namespace qv {

struct TNeighborPixel {
  TEdgeId Edge;  // nil until polygon building records an edge here
};

}  // namespace qv
