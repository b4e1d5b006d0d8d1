// One polygon record of the main file (.shp), encoded from plain data.
#pragma once

#include <cstdint>
#include <span>

#include "geometry/Point.h"
#include "geometry/Rect.h"
#include "shapefile/ByteOrder.h"

namespace qv {

// The record header (number and content length) that precedes every record's content.
inline constexpr std::int64_t RecordHeaderWords = 4;

// Content length in 16-bit words of a polygon record; 64-bit so that a huge ring cannot wrap.
constexpr std::int64_t PolygonContentWords(std::int64_t numParts, std::int64_t numPoints) {
  return 22 + 2 * numParts + 8 * numPoints;
}

// Appends the record numbered recordNumber (1-based) to out: header, shape type, box, part starts
// (positions of each part's first point among this record's points) and the points. The caller
// keeps every length within the format's 32-bit limit. Returns the content length in words.
std::int32_t EncodePolygonRecord(std::int32_t recordNumber, const T2DRect& box,
                                 std::span<const std::int32_t> partStarts,
                                 std::span<const T2DPoint> points, TBytes& out);

}  // namespace qv
