// TCrownCircle: a crown circle held as what defines it.
//
// A run finds about a hundred thousand tree tops per tile of forest. Held as their points (36 by
// default) the circles took some 680 bytes each and were the largest item of a run after the
// mesh; held as centre, radius, height and point count they take 40. Their points are made
// only when the crown layer is written, by the same table and the same arithmetic as
// T2DPolygon0::CreateCircle, so the layer is the same to the last bit.
#pragma once

#include <cstdint>

#include "geometry/Polygon0.h"

namespace qv {

struct TCrownCircle {
  double CenterX = 0.0;
  double CenterY = 0.0;
  double Radius = 0.0;
  double Height = 0.0;  // canopy height at the tree top
  std::int32_t PointCount = 0;
  bool IsWooded = false;

  // The number of points CreateCircle gives the circle: none unless the radius is positive and
  // the count not negative.
  int Points() const { return Radius > 0.0 && PointCount >= 0 ? PointCount : 0; }
  // Writes the Points() points, counter-clockwise from due east, to out.
  void PlacePoints(T2DPoint* out) const {
    PlaceCirclePoints(Points(), CenterX, CenterY, Radius, true, out);
  }
  // The circle as the point-ring polygon that CreateCircle builds counter-clockwise.
  T2DPolygon0 Polygon() const {
    T2DPolygon0 polygon;
    polygon.CreateCircle(PointCount, CenterX, CenterY, Radius, true);
    polygon.IsWooded = IsWooded;
    polygon.Height = Height;
    return polygon;
  }
};

}  // namespace qv
