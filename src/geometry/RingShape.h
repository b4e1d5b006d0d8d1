// A polygon as plain rings of points: what a polygon record of a shapefile holds, and what the
// wooded share cuts into pieces.
//
// The rings follow one another in Points; RingEnds holds one past each ring's last point, and no
// ring repeats its first point at the end. Which side of a ring is inside is told by the nonzero
// winding rule, so a shell and its holes need no flag: holes wind the other way.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "geometry/Point.h"

namespace qv {

struct TRingShape {
  std::vector<T2DPoint> Points;
  std::vector<std::uint32_t> RingEnds;

  bool Empty() const { return RingEnds.empty(); }
  std::span<const T2DPoint> Ring(std::size_t i) const {
    const std::uint32_t begin = i == 0 ? 0 : RingEnds[i - 1];
    return std::span<const T2DPoint>(Points).subspan(begin, RingEnds[i] - begin);
  }
};

}  // namespace qv
