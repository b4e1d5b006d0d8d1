// T2DFinishedPolygons: polygons that have left the mesh, in the form the layer needs.
//
// A polygon that no seam link reaches any more can never be joined, cut or absorbed again, and
// its fate in the small-area elimination is already known (see MeshCompaction.h). What the
// wooded layer needs of it is kept here and its mesh records go: the box of its outer ring,
// each ring's points in the order the layer wants them (outer ring first, then the holes in
// list order), its area, its class and its place in the run's creation order. At the end of a
// run the polygons still in the mesh join them, and the layer is written from here alone: each
// ring was walked once through the mesh (scattered over hundreds of megabytes), and the
// writer's two passes then read compact points.
//
// A polygon is captured only when all its rings pass the ring check (RingCheck.h); otherwise it
// is kept as refused, so the layer leaves it out and the run reports it: writing it without a
// broken hole would give it the wrong area.
//
// Points live in chunks of a fixed size, so the store grows without copying what it holds.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "geometry/Ids.h"
#include "geometry/Point.h"
#include "geometry/Rect.h"

namespace qv {

class T2DPolygonMesh;

class T2DFinishedPolygons {
 public:
  struct TPolygon {
    double Area = 0.0;
    T2DRect Box;
    std::uint32_t Sequence = 0;
    bool Sound = false;      // false: the writer leaves the polygon out
    bool Wooded = true;
    std::uint32_t FirstRing = 0;
    std::uint32_t RingCount = 0;
  };

  std::int64_t Count() const { return static_cast<std::int64_t>(polygons_.size()); }
  const TPolygon& operator[](std::int64_t i) const { return polygons_[static_cast<std::size_t>(i)]; }

  // Keeps polygon p of mesh as the layer will write it.
  void Capture(const T2DPolygonMesh& mesh, TPolygonId p);
  // Every polygon still in the mesh, in list order.
  void CaptureAll(const T2DPolygonMesh& mesh);
  // The points of ring r (0 = outer) of polygon i, copied into out.
  void Ring(std::int64_t i, std::uint32_t r, std::vector<T2DPoint>& out) const;
  // Drops the polygons from index count on (an abandoned compaction).
  void Truncate(std::int64_t count);

  std::size_t MemoryBytes() const;

 private:
  void BeginPolygon(std::uint32_t sequence, double area, bool sound, const T2DRect& box);
  void AddRing(std::span<const T2DPoint> points);

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
  // Scratch space of Capture: the rings of one polygon, walked before any is kept.
  std::vector<T2DPoint> ringPoints_;
  std::vector<std::uint32_t> ringSizes_;
};

}  // namespace qv
