// TVertexIndex: finds a mesh vertex by its exact coordinates.
//
// Two levels of hash tables with linear probing: one table per distinct Y (a "line"), found
// through a small table keyed by Y, and in each line a table keyed by X. The row pass looks up
// the corners of one row after another, so only the two lines of the current row are in use at
// a time, and their tables stay in the cache; within a line the whole-metre part of X is hashed
// linearly, so neighbouring corners take neighbouring slots. One flat table over both
// coordinates spreads successive lookups over the whole index and misses the cache on nearly
// every lookup (bench_geometry_bench compares both with TObjTree).
//
// It answers exactly what a search tree under the vertex order (CompareVertices) would: two
// points are the same vertex when X = X' and Y = Y' as doubles, so 0.0 and -0.0 meet (the
// hashes fold them) and nothing ever equals a NaN.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry/Ids.h"
#include "geometry/Pool.h"
#include "geometry/Vertex.h"

namespace qv {

class TVertexIndex {
 public:
  using TVertexPool = TPool<T2DVertex>;

  // The vertex at exactly p, or nil.
  TVertexId Find(const T2DPoint& p, const TVertexPool& vertices) const;

  // The vertex at exactly p; when there is none, make() creates it (returning its id, with p
  // stored in its record) and it is recorded. isNew tells which case it was.
  template <class Make>
  TVertexId FindOrAdd(const T2DPoint& p, const TVertexPool& vertices, Make make, bool& isNew) {
    TLine& line = lines_[LineFor(p.Y)];
    if ((line.Count + 1) * 2 > line.Slots.size()) Grow(line.Slots);
    const std::uint32_t hash = HashOfX(p.X);
    const std::size_t i = Probe(line.Slots, p.X, hash, vertices);
    isNew = line.Slots[i].Id == 0;
    if (!isNew) return TVertexId(line.Slots[i].Id);
    const TVertexId id = make();
    line.Slots[i] = {id.Index, hash};
    ++line.Count;
    ++count_;
    return id;
  }

  // Forgets everything (before rebuilding from the live vertices).
  void Clear();
  // Records a vertex known to be absent.
  void Insert(TVertexId id, const T2DPoint& p, const TVertexPool& vertices);

  std::size_t Count() const { return count_; }
  std::size_t CapacityBytes() const;

 private:
  struct TSlot {
    std::uint32_t Id = 0;  // 0: empty; in the table of lines, the line's index + 1
    std::uint32_t Hash = 0;
  };
  struct TLine {
    double Y = 0.0;
    std::vector<TSlot> Slots;  // size 0 or a power of two, at most half full
    std::size_t Count = 0;
  };

  static std::uint32_t HashOfX(double x);
  static std::uint32_t HashOfY(double y);
  // The slot of the vertex at x in a line, or the empty slot where it belongs.
  static std::size_t Probe(const std::vector<TSlot>& slots, double x, std::uint32_t hash,
                           const TVertexPool& vertices);
  static void Grow(std::vector<TSlot>& slots);
  int FindLine(double y) const;  // index into lines_, or -1
  std::size_t LineFor(double y);  // finds or adds the line
  void GrowLineTable();

  std::vector<TLine> lines_;
  std::vector<TSlot> lineTable_;  // Id = index into lines_ + 1; at most half full
  mutable std::size_t recentLine_[2] = {0, 0};  // the two lines used last (row pass: top, bottom)
  std::size_t count_ = 0;
};

}  // namespace qv
