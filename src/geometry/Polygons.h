// T2DPolygons: the crown circles of a run, in the order they were found.
//
// Each circle is kept as a TCrownCircle (centre, radius, height, point count) in chunks that
// never move, so the list grows without copying and without holding a circle's points; Item
// makes the point-ring polygon of a circle on demand. Writing the list as a shapefile is the
// shapefile writer's job (src/shapefile).
#pragma once

#include <cstdint>
#include <limits>

#include "geometry/CrownCircle.h"
#include "geometry/Pool.h"

namespace qv {

class T2DPolygons {
 public:
  int Count() const { return static_cast<int>(circles_.Count()); }
  // Appends a circle; returns its index.
  int Add(const TCrownCircle& circle);
  // The circle at index; raises EtdArrayException outside 0 .. Count - 1.
  const TCrownCircle& Circle(int index) const;
  // The circle at index as the polygon CreateCircle builds.
  T2DPolygon0 Item(int index) const { return Circle(index).Polygon(); }

  bool HasHeights = false;  // the crown layer then carries the tree height

  std::size_t MemoryBytes() const { return circles_.CapacityBytes(); }

 private:
  TPool<TCrownCircle, std::numeric_limits<std::int32_t>::max()> circles_;
};

}  // namespace qv
