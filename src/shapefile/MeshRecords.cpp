#include "shapefile/MeshRecords.h"

#include <algorithm>

namespace qv {

TMeshRecords::TMeshRecords(const T2DFinishedPolygons& polygons)
    : polygons_(polygons), order_(static_cast<std::size_t>(polygons.Count())) {
  // Polygons left the mesh a tile at a time and the rest at the end: the layer takes them in
  // the order they were created.
  for (std::size_t k = 0; k < order_.size(); ++k) order_[k] = static_cast<std::int64_t>(k);
  std::stable_sort(order_.begin(), order_.end(), [&](std::int64_t a, std::int64_t b) {
    return polygons[a].Sequence < polygons[b].Sequence;
  });
}

bool TMeshRecords::Shape(std::int64_t i, TRecordShape& shape) const {
  const std::int64_t index = order_[static_cast<std::size_t>(i)];
  const T2DFinishedPolygons::TPolygon& polygon = polygons_[index];
  if (!polygon.Sound) return false;
  shape.Box = polygon.Box;
  for (std::uint32_t r = 0; r < polygon.RingCount; ++r) {
    polygons_.Ring(index, r, walk_);
    splitter_.Append(walk_, shape, r == 0);
  }
  return true;
}

TRecordAttributes TMeshRecords::Attributes(std::int64_t i) const {
  const T2DFinishedPolygons::TPolygon& polygon = At(i);
  return {polygon.Wooded, polygon.Area, false, 0.0};
}

}  // namespace qv
