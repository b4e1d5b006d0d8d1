#include "calculation/TreeTops.h"

#include <memory>
#include <stdexcept>

#include "calculation/RowGeometry.h"
#include "calculation/WoodedAreaCalculation.h"
#include "geometry/Polygon0.h"
#include "geometry/Polygons.h"

namespace qv {

bool TreeTopStep(TWoodedAreaCalculation& calc, const TTile& tile, const TRingRows& ring, int p,
                 double y) {
  const double h = ring.At(0, p);
  if (!PixelIsHigh(h, tile.NoDataValue, calc.MinTreeHeight)) return false;
  if (IsTreeTop(ring, p, tile.NoDataValue)) {
    AddCrownCircle(calc, PixelCenterX(tile, p), y, h);
  }
  return true;
}

void AddCrownCircle(TWoodedAreaCalculation& calc, double x, double y, double h) {
  if (!calc.CrownCircles) throw std::logic_error("Crown circles added outside a run");
  auto circle = std::make_unique<T2DPolygon0>();
  const double radius = calc.TreeRadiusParam1 * h + calc.TreeRadiusParam0;
  // A radius of 0 or less leaves the circle without points, but the tree is still counted.
  circle->CreateCircle(calc.NumCirclePoints, x, y, radius, true);
  circle->IsWooded = true;
  circle->Height = h;
  calc.CrownCircles->Add(std::move(circle));
}

}  // namespace qv
