// T2DPolygons: the owning list of point-ring polygons that holds a run's crown circles.
//
// Writing the list as a shapefile is the shapefile writer's job (src/shapefile), which reads
// Count, Item, HasHeights and each polygon's points.
#pragma once

#include <string_view>

#include "geometry/Polygon0.h"
#include "geometry/TdObjLst.h"

namespace qv {

class T2DPolygons : public TtdObjectList<T2DPolygon0> {
 public:
  T2DPolygons() : TtdObjectList<T2DPolygon0>(true) {}

  std::string_view ClassName() const override { return "T2DPolygons"; }
  T2DPolygon0& Item(int index) const { return Items(index); }

  bool HasHeights = false;  // the crown layer then carries the tree height
};

}  // namespace qv
