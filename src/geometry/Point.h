// A point of the national grid, in metres (x east, y north).
//
// Inside a crown circle (T2DPolygon0) the points form a ring; there the ring order is the
// order of the polygon's point array, so a point carries no links of its own and stays at
// 16 bytes.
#pragma once

namespace qv {

struct T2DPoint {
  double X = 0.0;
  double Y = 0.0;

  T2DPoint() = default;
  T2DPoint(double x, double y) : X(x), Y(y) {}

  void SetXY(double x, double y) {
    X = x;
    Y = y;
  }
  void Assign(const T2DPoint& other) {
    X = other.X;
    Y = other.Y;
  }
  friend bool operator==(const T2DPoint&, const T2DPoint&) = default;
};

}  // namespace qv
