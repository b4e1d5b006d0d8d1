// T2DPolygons: the crown circles of a run, in the order they were found.
//
// Each circle is kept as a TCrownCircle (centre, radius, height, point count) in chunks that
// never move, so the list grows without copying and without holding a circle's points. Writing
// the list as a shapefile is the shapefile writer's job (src/shapefile), which makes each
// circle's points as it writes the record.
#pragma once

#include <cstdint>
#include <limits>

#include "geometry/CrownCircle.h"
#include "geometry/IndexError.h"
#include "geometry/Pool.h"

namespace qv {

class T2DPolygons {
 public:
  int Count() const { return static_cast<int>(circles_.Count()); }
  // Appends a circle; returns its index.
  int Add(const TCrownCircle& circle);
  // The circle at index; raises EtdArrayException outside 0 .. Count - 1.
  const TCrownCircle& Circle(int index) const;

  bool HasHeights = false;  // the crown layer then carries the tree height

  std::size_t MemoryBytes() const { return circles_.CapacityBytes(); }

 private:
  TPool<TCrownCircle, std::numeric_limits<std::int32_t>::max()> circles_;
};

}  // namespace qv
