// Rings cut to an axis-parallel box, and the area of what remains.
//
// The cut is Sutherland and Hodgman's, one half-plane at a time. A half-plane is convex, so the
// cut of any ring, convex or not, is a ring of exactly the part inside, except that where the
// ring leaves and re-enters the half-plane the cut runs along its border and back: edges of no
// width, which add nothing to an area or a winding number. That is all the share needs of the
// rings, and it is why a ring is never split into several.
#pragma once

#include "geometry/RingShape.h"

namespace qv::share {

struct TBox {
  double XMin = 0.0;
  double YMin = 0.0;
  double XMax = 0.0;
  double YMax = 0.0;

  double Width() const { return XMax - XMin; }
  double Height() const { return YMax - YMin; }
  double Area() const { return Width() * Height(); }
  bool Contains(const TBox& other) const {
    return XMin <= other.XMin && other.XMax <= XMax && YMin <= other.YMin && other.YMax <= YMax;
  }
  bool Overlaps(const TBox& other) const {
    return XMin < other.XMax && other.XMin < XMax && YMin < other.YMax && other.YMin < YMax;
  }
};

enum class TAxis { X, Y };

// The part of shape on one side of the line axis = at: the side below it when keepBelow.
TRingShape ClipToHalfPlane(const TRingShape& shape, TAxis axis, double at, bool keepBelow);

TRingShape ClipToBox(const TRingShape& shape, const TBox& box);
// The same for a shape whose box is known.
TRingShape ClipToBox(const TRingShape& shape, const TBox& shapeBox, const TBox& box);

TBox BoxOf(const TRingShape& shape);

// The area inside the shape by the nonzero rule, for a shape whose rings do not cross: the sum
// of the rings' signed areas, whatever way the shell turns.
double AreaOf(const TRingShape& shape);

}  // namespace qv::share
