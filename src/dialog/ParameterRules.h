// The values of the six numeric parameters that Calculate accepts.
//
// Besides a text that is not a number, Calculate refuses, with the same "Invalid number", the
// values that would break the computation. The settings file keeps no value that Calculate
// would refuse, so both take the rules from here.
#pragma once

#include <cmath>
#include <cstdint>

namespace qv {

inline constexpr std::int32_t MinCirclePoints = 3;
inline constexpr std::int32_t MaxCirclePoints = 360;
inline constexpr double MinWoodedAreaLimit = 1.0;  // m2: one pixel

// A minimum height of 0 would give a crown on every cell.
inline bool AcceptsMinTreeHeight(double h) { return h > 0 && std::isfinite(h); }
inline bool AcceptsRadiusSlope(double slope) { return slope >= 0 && std::isfinite(slope); }
// With a slope of at least 0, a radius above 0 at the minimum height is one for every tree; a
// radius of 0 gives circles without points.
inline bool AcceptsRadiusIntercept(double intercept, double slope, double minHeight) {
  const double smallestRadius = slope * minHeight + intercept;
  return smallestRadius > 0 && std::isfinite(smallestRadius);
}
inline bool AcceptsCirclePoints(std::int32_t n) {
  return n >= MinCirclePoints && n <= MaxCirclePoints;
}
inline bool AcceptsClearingArea(double area) { return area >= 0 && std::isfinite(area); }
inline bool AcceptsWoodedArea(double area) {
  return area >= MinWoodedAreaLimit && std::isfinite(area);
}

}  // namespace qv
