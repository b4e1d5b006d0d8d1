#include "geometry/RingCheck.h"

#include <algorithm>
#include <stdexcept>

#include "geometry/PolygonMesh.h"

namespace qv {

namespace {

// Walks the ring along Next; with points, appends every edge's origin in that order.
TRingFault WalkRing(const T2DEdgelist& mesh, TRingId ring, std::vector<T2DPoint>* points) {
  const T2DRing& r = mesh[ring];
  const int n = r.EdgeCount;
  if (n < 3 || n > mesh.EdgeCount()) return TRingFault::EdgeCount;
  if (!r.FirstEdge) return TRingFault::NoFirstEdge;
  TEdgeId e = r.FirstEdge;
  for (int k = 0; k < n; ++k) {
    const T2DEdge& edge = mesh[e];
    if (!edge.Origin || !edge.Destination || !edge.Next || !edge.Prev) return TRingFault::NilLink;
    if (edge.Deleted) return TRingFault::Flagged;
    if (mesh.IncidentRing(e) != ring) return TRingFault::ForeignEdge;
    const T2DEdge& next = mesh[edge.Next];
    if (next.Prev != e) return TRingFault::NotMirrored;
    if (next.Origin != edge.Destination) return TRingFault::Gap;
    if (points != nullptr) points->push_back(mesh[edge.Origin].Point);
    e = edge.Next;
    if (e == r.FirstEdge && k + 1 < n) return TRingFault::ShortCycle;
  }
  return e == r.FirstEdge ? TRingFault::None : TRingFault::LongCycle;
}

}  // namespace

TRingFault CheckRing(const T2DEdgelist& mesh, TRingId ring) {
  if (!ring) return TRingFault::UnknownId;
  try {
    return WalkRing(mesh, ring, nullptr);
  } catch (const std::out_of_range&) {
    return TRingFault::UnknownId;
  }
}

TRingFault CheckRing(const T2DEdgelist& mesh, TRingId ring, std::vector<T2DPoint>& points) {
  if (!ring) return TRingFault::UnknownId;
  const std::size_t first = points.size();
  try {
    const TRingFault fault = WalkRing(mesh, ring, &points);
    // Origins along Next from FirstEdge are e0, e1, ..., e(n-1); along Prev the same cycle
    // reads e0, e(n-1), ..., e1.
    const auto from = points.begin() + static_cast<std::ptrdiff_t>(first);
    if (fault == TRingFault::None) std::reverse(from + 1, points.end());
    return fault;
  } catch (const std::out_of_range&) {
    return TRingFault::UnknownId;
  }
}

TPolygonFault CheckPolygon(const T2DPolygonMesh& mesh, TPolygonId polygon) {
  try {
    const TRingId outer = mesh.OuterRing(polygon);
    TRingFault fault = CheckRing(mesh, outer);
    if (fault == TRingFault::None && !(mesh.Area(outer) > 0)) fault = TRingFault::Orientation;
    if (fault != TRingFault::None) return {fault, -1};
    const TFaceId face = mesh[polygon].Face;
    for (int h = 0; h < mesh.InnerRingCount(polygon); ++h) {
      const TRingId hole = mesh.InnerRing(polygon, h);
      fault = CheckRing(mesh, hole);
      if (fault == TRingFault::None && mesh[hole].IncidentFace != face)
        fault = TRingFault::WrongFace;
      if (fault == TRingFault::None && !(mesh.Area(hole) < 0)) fault = TRingFault::Orientation;
      if (fault != TRingFault::None) return {fault, h};
    }
    return {};
  } catch (const std::out_of_range&) {
    return {TRingFault::UnknownId, -1};
  }
}

std::string DescribeFault(TPolygonFault fault) {
  static constexpr const char* kTexts[] = {"",
                                           "unknown id",
                                           "edge count",
                                           "no first edge",
                                           "nil link",
                                           "flagged edge in the cycle",
                                           "edge of another ring",
                                           "Prev does not mirror Next",
                                           "gap",
                                           "cycle shorter than EdgeCount",
                                           "cycle longer than EdgeCount",
                                           "wrong orientation",
                                           "hole of another face"};
  if (!fault) return {};
  const std::string ring = fault.Ring < 0 ? "outer ring" : "hole " + std::to_string(fault.Ring);
  return ring + ": " + kTexts[static_cast<int>(fault.Fault)];
}

}  // namespace qv
