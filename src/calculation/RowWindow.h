// Which of a tile's rows 0..lastRow come from its file, and how the file is positioned.
//
// Tile row r lies at y = NorthY - r. The file's first row lies at yTop = (NRows - 0.5) * CellSize
// + YllCorner, so after its FileRowsAbove northern rows are skipped the file continues with tile
// row FillRows; the rows before that are north of the data and read as no-data. In the first row
// of tiles the rows north of the extent (SkipRows) do not enter the ring at all: those the file
// has are skipped in the file, the others are simply passed over. Offsets are rounded to the
// nearest row, halves to even, and computed in 64 bits so a corrupt header cannot overflow them.
#pragma once

#include <cstdint>

namespace qv {

enum class TRowAction {
  PassOver,  // north of the extent and of the file: nothing to read
  Skip,      // north of the extent: consume the file row, nothing enters the ring
  Fill,      // north of the file's data: a no-data row
  Read,      // a row of the file
};

struct TRowWindow {
  std::int64_t FileRowsAbove = 0;
  std::int64_t SkipRows = 0;
  std::int64_t FillRows = 0;
  int LastRow = -1;

  // hasTopNeighbor: the tile is not in the first row of tiles (its ring starts with the rows of
  // the tile above, so no row of it is north of the extent).
  static TRowWindow For(double northY, bool hasTopNeighbor, double extentTop, double extentBottom,
                        std::int32_t nRows, double cellSize, double yllCorner);

  TRowAction ActionFor(int r) const;
};

}  // namespace qv
