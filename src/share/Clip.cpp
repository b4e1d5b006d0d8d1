#include "share/Clip.h"

#include <algorithm>
#include <cmath>

namespace qv::share {

namespace {

double Along(const T2DPoint& p, TAxis axis) { return axis == TAxis::X ? p.X : p.Y; }

// Where the edge a-b meets the line. Always taken from the end lower on the axis, so that the
// two halves of a split find the same point for the same edge.
T2DPoint Crossing(T2DPoint a, T2DPoint b, TAxis axis, double at) {
  if (Along(a, axis) > Along(b, axis)) std::swap(a, b);
  const double t = (at - Along(a, axis)) / (Along(b, axis) - Along(a, axis));
  if (axis == TAxis::X) return {at, a.Y + t * (b.Y - a.Y)};
  return {a.X + t * (b.X - a.X), at};
}

void ClipRing(std::span<const T2DPoint> ring, TAxis axis, double at, bool keepBelow,
              std::vector<T2DPoint>& out) {
  const auto inside = [&](const T2DPoint& p) {
    return keepBelow ? Along(p, axis) <= at : Along(p, axis) >= at;
  };
  const T2DPoint* prior = &ring.back();
  bool priorInside = inside(*prior);
  for (const T2DPoint& point : ring) {
    const bool pointInside = inside(point);
    if (pointInside != priorInside) out.push_back(Crossing(*prior, point, axis, at));
    if (pointInside) out.push_back(point);
    prior = &point;
    priorInside = pointInside;
  }
}

}  // namespace

TRingShape ClipToHalfPlane(const TRingShape& shape, TAxis axis, double at, bool keepBelow) {
  TRingShape clipped;
  clipped.Points.reserve(shape.Points.size());
  for (std::size_t i = 0; i < shape.RingEnds.size(); ++i) {
    const std::size_t first = clipped.Points.size();
    ClipRing(shape.Ring(i), axis, at, keepBelow, clipped.Points);
    if (clipped.Points.size() < first + 3)
      clipped.Points.resize(first);
    else
      clipped.RingEnds.push_back(static_cast<std::uint32_t>(clipped.Points.size()));
  }
  return clipped;
}

TRingShape ClipToBox(const TRingShape& shape, const TBox& box) {
  return ClipToBox(shape, BoxOf(shape), box);
}

TRingShape ClipToBox(const TRingShape& shape, const TBox& shapeBox, const TBox& box) {
  // Only the sides that cut the shape are cut along: each cut is a pass over all points.
  TRingShape clipped = shape;
  if (shapeBox.XMin < box.XMin) clipped = ClipToHalfPlane(clipped, TAxis::X, box.XMin, false);
  if (shapeBox.XMax > box.XMax) clipped = ClipToHalfPlane(clipped, TAxis::X, box.XMax, true);
  if (shapeBox.YMin < box.YMin) clipped = ClipToHalfPlane(clipped, TAxis::Y, box.YMin, false);
  if (shapeBox.YMax > box.YMax) clipped = ClipToHalfPlane(clipped, TAxis::Y, box.YMax, true);
  return clipped;
}

TBox BoxOf(const TRingShape& shape) {
  if (shape.Points.empty()) return {};
  TBox box{shape.Points[0].X, shape.Points[0].Y, shape.Points[0].X, shape.Points[0].Y};
  for (const T2DPoint& p : shape.Points) {
    box.XMin = std::min(box.XMin, p.X);
    box.XMax = std::max(box.XMax, p.X);
    box.YMin = std::min(box.YMin, p.Y);
    box.YMax = std::max(box.YMax, p.Y);
  }
  return box;
}

double AreaOf(const TRingShape& shape) {
  double twice = 0.0;
  for (std::size_t i = 0; i < shape.RingEnds.size(); ++i) {
    const auto ring = shape.Ring(i);
    // Relative to the ring's first point: the products stay small where the coordinates are not.
    const T2DPoint origin = ring[0];
    for (std::size_t k = 1; k + 1 < ring.size(); ++k)
      twice += (ring[k].X - origin.X) * (ring[k + 1].Y - origin.Y) -
               (ring[k + 1].X - origin.X) * (ring[k].Y - origin.Y);
  }
  return std::fabs(twice) / 2.0;
}

}  // namespace qv::share
