#include "geometry/FinishedPolygons.h"

#include <algorithm>
#include <stdexcept>

#include "geometry/PolygonMesh.h"
#include "geometry/RingCheck.h"

namespace qv {

namespace {

// The box of a ring from its points; the same minima and maxima in the same order as a walk
// along Next over the edges' destinations, which the points list from FirstEdge's origin on,
// followed by the rest in reverse.
T2DRect BoxOf(std::span<const T2DPoint> ring) {
  double minX = ring[0].X, maxX = ring[0].X, minY = ring[0].Y, maxY = ring[0].Y;
  const auto take = [&](const T2DPoint& p) {
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  };
  for (std::size_t k = ring.size() - 1; k >= 1; --k) take(ring[k]);
  take(ring[0]);
  return T2DRect(minX, maxY, maxX, minY);
}

}  // namespace

void T2DFinishedPolygons::Capture(const T2DPolygonMesh& mesh, TPolygonId p) {
  const T2DPolygon& polygon = mesh[p];
  ringPoints_.clear();
  ringSizes_.clear();
  bool sound = true;
  try {
    const int holes = mesh.InnerRingCount(p);
    for (int r = -1; r < holes && sound; ++r) {
      const TRingId ring = r < 0 ? mesh.OuterRing(p) : mesh.InnerRing(p, r);
      const std::size_t before = ringPoints_.size();
      sound = CheckRing(mesh, ring, ringPoints_) == TRingFault::None;
      ringSizes_.push_back(static_cast<std::uint32_t>(ringPoints_.size() - before));
    }
  } catch (const std::out_of_range&) {
    sound = false;  // a link to an object the mesh does not have
  }
  if (!sound) {
    BeginPolygon(polygon.Sequence, polygon.Area, false, T2DRect{});
    polygons_.back().Wooded = polygon.IsWooded;
    return;
  }
  const std::span<const T2DPoint> all(ringPoints_);
  BeginPolygon(polygon.Sequence, polygon.Area, true, BoxOf(all.first(ringSizes_[0])));
  polygons_.back().Wooded = polygon.IsWooded;
  std::size_t at = 0;
  for (const std::uint32_t size : ringSizes_) {
    AddRing(all.subspan(at, size));
    at += size;
  }
}

void T2DFinishedPolygons::CaptureAll(const T2DPolygonMesh& mesh) {
  for (int i = 0; i < mesh.PolygonCount(); ++i) Capture(mesh, mesh.Polygon(i));
}

void T2DFinishedPolygons::BeginPolygon(std::uint32_t sequence, double area, bool sound,
                                       const T2DRect& box) {
  TPolygon p;
  p.Area = area;
  p.Box = box;
  p.Sequence = sequence;
  p.Sound = sound;
  p.FirstRing = static_cast<std::uint32_t>(rings_.size());
  polygons_.push_back(p);
}

void T2DFinishedPolygons::AddRing(std::span<const T2DPoint> points) {
  rings_.push_back({points_, static_cast<std::uint32_t>(points.size())});
  ++polygons_.back().RingCount;
  for (const T2DPoint& p : points) {
    if ((points_ >> kChunkShift) == chunks_.size()) {
      chunks_.push_back(std::make_unique<T2DPoint[]>(kChunkSize));
    }
    chunks_[points_ >> kChunkShift][points_ & (kChunkSize - 1)] = p;
    ++points_;
  }
}

void T2DFinishedPolygons::Ring(std::int64_t i, std::uint32_t r, std::vector<T2DPoint>& out) const {
  const TRing& ring = rings_[(*this)[i].FirstRing + r];
  out.clear();
  for (std::uint64_t k = ring.First; k < ring.First + ring.Count; ++k) {
    out.push_back(chunks_[k >> kChunkShift][k & (kChunkSize - 1)]);
  }
}

void T2DFinishedPolygons::Truncate(std::int64_t count) {
  if (count >= Count()) return;
  const TPolygon& first = (*this)[count];
  points_ = first.FirstRing < rings_.size() ? rings_[first.FirstRing].First : points_;
  rings_.resize(first.FirstRing);
  polygons_.resize(static_cast<std::size_t>(count));
  chunks_.resize(static_cast<std::size_t>((points_ + kChunkSize - 1) >> kChunkShift));
}

std::size_t T2DFinishedPolygons::MemoryBytes() const {
  return polygons_.capacity() * sizeof(TPolygon) + rings_.capacity() * sizeof(TRing) +
         chunks_.size() * kChunkSize * sizeof(T2DPoint);
}

}  // namespace qv
