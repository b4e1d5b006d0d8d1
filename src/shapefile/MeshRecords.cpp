#include "shapefile/MeshRecords.h"

#include <algorithm>
#include <stdexcept>

#include "geometry/RingCheck.h"

namespace qv {

// The writer trusts no ring blindly: it uses the mesh's one ring check.
bool TMeshRecords::RingIsSound(TRingId ringId) const {
  return CheckRing(mesh_, ringId) == TRingFault::None;
}

bool TMeshRecords::RingsAreSound(TPolygonId polygon) const {
  if (!RingIsSound(mesh_.OuterRing(polygon))) return false;
  const int holes = mesh_.InnerRingCount(polygon);
  for (int h = 0; h < holes; ++h) {
    if (!RingIsSound(mesh_.InnerRing(polygon, h))) return false;
  }
  return true;
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
  Walk(ringId);
  splitter_.Append(walk_, shape, outer);
}

void TMeshRecords::Walk(TRingId ringId) const {
  const T2DRing& ring = mesh_[ringId];
  walk_.clear();
  TEdgeId e = ring.FirstEdge;
  for (int k = 0; k < ring.EdgeCount; ++k) {
    const T2DEdge& edge = mesh_[e];
    walk_.push_back(mesh_[edge.Origin].Point);
    e = edge.Prev;
  }
}

TMeshRecords::TMeshRecords(const T2DPolygonMesh& mesh, const T2DFinishedPolygons& finished)
    : mesh_(mesh), finished_(&finished) {
  if (finished.Count() == 0) return;
  // Both sides in creation order: the mesh's list already is, the finished ones left the mesh
  // a tile at a time and are sorted.
  std::vector<std::int64_t> done(static_cast<std::size_t>(finished.Count()));
  for (std::size_t k = 0; k < done.size(); ++k) done[k] = static_cast<std::int64_t>(k);
  std::stable_sort(done.begin(), done.end(), [&](std::int64_t a, std::int64_t b) {
    return finished[a].Sequence < finished[b].Sequence;
  });
  order_.reserve(static_cast<std::size_t>(Count()));
  std::size_t k = 0;
  for (int m = 0; m < mesh.PolygonCount(); ++m) {
    const std::uint32_t sequence = mesh[mesh.Polygon(m)].Sequence;
    while (k < done.size() && finished[done[k]].Sequence < sequence) order_.push_back(~done[k++]);
    order_.push_back(m);
  }
  while (k < done.size()) order_.push_back(~done[k++]);
}

void TMeshRecords::Capture(const T2DPolygonMesh& mesh, TPolygonId p,
                           T2DFinishedPolygons& finished) {
  const TMeshRecords records(mesh);
  const T2DPolygon& polygon = mesh[p];
  try {
    if (records.RingsAreSound(p)) {
      const TRingId outer = mesh.OuterRing(p);
      finished.BeginPolygon(polygon.Sequence, polygon.Area, true, records.OuterBox(outer));
      records.Walk(outer);
      finished.AddRing(records.walk_);
      for (int h = 0; h < mesh.InnerRingCount(p); ++h) {
        records.Walk(mesh.InnerRing(p, h));
        finished.AddRing(records.walk_);
      }
      return;
    }
  } catch (const std::out_of_range&) {
    // a link to an object the mesh does not have: kept as a polygon that is not written
  }
  finished.BeginPolygon(polygon.Sequence, polygon.Area, false, T2DRect{});
}

bool TMeshRecords::Shape(std::int64_t i, TRecordShape& shape) const {
  const std::int64_t source = Source(i);
  if (source < 0) return FinishedShape(~source, shape);
  return MeshShape(mesh_.Polygon(static_cast<int>(source)), shape);
}

bool TMeshRecords::FinishedShape(std::int64_t i, TRecordShape& shape) const {
  const T2DFinishedPolygons::TPolygon& polygon = (*finished_)[i];
  if (!polygon.Sound) return false;
  shape.Box = polygon.Box;
  for (std::uint32_t r = 0; r < polygon.RingCount; ++r) {
    finished_->Ring(i, r, walk_);
    splitter_.Append(walk_, shape, r == 0);
  }
  return true;
}

bool TMeshRecords::MeshShape(TPolygonId polygon, TRecordShape& shape) const {
  try {
    if (!RingsAreSound(polygon)) return false;
    const TRingId outer = mesh_.OuterRing(polygon);
    shape.Box = OuterBox(outer);
    AppendRing(outer, shape, true);
    const int holes = mesh_.InnerRingCount(polygon);
    for (int h = 0; h < holes; ++h) AppendRing(mesh_.InnerRing(polygon, h), shape, false);
    return true;
  } catch (const std::out_of_range&) {
    return false;  // a link to an object the mesh does not have
  }
}

TRecordAttributes TMeshRecords::Attributes(std::int64_t i) const {
  const std::int64_t source = Source(i);
  if (source < 0) return {true, (*finished_)[~source].Area, false, 0.0};
  const T2DPolygon& p = mesh_[mesh_.Polygon(static_cast<int>(source))];
  return {p.IsWooded, p.Area, false, 0.0};
}

}  // namespace qv
