#include "shapefile/ShapeRecord.h"

#include "shapefile/ShapeHeader.h"

namespace qv {

std::int32_t EncodePolygonRecord(std::int32_t recordNumber, const T2DRect& box,
                                 std::span<const std::int32_t> partStarts,
                                 std::span<const T2DPoint> points, TBytes& out) {
  const auto numParts = static_cast<std::int64_t>(partStarts.size());
  const auto numPoints = static_cast<std::int64_t>(points.size());
  const auto contentWords = static_cast<std::int32_t>(PolygonContentWords(numParts, numPoints));
  std::uint8_t* at = Grow(out, 2 * static_cast<std::size_t>(contentWords + RecordHeaderWords));
  StoreBE32(at, recordNumber);
  StoreBE32(at + 4, contentWords);
  StoreLE32(at + 8, ShapeTypePolygon);
  StoreLEDouble(at + 12, box.Left);
  StoreLEDouble(at + 20, box.Bottom);
  StoreLEDouble(at + 28, box.Right);
  StoreLEDouble(at + 36, box.Top);
  StoreLE32(at + 44, static_cast<std::int32_t>(numParts));
  StoreLE32(at + 48, static_cast<std::int32_t>(numPoints));
  at += 52;
  for (const std::int32_t start : partStarts) {
    StoreLE32(at, start);
    at += 4;
  }
  for (const T2DPoint& p : points) {
    StoreLEDouble(at, p.X);
    StoreLEDouble(at + 8, p.Y);
    at += 16;
  }
  return contentWords;
}

}  // namespace qv
