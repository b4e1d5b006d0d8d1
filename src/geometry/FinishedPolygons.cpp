#include "geometry/FinishedPolygons.h"

namespace qv {

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
