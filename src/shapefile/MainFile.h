// The main file (.shp) of a polygon layer: header, then one record per polygon.
//
// Nothing is kept per record: the writer walks the records once to measure them (TotalPoints,
// TotalParts and the box go into the headers) and a second time to write them, so a layer of a
// million crowns costs no memory of its own beyond one record's encoding.
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
  std::int64_t TotalPoints = 0;
  std::int64_t TotalParts = 0;
  TOutputFile Stream;
  std::string FileName;

  // Starts the totals of a new layer.
  void ResetTotals();
  bool WriteHeader();
  // Writes the record numbered Index + 1 with the shape's box and returns its total length in
  // words (content and record header), or 0 when the write failed. The shape's lengths must
  // already be known to fit the format.
  std::int64_t WriteRecord(std::int64_t index, const TRecordShape& shape);

 private:
  TBytes buffer_;
  std::vector<std::int32_t> starts_;
};

}  // namespace qv
