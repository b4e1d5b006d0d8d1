// The polygons of a mesh as records of the wooded-area layer: one record per polygon, its outer
// ring and then its holes in list order, in the run's creation order.
//
// The records are read from the polygons' captured form (T2DFinishedPolygons): a ring was
// walked along Prev from its FirstEdge, which reverses its Next order, so outer rings
// (counter-clockwise along Next) come out clockwise and holes counter-clockwise, as the format
// wants; and it was checked on that walk (RingCheck.h). A polygon with a ring that failed the
// check is left out whole. A ring that passes a point twice (cells touching at a corner) is
// written as several simple rings touching at that point (SimpleRings.h), the shell first.
#pragma once

#include <vector>

#include "geometry/FinishedPolygons.h"
#include "shapefile/ShapeFile.h"
#include "shapefile/SimpleRings.h"

namespace qv {

class TMeshRecords final : public TRecordSource {
 public:
  explicit TMeshRecords(const T2DFinishedPolygons& polygons);

  std::int64_t Count() const override { return polygons_.Count(); }
  bool HasHeights() const override { return false; }
  bool Shape(std::int64_t i, TRecordShape& shape) const override;
  TRecordAttributes Attributes(std::int64_t i) const override;

 private:
  const T2DFinishedPolygons::TPolygon& At(std::int64_t i) const {
    return polygons_[order_[static_cast<std::size_t>(i)]];
  }

  const T2DFinishedPolygons& polygons_;
  std::vector<std::int64_t> order_;  // record i is polygon order_[i]
  // Scratch space reused from record to record.
  mutable std::vector<T2DPoint> walk_;
  mutable TRingSplitter splitter_;
};

}  // namespace qv
