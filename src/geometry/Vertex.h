// T2DVertex: a corner shared by every edge that starts or ends there.
//
// Vertices live in the mesh's vertex pool and are found again through the mesh's vertex index
// by their exact coordinates (see CompareVertices).
#pragma once

#include "geometry/Ids.h"
#include "geometry/Point.h"

namespace qv {

struct T2DVertex {
  T2DPoint Point;
  TEdgeId IncidentEdge;  // the edge attached last, starting or ending here
  bool Deleted = false;

  double X() const { return Point.X; }
  double Y() const { return Point.Y; }
};

// The vertex order: X first, then Y, with no tolerance; equal only when both coordinates are
// equal. Negative, zero or positive like a three-way comparison.
inline int ComparePoints(const T2DPoint& a, const T2DPoint& b) {
  if (a.X < b.X) return -1;
  if (b.X < a.X) return 1;
  if (a.Y < b.Y) return -1;
  if (b.Y < a.Y) return 1;
  return 0;
}

inline int CompareVertices(const T2DVertex& a, const T2DVertex& b) {
  return ComparePoints(a.Point, b.Point);
}

}  // namespace qv
