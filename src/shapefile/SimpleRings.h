// Rings that touch themselves, written as simple rings.
//
// A wooded polygon is a 4-connected set of cells and its holes are the 8-connected open
// components it encloses. Wherever two cells of the polygon touch only at a corner, the boundary
// walk passes that corner twice: the ring is topologically sound but touches itself, which
// neither the simple-feature rules nor the shapefile's own rules allow (GEOS reports "Ring
// Self-intersection", and every merge, dissolve or intersection in the GIS then refuses or
// mangles the polygon). The same walk cut at each repeated point gives simple rings that touch
// each other only at that point, which both rules do allow.
//
// The cut: walking the ring, each time the walk comes back to a point it has already visited,
// the loop between the two visits is closed and becomes a part of its own. Each loop keeps the
// direction it had in the walk. Written along Prev, an outer ring runs clockwise; of its loops
// exactly one runs clockwise (the shell: the polygon's interior is 4-connected, so it cannot be
// pinched into two pieces), and every other loop runs counter-clockwise around open land that
// reaches the outside only through a corner: a hole touching the shell at one point. A hole
// ring pinched where open cells touch at a corner gives holes touching each other at a point.
// Every edge and every coordinate stays as it was; only the part boundaries move.
//
// Points are compared by their exact coordinates (the mesh shares a vertex for every exact
// position), through one open-addressing table that is reused from ring to ring: one pass over
// the ring, no allocation once the table has grown to the largest ring.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "shapefile/RecordShape.h"

namespace qv {

class TRingSplitter {
 public:
  // Appends the ring given by its points in walk order (not closed: the first point is not
  // repeated at the end) to shape, as one part per loop, each closed. With shellFirst, the one
  // clockwise loop is moved in front of the others, so that a reader meets the shell before
  // the holes that touch it. Loops of fewer than three points enclose nothing and are dropped.
  void Append(std::span<const T2DPoint> ring, TRecordShape& shape, bool shellFirst);

 private:
  // The position in path_ recorded for p, if p is on the path now (-1 otherwise).
  std::int64_t Find(const T2DPoint& p) const;
  void Remember(const T2DPoint& p, std::int64_t position);
  void Prepare(std::size_t ringSize);
  void AppendLoop(std::span<const T2DPoint> loop, TRecordShape& shape);

  struct TSlot {
    T2DPoint Point;
    std::int64_t Position = 0;
    std::uint32_t Stamp = 0;  // slot in use for the ring with this stamp
  };
  std::vector<TSlot> slots_;
  std::uint32_t stamp_ = 0;
  std::vector<T2DPoint> path_;  // the walk since the last cut
};

// Twice the signed area of a closed ring of points (first point not repeated): positive when
// the ring runs counter-clockwise (x east, y north).
double TwiceSignedArea(std::span<const T2DPoint> ring);

}  // namespace qv
