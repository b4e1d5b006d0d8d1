#include "geometry/CrownCircle.h"

#include <cmath>
#include <vector>

namespace qv {

namespace {

// cos and sin of the n angles 2 pi i / n. A run makes hundreds of thousands of circles with
// the same number of points, so the table is computed once per point count (the values are
// the same as computing them per circle). One table per thread: the crown layer is written on
// a thread of its own.
const std::vector<T2DPoint>& UnitCircle(int n) {
  thread_local int tableSize = -1;
  thread_local std::vector<T2DPoint> table;
  if (tableSize != n) {
    table.clear();
    table.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      const double theta = 2.0 * std::numbers::pi * i / n;
      table.emplace_back(std::cos(theta), std::sin(theta));
    }
    tableSize = n;
  }
  return table;
}

}  // namespace

void PlaceCirclePoints(int n, double cx, double cy, double r, T2DPoint* out) {
  const auto& unit = UnitCircle(n);
  for (int k = 0; k < n; ++k) {
    const auto& u = unit[static_cast<std::size_t>(k)];
    out[k] = T2DPoint(cx + r * u.X, cy + r * u.Y);
  }
}

}  // namespace qv
