// TVertexIndex: finds a mesh vertex by its exact coordinates.
//
// Two levels of hash tables with linear probing: one table per distinct Y (a "line"), found
// through a small table keyed by Y, and in each line a table keyed by X. The row pass looks up
// the corners of one row after another, so only the two lines of the current row are in use at
// a time, and their tables stay in the cache; within a line the whole-metre part of X is hashed
// linearly, so neighbouring corners take neighbouring slots. One flat table over both
// coordinates spreads successive lookups over the whole index and misses the cache on nearly
// every lookup (bench_geometry_bench compares both).
//
// It answers exactly what a search tree under the vertex order (X, then Y) would: two
// points are the same vertex when X = X' and Y = Y' as doubles, so 0.0 and -0.0 meet (the
// hashes fold them) and nothing ever equals a NaN.
#pragma once

#include <bit>
#include <cmath>
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

  static std::uint32_t HashOfX(double x) {
    constexpr double kLinearRange = 2147483648.0;  // 2^31
    if (std::abs(x) < kLinearRange) {
      // Corners of a line are whole metres plus one fixed fraction: the whole part goes in
      // linearly (neighbours in neighbouring slots), the fraction mixed (other data still spreads).
      auto whole = static_cast<std::int64_t>(x);
      if (static_cast<double>(whole) > x) --whole;  // floor
      const std::uint64_t fraction = CoordinateBits(x - static_cast<double>(whole));
      return static_cast<std::uint32_t>(whole) +
             static_cast<std::uint32_t>((fraction * 0x9e3779b97f4a7c15ULL) >> 32);
    }
    return static_cast<std::uint32_t>(Mix(CoordinateBits(x)));  // huge, infinite or NaN
  }
  static std::uint32_t HashOfY(double y) {
    return static_cast<std::uint32_t>(Mix(CoordinateBits(y) + 0x9e3779b97f4a7c15ULL));
  }
  static std::uint64_t CoordinateBits(double d) {
    if (d == 0.0) d = 0.0;  // -0.0 compares equal to 0.0, so it must hash alike
    return std::bit_cast<std::uint64_t>(d);
  }
  static std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
  }
  // The slot of the vertex at x in a line, or the empty slot where it belongs.
  static std::size_t Probe(const std::vector<TSlot>& slots, double x, std::uint32_t hash,
                           const TVertexPool& vertices) {
    const std::size_t mask = slots.size() - 1;
    std::size_t i = hash & mask;
    while (slots[i].Id != 0) {
      if (slots[i].Hash == hash && vertices[slots[i].Id].Point.X == x) return i;
      i = (i + 1) & mask;
    }
    return i;
  }
  static void Grow(std::vector<TSlot>& slots);
  // Index into lines_, or -1. The two lines used last are tried first, inline.
  int FindLine(double y) const {
    for (const std::size_t recent : recentLine_) {
      if (recent < lines_.size() && lines_[recent].Y == y) return static_cast<int>(recent);
    }
    return FindLineInTable(y);
  }
  int FindLineInTable(double y) const;
  std::size_t LineFor(double y) {  // finds or adds the line
    const int found = FindLine(y);
    return found >= 0 ? static_cast<std::size_t>(found) : AddLine(y);
  }
  std::size_t AddLine(double y);
  void GrowLineTable();

  std::vector<TLine> lines_;
  std::vector<TSlot> lineTable_;  // Id = index into lines_ + 1; at most half full
  mutable std::size_t recentLine_[2] = {0, 0};  // the two lines used last (row pass: top, bottom)
  std::size_t count_ = 0;
};

}  // namespace qv
