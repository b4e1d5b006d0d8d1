#include "shapefile/MainFile.h"

#include <span>

#include "shapefile/ShapeRecord.h"

namespace qv {

void TMainFile::SetCount(std::int64_t n) {
  const auto size = static_cast<std::size_t>(n < 0 ? 0 : n);
  RecordBoxes.assign(size, T2DRect{});
  PointCounts.assign(size, 0);
  PartCounts.assign(size, 0);
  TotalPoints = 0;
  TotalParts = 0;
}

bool TMainFile::WriteHeader() { return Stream.Write(Header.Encode()); }

std::int64_t TMainFile::WriteRecord(std::int64_t index, const TRecordShape& shape) {
  std::vector<std::int32_t> starts(shape.PartStarts.begin(), shape.PartStarts.end());
  buffer_.clear();
  const std::int32_t content = EncodePolygonRecord(static_cast<std::int32_t>(index + 1), shape.Box,
                                                   starts, shape.Points, buffer_);
  if (!Stream.Write(buffer_)) return 0;
  return content + RecordHeaderWords;
}

}  // namespace qv
