#include "shapefile/ShapeRecord.h"

#include "shapefile/ShapeHeader.h"

namespace qv {

std::int32_t EncodePolygonRecord(std::int32_t recordNumber, const T2DRect& box,
                                 std::span<const std::int32_t> partStarts,
                                 std::span<const T2DPoint> points, TBytes& out) {
  const auto numParts = static_cast<std::int64_t>(partStarts.size());
  const auto numPoints = static_cast<std::int64_t>(points.size());
  const auto contentWords = static_cast<std::int32_t>(PolygonContentWords(numParts, numPoints));
  out.reserve(out.size() + 2 * static_cast<std::size_t>(contentWords + RecordHeaderWords));
  AppendBE32(out, recordNumber);
  AppendBE32(out, contentWords);
  AppendLE32(out, ShapeTypePolygon);
  AppendLEDouble(out, box.Left);
  AppendLEDouble(out, box.Bottom);
  AppendLEDouble(out, box.Right);
  AppendLEDouble(out, box.Top);
  AppendLE32(out, static_cast<std::int32_t>(numParts));
  AppendLE32(out, static_cast<std::int32_t>(numPoints));
  for (const std::int32_t start : partStarts) AppendLE32(out, start);
  for (const T2DPoint& p : points) {
    AppendLEDouble(out, p.X);
    AppendLEDouble(out, p.Y);
  }
  return contentWords;
}

}  // namespace qv
