#include "calculation/TreeTops.h"

#include "geometry/Polygons.h"

namespace qv {

void AddCrownCircle(TRowPassContext& ctx, double x, double y, double h) {
  // A radius of 0 or less gives the circle no points, but the tree is still counted.
  const double radius = ctx.Tree.TreeRadiusParam1 * h + ctx.Tree.TreeRadiusParam0;
  ctx.Crowns.Add({x, y, radius, h, ctx.Tree.NumCirclePoints, true});
}

}  // namespace qv
