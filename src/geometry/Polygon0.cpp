#include "geometry/Polygon0.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "geometry/TdObjLst.h"

namespace qv {

void T2DPolygon0::Reserve(std::uint32_t capacity) {
  if (capacity <= capacity_) return;
  auto grown = std::make_unique_for_overwrite<T2DPoint[]>(capacity);
  std::copy(points_.get(), points_.get() + count_, grown.get());
  points_ = std::move(grown);
  capacity_ = capacity;
}

void T2DPolygon0::AddPoint(double x, double y) {
  if (count_ == capacity_) Reserve(std::max<std::uint32_t>(4, capacity_ * 2));
  points_[count_++] = T2DPoint(x, y);
  const double n = count_;
  if (count_ == 1) {
    MinX = x;
    MaxX = x;
  }
  Centroid.X = ((n - 1.0) * Centroid.X + x) / n;
  Centroid.Y = ((n - 1.0) * Centroid.Y + y) / n;
  MinX = std::min(x, MinX);
  MaxX = std::max(x, MaxX);
  areaValid_ = false;
}

const T2DPoint& T2DPolygon0::Point(int index) const {
  if (index == Count() && count_ > 0) index = 0;
  if (index < 0 || index >= Count()) {
    RaiseArrayError(TtdArrayError::IndexOutOfBounds, "T2DPolygon0", "olGetItem", kUnnamedList,
                    index);
  }
  return points_[static_cast<std::uint32_t>(index)];
}

double T2DPolygon0::Area() const {
  if (!areaValid_) {
    double sum = 0.0;
    if (count_ >= 3) {
      for (std::uint32_t i = 0; i < count_; ++i) {
        const T2DPoint& a = points_[i];
        const T2DPoint& b = points_[i + 1 < count_ ? i + 1 : 0];
        sum += (a.X + b.X) * (b.Y - a.Y);
      }
    }
    area_ = sum / 2.0;
    areaValid_ = true;
  }
  return area_;
}

void T2DPolygon0::SetArea(double area) {
  area_ = area;
  areaValid_ = true;
}

void T2DPolygon0::Clear() {
  points_.reset();
  count_ = 0;
  capacity_ = 0;
  areaValid_ = false;
}

namespace {

// cos and sin of the n angles 2 pi i / n. A run makes hundreds of thousands of circles with
// the same number of points, so the table is computed once per point count (the values are
// the same as computing them per circle).
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

void PlaceCirclePoints(int n, double cx, double cy, double r, bool counterClockwise,
                       T2DPoint* out) {
  const auto& unit = UnitCircle(n);
  for (int k = 0; k < n; ++k) {
    const auto& u = unit[static_cast<std::size_t>(counterClockwise ? k : n - 1 - k)];
    out[k] = T2DPoint(cx + r * u.X, cy + r * u.Y);
  }
}

void T2DPolygon0::CreateCircle(int n, double cx, double cy, double r, bool counterClockwise) {
  if (!(r > 0.0) || n < 0) return;
  Reserve(count_ + static_cast<std::uint32_t>(n));
  PlaceCirclePoints(n, cx, cy, r, counterClockwise, points_.get() + count_);
  // The mean of all points is formed once at the end: two divisions per point for a running
  // mean that comes to the same mean would cost more than the rest of the circle.
  const double before = count_;
  double sumX = Centroid.X * before;
  double sumY = Centroid.Y * before;
  for (int k = 0; k < n; ++k) {
    const T2DPoint& point = points_[count_++];
    sumX += point.X;
    sumY += point.Y;
  }
  if (count_ > 0) {
    Centroid.X = sumX / count_;
    Centroid.Y = sumY / count_;
  }
  SetArea(DiscArea(r));
  MinX = cx - r;
  MaxX = cx + r;
}

}  // namespace qv
