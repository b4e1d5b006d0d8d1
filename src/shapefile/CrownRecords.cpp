#include "shapefile/CrownRecords.h"

#include <algorithm>

namespace qv {

bool TCrownRecords::Shape(std::int64_t i, TRecordShape& shape) const {
  const T2DPolygon0& item = list_.Item(static_cast<int>(i));
  const int n = item.Count();
  if (n <= 0) return false;
  const T2DPoint& start = item.Point(0);
  double minX = start.X, maxX = start.X, minY = start.Y, maxY = start.Y;
  for (int k = 1; k < n; ++k) {
    const T2DPoint& p = item.Point(k);
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  shape.Box.SetBounds(minX, maxY, maxX, minY);
  shape.BeginPart();
  int p = item.First();
  for (int k = 0; k <= n; ++k) {
    shape.Points.push_back(item.Point(p));
    p = item.Prior(p);
  }
  return true;
}

TRecordAttributes TCrownRecords::Attributes(std::int64_t i) const {
  const T2DPolygon0& item = list_.Item(static_cast<int>(i));
  return {item.IsWooded, item.Area(), list_.HasHeights, item.Height};
}

}  // namespace qv
