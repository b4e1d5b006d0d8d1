#include "calculation/TreeTops.h"

#include <memory>

#include "geometry/Polygon0.h"
#include "geometry/Polygons.h"

namespace qv {

void AddCrownCircle(TRowPassContext& ctx, double x, double y, double h) {
  auto circle = std::make_unique<T2DPolygon0>();
  const double radius = ctx.Tree.TreeRadiusParam1 * h + ctx.Tree.TreeRadiusParam0;
  // A radius of 0 or less leaves the circle without points, but the tree is still counted.
  circle->CreateCircle(ctx.Tree.NumCirclePoints, x, y, radius, true);
  circle->IsWooded = true;
  circle->Height = h;
  ctx.Crowns.Add(std::move(circle));
}

}  // namespace qv
