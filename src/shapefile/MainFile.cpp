#include "shapefile/MainFile.h"

#include <span>

#include "shapefile/ShapeRecord.h"

namespace qv {

void TMainFile::ResetTotals() {
  TotalPoints = 0;
  TotalParts = 0;
}

bool TMainFile::WriteHeader() { return Stream.Write(Header.Encode()); }

std::int64_t TMainFile::WriteRecord(std::int64_t index, const TRecordShape& shape) {
  starts_.assign(shape.PartStarts.begin(), shape.PartStarts.end());
  buffer_.clear();
  const std::int32_t content = EncodePolygonRecord(static_cast<std::int32_t>(index + 1), shape.Box,
                                                   starts_, shape.Points, buffer_);
  if (!Stream.Write(buffer_)) return 0;
  return content + RecordHeaderWords;
}

}  // namespace qv
