#include "calculation/TreeTops.h"

#include <memory>
#include <stdexcept>

#include "geometry/Polygon0.h"
#include "geometry/Polygons.h"

namespace qv {

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
