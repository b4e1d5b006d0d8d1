// T2DPolygon0: a polygon given as one ring of points; the crown circles are made of these.
//
// A run holds hundreds of thousands of circles, so the points of one polygon sit in one array
// of 16-byte points and the ring order is the array order: First is position 0, Next of i is
// i + 1 and Prior of i is i - 1, both wrapping around (points are always appended between the
// last point and First). The array is held by a bare buffer rather than a std::vector: the
// 16 bytes saved per polygon keep a 36-point circle, allocation overhead included, below
// 700 bytes (bench_geometry_bench).
#pragma once

#include <cstdint>
#include <memory>
#include <numbers>

#include "geometry/Point.h"

namespace qv {

// The area a crown circle of radius r carries: the disc's, not the polygon's.
inline double DiscArea(double r) { return std::numbers::pi * r * r; }

// Writes the n points that CreateCircle(n, cx, cy, r, counterClockwise) appends, in its order,
// to out[0 .. n - 1] (n >= 0). The crown layer is written from these, so a circle kept as its
// centre and radius comes out exactly as the polygon would have.
void PlaceCirclePoints(int n, double cx, double cy, double r, bool counterClockwise,
                       T2DPoint* out);

class T2DPolygon0 {
 public:
  static constexpr int kNoPoint = -1;

  int Count() const { return static_cast<int>(count_); }
  // Appends a point and updates the running Centroid and MinX / MaxX. Invalidates the cached
  // area.
  void AddPoint(double x, double y);
  // The point at index, where index = Count gives point 0; other indexes outside
  // 0 .. Count - 1 raise EtdArrayException.
  const T2DPoint& Point(int index) const;
  int First() const { return count_ == 0 ? kNoPoint : 0; }
  int Last() const { return count_ == 0 ? kNoPoint : Count() - 1; }
  int Next(int index) const { return index + 1 < Count() ? index + 1 : 0; }
  int Prior(int index) const { return index > 0 ? index - 1 : Count() - 1; }

  // The signed area by the trapezoid rule over the ring (0 below three points), computed once
  // and cached until points change or SetArea stores another value.
  double Area() const;
  void SetArea(double area);
  bool AreaValid() const { return areaValid_; }

  // Frees all points and forgets the cached area.
  void Clear();
  // When r > 0 and n >= 0: appends n points on the circle around (cx, cy), point i at the angle
  // 2 pi i / n (i up for counter-clockwise, down from n - 1 otherwise); then caches the disc's
  // area pi r^2 and sets MinX / MaxX to cx -/+ r. Otherwise leaves the polygon as it is.
  void CreateCircle(int n, double cx, double cy, double r, bool counterClockwise);

  T2DPoint Centroid;  // running mean of all points added
  double MinX = 0.0;
  double MaxX = 0.0;
  double Height = 0.0;  // canopy height at a crown's tree top
  bool IsWooded = false;

 private:
  void Reserve(std::uint32_t capacity);

  mutable bool areaValid_ = false;  // first, to share IsWooded's padding
  std::unique_ptr<T2DPoint[]> points_;
  std::uint32_t count_ = 0;
  std::uint32_t capacity_ = 0;
  mutable double area_ = 0.0;
};

}  // namespace qv
