// An axis-parallel rectangle: the host's extent, a tile's nominal and data rectangles, the
// bounding box of a shapefile record. Top is the larger y (north).
#pragma once

#include "geometry/Point.h"

namespace qv {

class T2DRect {
 public:
  T2DRect() = default;
  T2DRect(double left, double top, double right, double bottom) {
    SetBounds(left, top, right, bottom);
  }

  // Stores the bounds as given (a Top below Bottom is kept, and the rectangle is not Valid).
  void SetBounds(double left, double top, double right, double bottom) {
    Left = left;
    Top = top;
    Right = right;
    Bottom = bottom;
    TopLeft.SetXY(left, top);
    BottomRight.SetXY(right, bottom);
    Width = right - left;
    Height = top - bottom;
    Valid = left < right && top > bottom;
  }

  double Left = 0.0;
  double Top = 0.0;
  double Right = 0.0;
  double Bottom = 0.0;
  T2DPoint TopLeft;
  T2DPoint BottomRight;
  double Width = 0.0;
  double Height = 0.0;
  bool Valid = false;  // not valid until bounds are set
};

}  // namespace qv
