// Test helpers: build a rectangle, walk a ring of a mesh and report what breaks its invariants.
#pragma once

#include <string>
#include <vector>

#include "geometry/PolygonMesh.h"

namespace qv::test {

// A counter-clockwise rectangle polygon with corners (x0, y0) and (x1, y1); its first edge is
// the west side, running south.
inline TPolygonId Rectangle(T2DPolygonMesh& mesh, double x0, double y0, double x1, double y1) {
  const TPolygonId p = mesh.AddPolygon();
  mesh.InsertPointAfter(mesh.InsertPointAfter(mesh.StartRing(p, x0, y1, x0, y0), x1, y0), x1, y1);
  return p;
}

// Empty when the ring is one Next cycle of exactly EdgeCount edges, each belonging to the ring,
// with Prev mirroring Next and each edge's destination its successor's origin; otherwise what
// went wrong first.
inline std::string RingFault(const T2DEdgelist& mesh, TRingId ring) {
  const T2DRing& r = mesh[ring];
  if (!r.FirstEdge) return "no FirstEdge";
  const int count = r.EdgeCount == 2 && mesh[r.FirstEdge].Next == r.FirstEdge ? 1 : r.EdgeCount;
  TEdgeId e = r.FirstEdge;
  for (int i = 0; i < count; ++i) {
    if (mesh.IncidentRing(e) != ring) return "edge " + std::to_string(e.Index) + " not in ring";
    if (mesh[e].Deleted) return "flagged edge " + std::to_string(e.Index) + " in cycle";
    const TEdgeId next = mesh[e].Next;
    if (!next) return "nil Next at edge " + std::to_string(e.Index);
    if (mesh[next].Prev != e) return "Prev does not mirror Next at " + std::to_string(e.Index);
    if (mesh[e].Destination != mesh[next].Origin) {
      return "edge " + std::to_string(e.Index) + " does not end where its successor starts";
    }
    e = next;
    if (e == r.FirstEdge && i + 1 < count) return "cycle shorter than EdgeCount";
  }
  if (e != r.FirstEdge) return "cycle longer than EdgeCount";
  return {};
}

// The vertices of a ring in Next order, from FirstEdge's origin.
inline std::vector<T2DPoint> RingPoints(const T2DEdgelist& mesh, TRingId ring) {
  std::vector<T2DPoint> points;
  const TEdgeId first = mesh[ring].FirstEdge;
  TEdgeId e = first;
  do {
    points.push_back(mesh[mesh[e].Origin].Point);
    e = mesh[e].Next;
  } while (e && e != first && static_cast<int>(points.size()) <= mesh.EdgeCount());
  return points;
}

}  // namespace qv::test
