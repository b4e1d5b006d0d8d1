// T2DVertex: a corner shared by every edge that starts or ends there.
//
// Vertices live in the mesh's vertex pool and are found again through the mesh's vertex index
// by their exact coordinates (VertexIndex.h).
#pragma once

#include "geometry/Ids.h"
#include "geometry/Point.h"

namespace qv {

struct T2DVertex {
  T2DPoint Point;
  TEdgeId IncidentEdge;  // the edge attached last, starting or ending here

  double X() const { return Point.X; }
  double Y() const { return Point.Y; }
};

}  // namespace qv
