// A point of the national grid, in metres (x east, y north). A point carries no links of its
// own: where points form a ring (the writer's ring points, a crown circle's points), the ring
// order is the order of their array, so a point stays at 16 bytes.
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
