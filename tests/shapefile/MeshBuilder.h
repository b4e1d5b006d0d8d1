// Small meshes and circle lists made with the geometry model's own operations.
#pragma once

#include <gtest/gtest.h>

#include "geometry/PolygonMesh.h"
#include "geometry/Polygons.h"

namespace qv::test {

// A square ring of side s at (x, y) on the polygon's outer ring: counter-clockwise along Next
// (an outer ring) or clockwise (a hole). Returns its first edge.
inline TEdgeId BuildSquare(T2DPolygonMesh& m, TPolygonId p, double x, double y, double s,
                           bool counterClockwise) {
  TEdgeId first;
  if (counterClockwise) {
    first = m.StartRing(p, x, y, x + s, y);
    m.InsertPointAfter(m.InsertPointAfter(first, x + s, y + s), x, y + s);
  } else {
    first = m.StartRing(p, x, y, x, y + s);
    m.InsertPointAfter(m.InsertPointAfter(first, x + s, y + s), x + s, y);
  }
  return first;
}

inline TPolygonId AddSquarePolygon(T2DPolygonMesh& m, double x, double y, double s, double area,
                                   bool wooded = true) {
  const TPolygonId p = m.AddPolygon();
  BuildSquare(m, p, x, y, s, true);
  m[p].Area = area;
  m[p].IsWooded = wooded;
  return p;
}

// Cuts a square hole into polygon p: the cycle is built on a helper polygon, moved to a ring of
// its own, and the helper is freed, much as the row pass hands a closed hole over.
inline TRingId AddSquareHole(T2DPolygonMesh& m, TPolygonId p, double x, double y, double s) {
  const TPolygonId helper = m.AddPolygon();
  const TEdgeId first = BuildSquare(m, helper, x, y, s, false);
  const TRingId hole = m.CreateRing();
  EXPECT_EQ(m.RebuildRingFrom(hole, first, 100), 4);
  m[hole].FirstEdge = first;
  m.AddInnerRing(p, hole);
  m.DeletePolygon(m.PolygonCount() - 1);
  return hole;
}

inline void AddCircle(T2DPolygons& list, double cx, double cy, double r, int n, double height) {
  list.Add({cx, cy, r, height, n, true});
}

}  // namespace qv::test
