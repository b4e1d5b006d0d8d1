// The keyword header shared by ESRI ASCII grids and the .hdr of binary float grids.
//
// Lines come in a fixed order: ncols, nrows, xllcorner|xllcenter, yllcorner|yllcenter, cellsize,
// nodata_value and, for binary grids, byteorder. A key is recognised by the lower-cased start of
// its line; a line with another key leaves its field unset. The nodata line may be missing (ESRI
// allows that): a sixth line with another key is not consumed, because it is the first data row.
// Numbers always use "." as decimal separator.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "calculation/BlockFile.h"
#include "calculation/TileGrid.h"

namespace qv {

enum class TByteOrder { Unset, LsbFirst, MsbFirst, Unknown };

struct TGridHeader {
  std::int32_t NCols = 0;
  std::int32_t NRows = 0;
  double XllCorner = 0.0;  // as written: a centre value when XIsCenter
  double YllCorner = 0.0;
  double CellSize = 0.0;
  double NoDataValue = 0.0;
  bool HasX = false;
  bool HasY = false;
  bool XIsCenter = false;
  bool YIsCenter = false;
  TByteOrder ByteOrder = TByteOrder::Unset;
};

// Reads the header and leaves the file at the first data value. A header value that is not a
// number throws ENhmError naming the file and the value.
TGridHeader ReadGridHeader(TBlockFile& file, bool withByteOrder, const std::string& fileName);

// Whether a tile file whose data starts at the lower-left corner (xll, yll) fits a run in the
// frame. A file in the other frame holds nothing of the extent: read, it would pass for no-data
// without a word, although it is the height model of the right place given in the wrong
// coordinates. It is named instead (beep and message) and false returned.
bool CheckHeaderFrame(const std::string& fileName, double xll, double yll, TFrame frame);

}  // namespace qv
