#include "shapefile/CrownRecords.h"

#include <algorithm>

namespace qv {

bool TCrownRecords::Shape(std::int64_t i, TRecordShape& shape) const {
  const TCrownCircle& circle = list_.Circle(static_cast<int>(i));
  const int n = circle.Points();
  if (n <= 0) return false;
  ring_.resize(static_cast<std::size_t>(n));
  circle.PlacePoints(ring_.data());
  const T2DPoint& start = ring_[0];
  double minX = start.X, maxX = start.X, minY = start.Y, maxY = start.Y;
  for (const T2DPoint& p : ring_) {
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
  }
  shape.Box.SetBounds(minX, maxY, maxX, minY);
  shape.BeginPart();
  shape.Points.push_back(start);
  shape.Points.insert(shape.Points.end(), ring_.rbegin(), ring_.rend());
  return true;
}

TRecordAttributes TCrownRecords::Attributes(std::int64_t i) const {
  const TCrownCircle& circle = list_.Circle(static_cast<int>(i));
  // Every circle the writer takes has points, and so carries the disc's area.
  return {circle.IsWooded, DiscArea(circle.Radius), list_.HasHeights, circle.Height};
}

}  // namespace qv
