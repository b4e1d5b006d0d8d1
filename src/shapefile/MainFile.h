// The main file (.shp) of a polygon layer: header, then one record per polygon.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/Rect.h"
#include "shapefile/OutputFile.h"
#include "shapefile/RecordShape.h"
#include "shapefile/ShapeHeader.h"

namespace qv {

class TMainFile {
 public:
  TShapeHeader Header;
  std::vector<T2DRect> RecordBoxes;
  std::vector<std::int64_t> PointCounts;
  std::vector<std::int64_t> PartCounts;
  std::int64_t TotalPoints = 0;
  std::int64_t TotalParts = 0;
  TOutputFile Stream;
  std::string FileName;

  void SetCount(std::int64_t n);
  bool WriteHeader();
  // Writes the record numbered Index + 1 and returns its total length in words (content and
  // record header), or 0 when the write failed. The shape's lengths must already be known to fit
  // the format.
  std::int64_t WriteRecord(std::int64_t index, const TRecordShape& shape);

 private:
  TBytes buffer_;
};

}  // namespace qv
