// The crown circles of a T2DPolygons list as records of the crown layer: one single-part record
// per circle, written from First along Prior and closed. A circle made counter-clockwise from
// angle 0 therefore starts at its easternmost point and runs clockwise. An item without points
// is left out.
#pragma once

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
};

}  // namespace qv
