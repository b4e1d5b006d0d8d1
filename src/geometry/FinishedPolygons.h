// T2DFinishedPolygons: the wooded polygons that have left the mesh, in the form the layer needs.
//
// A polygon that no seam link reaches any more can never be joined, cut or absorbed again, and
// its fate in the small-area elimination is already known (see MeshCompaction.h). What the
// wooded layer needs of it is kept here and its mesh records go: the box of its outer ring,
// each ring's points in the order the writer walks them (outer ring first, then the holes in
// list order), its area and its place in the run's creation order. A polygon whose rings the
// writer would refuse is kept as refused, so the layer leaves it out as it always did.
//
// Points live in chunks of a fixed size, so the store grows without copying what it holds.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "geometry/Point.h"
#include "geometry/Rect.h"

namespace qv {

class T2DFinishedPolygons {
 public:
  struct TPolygon {
    double Area = 0.0;
    T2DRect Box;
    std::uint32_t Sequence = 0;
    bool Sound = false;      // false: the writer leaves the polygon out
    std::uint32_t FirstRing = 0;
    std::uint32_t RingCount = 0;
  };

  std::int64_t Count() const { return static_cast<std::int64_t>(polygons_.size()); }
  const TPolygon& operator[](std::int64_t i) const { return polygons_[static_cast<std::size_t>(i)]; }

  // A new polygon whose rings follow through AddRing.
  void BeginPolygon(std::uint32_t sequence, double area, bool sound, const T2DRect& box);
  void AddRing(std::span<const T2DPoint> points);
  // The points of ring r (0 = outer) of polygon i, copied into out.
  void Ring(std::int64_t i, std::uint32_t r, std::vector<T2DPoint>& out) const;
  // Drops the polygons from index count on (an abandoned compaction).
  void Truncate(std::int64_t count);

  std::size_t MemoryBytes() const;

 private:
  static constexpr std::uint64_t kChunkShift = 16;
  static constexpr std::uint64_t kChunkSize = std::uint64_t{1} << kChunkShift;

  struct TRing {
    std::uint64_t First = 0;
    std::uint32_t Count = 0;
  };

  std::vector<TPolygon> polygons_;
  std::vector<TRing> rings_;
  std::vector<std::unique_ptr<T2DPoint[]>> chunks_;
  std::uint64_t points_ = 0;
};

}  // namespace qv
