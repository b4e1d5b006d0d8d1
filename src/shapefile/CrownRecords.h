// The crown circles of a T2DPolygons list as records of the crown layer: one single-part record
// per circle. Its points are those PlaceCirclePoints makes counter-clockwise from due east,
// written from the first backwards and closed on the first again, so the record starts at the
// easternmost point and runs clockwise, as shapefile shells do. A circle without points is left
// out.
#pragma once

#include <vector>

#include "geometry/Polygons.h"
#include "shapefile/ShapeFile.h"

namespace qv {

class TCrownRecords final : public TRecordSource {
 public:
  explicit TCrownRecords(const T2DPolygons& list) : list_(list) {}

  std::int64_t Count() const override { return list_.Count(); }
  bool HasHeights() const override { return list_.HasHeights; }
  bool Shape(std::int64_t i, TRecordShape& shape) const override;
  TRecordAttributes Attributes(std::int64_t i) const override;

 private:
  const T2DPolygons& list_;
  mutable std::vector<T2DPoint> ring_;  // the circle's points, reused from record to record
};

}  // namespace qv
