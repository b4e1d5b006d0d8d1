// TCrownCircle: a crown circle held as what defines it, and the one place its points are made.
//
// A run finds about a hundred thousand tree tops per tile of forest. Held as their points (36 by
// default) the circles would take some 680 bytes each and be the largest item of a run after
// the mesh; held as centre, radius, height and point count they take 40. Their points are made
// only when the crown layer is written (PlaceCirclePoints), twice per record: once to measure
// the layer and once to write it, with the same arithmetic both times.
#pragma once

#include <cstdint>
#include <numbers>

#include "geometry/Point.h"

namespace qv {

// The area a crown circle of radius r carries: the disc's, not the polygon's.
inline double DiscArea(double r) { return std::numbers::pi * r * r; }

// Writes n points (n >= 0) of the circle around (cx, cy) with radius r to out[0 .. n - 1],
// counter-clockwise from due east: point i at the angle 2 pi i / n.
void PlaceCirclePoints(int n, double cx, double cy, double r, T2DPoint* out);

struct TCrownCircle {
  double CenterX = 0.0;
  double CenterY = 0.0;
  double Radius = 0.0;
  double Height = 0.0;  // canopy height at the tree top
  std::int32_t PointCount = 0;
  bool IsWooded = false;

  // The number of points the circle has: none unless the radius is positive and the count not
  // negative (a NaN radius has none either).
  int Points() const { return Radius > 0.0 && PointCount >= 0 ? PointCount : 0; }
  // Writes the Points() points, counter-clockwise from due east, to out.
  void PlacePoints(T2DPoint* out) const {
    PlaceCirclePoints(Points(), CenterX, CenterY, Radius, out);
  }
};

}  // namespace qv
