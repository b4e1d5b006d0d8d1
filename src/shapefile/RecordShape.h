// The geometry of one polygon record as plain data: its parts, each a closed ring of points
// (the first point repeated at the end), one after the other.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry/Point.h"
#include "geometry/Rect.h"

namespace qv {

struct TRecordShape {
  T2DRect Box;
  std::vector<std::int64_t> PartStarts;  // position of each part's first point in Points
  std::vector<T2DPoint> Points;

  void Clear() {
    Box = T2DRect{};
    PartStarts.clear();
    Points.clear();
  }
  // Starts a new part at the current end of Points.
  void BeginPart() { PartStarts.push_back(static_cast<std::int64_t>(Points.size())); }
};

// What the attribute table says about one record.
struct TRecordAttributes {
  bool Wooded = false;
  double Area = 0.0;
  bool HasHeight = false;
  double Height = 0.0;
};

}  // namespace qv
