#include "calculation/TreeTops.h"

#include <stdexcept>

#include "geometry/Polygons.h"

namespace qv {

void AddCrownCircle(TWoodedAreaCalculation& calc, double x, double y, double h) {
  if (!calc.CrownCircles) throw std::logic_error("Crown circles added outside a run");
  // A radius of 0 or less gives the circle no points, but the tree is still counted.
  const double radius = calc.TreeRadiusParam1 * h + calc.TreeRadiusParam0;
  calc.CrownCircles->Add({x, y, radius, h, calc.NumCirclePoints, true});
}

}  // namespace qv
