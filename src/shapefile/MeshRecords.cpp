#include "shapefile/MeshRecords.h"

#include <algorithm>
#include <stdexcept>

#include "geometry/RingCheck.h"

namespace qv {

// The writer trusts no ring blindly: it uses the mesh's one ring check.
bool TMeshRecords::RingIsSound(TRingId ringId) const {
  return CheckRing(mesh_, ringId) == TRingFault::None;
}

T2DRect TMeshRecords::OuterBox(TRingId ringId) const {
  const T2DRing& ring = mesh_[ringId];
  const T2DEdge& first = mesh_[ring.FirstEdge];
  const T2DPoint& start = mesh_[first.Origin].Point;
  double minX = start.X, maxX = start.X, minY = start.Y, maxY = start.Y;
  TEdgeId e = ring.FirstEdge;
  for (int k = 0; k < ring.EdgeCount; ++k) {
    const T2DEdge& edge = mesh_[e];
    const T2DPoint& p = mesh_[edge.Destination].Point;
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
    e = edge.Next;
  }
  return T2DRect(minX, maxY, maxX, minY);
}

void TMeshRecords::AppendRing(TRingId ringId, TRecordShape& shape, bool outer) const {
  const T2DRing& ring = mesh_[ringId];
  walk_.clear();
  TEdgeId e = ring.FirstEdge;
  for (int k = 0; k < ring.EdgeCount; ++k) {
    const T2DEdge& edge = mesh_[e];
    walk_.push_back(mesh_[edge.Origin].Point);
    e = edge.Prev;
  }
  splitter_.Append(walk_, shape, outer);
}

bool TMeshRecords::Shape(std::int64_t i, TRecordShape& shape) const {
  const TPolygonId polygon = mesh_.Polygon(static_cast<int>(i));
  try {
    const TRingId outer = mesh_.OuterRing(polygon);
    if (!RingIsSound(outer)) return false;
    const int holes = mesh_.InnerRingCount(polygon);
    for (int h = 0; h < holes; ++h) {
      if (!RingIsSound(mesh_.InnerRing(polygon, h))) return false;
    }
    shape.Box = OuterBox(outer);
    AppendRing(outer, shape, true);
    for (int h = 0; h < holes; ++h) AppendRing(mesh_.InnerRing(polygon, h), shape, false);
    return true;
  } catch (const std::out_of_range&) {
    return false;  // a link to an object the mesh does not have
  }
}

TRecordAttributes TMeshRecords::Attributes(std::int64_t i) const {
  const T2DPolygon& p = mesh_[mesh_.Polygon(static_cast<int>(i))];
  return {p.IsWooded, p.Area, false, 0.0};
}

}  // namespace qv
