#include "geometry/Polygons.h"

#include "geometry/IndexError.h"

namespace qv {

int T2DPolygons::Add(const TCrownCircle& circle) {
  const std::uint32_t position = circles_.Add();
  circles_[position] = circle;
  return static_cast<int>(position - 1);
}

const TCrownCircle& T2DPolygons::Circle(int index) const {
  if (index < 0 || index >= Count()) RaiseIndexError("T2DPolygons.Circle", index);
  return circles_[static_cast<std::uint32_t>(index) + 1];
}

}  // namespace qv
