#include "nhmgen/Canopy.h"

#include <algorithm>
#include <cmath>

namespace qv::nhmgen {

Canopy::Canopy(const Region& bounds)
    : Area(bounds),
      Heights(static_cast<std::size_t>(bounds.Rows) * static_cast<std::size_t>(bounds.Cols), 0.0f) {
}

void Canopy::Add(const Crown& crown) {
  const double r = std::min(crown.Radius, MaxCrownRadius);
  const double r2 = r * r;
  const double drop = 1.0 - RimHeightShare;
  const auto yFirst = std::max(static_cast<std::int64_t>(std::ceil(crown.Y - r)), Area.South());
  const auto yLast = std::min(static_cast<std::int64_t>(std::floor(crown.Y + r)), Area.North);
  for (std::int64_t y = yFirst; y <= yLast; ++y) {
    const double dy = static_cast<double>(y) - crown.Y;
    const double halfWidth2 = r2 - dy * dy;
    if (halfWidth2 < 0.0) {
      continue;
    }
    const double halfWidth = std::sqrt(halfWidth2);
    const auto xFirst =
        std::max(static_cast<std::int64_t>(std::ceil(crown.X - halfWidth)), Area.West);
    const auto xLast =
        std::min(static_cast<std::int64_t>(std::floor(crown.X + halfWidth)), Area.East());
    float* row = Heights.data() +
                 static_cast<std::size_t>(Area.North - y) * static_cast<std::size_t>(Area.Cols);
    for (std::int64_t x = xFirst; x <= xLast; ++x) {
      const double dx = static_cast<double>(x) - crown.X;
      const double t2 = (dx * dx + dy * dy) / r2;
      const double t = std::sqrt(t2);
      const double shape = crown.Cone * t + (1.0 - crown.Cone) * t2;
      const auto h = static_cast<float>(crown.Height * (1.0 - drop * shape));
      float& cell = row[x - Area.West];
      cell = std::max(cell, h);
    }
  }
}

}  // namespace qv::nhmgen
