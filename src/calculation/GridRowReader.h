// Reading the rows of a grid file into the own columns of a tile.
//
// A file row has NCols values; the first belongs to own column -FirstFileColumn of the tile (the
// offset is 0 for a file aligned with its tile). Values west or east of the tile are consumed and
// dropped, own columns the row does not reach are no-data, and so is every value past the end of
// the data: a short or truncated file reads as no-data, it never stops the run.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

namespace qv {

// Where one file row goes, in file values.
struct TRowPlacement {
  std::int64_t Leading = 0;  // dropped before the first stored value
  std::int64_t Stored = 0;   // stored from own column OwnStart on
  std::int64_t OwnStart = 0;
  std::int64_t Trailing = 0;  // dropped after the last stored value

  static TRowPlacement For(std::int64_t nCols, std::int64_t firstFileColumn,
                           std::int64_t ownColumns) {
    TRowPlacement p;
    nCols = std::max<std::int64_t>(nCols, 0);
    p.Leading = std::clamp<std::int64_t>(firstFileColumn, 0, nCols);
    const std::int64_t lastStored = std::min(nCols - 1, firstFileColumn + ownColumns - 1);
    p.Stored = std::max<std::int64_t>(lastStored - p.Leading + 1, 0);
    p.OwnStart = p.Leading - firstFileColumn;
    p.Trailing = nCols - p.Leading - p.Stored;
    return p;
  }
};

struct TRowReadResult {
  bool Ok = true;
  std::int64_t FailedColumn = -1;  // file column of a value that is not a number
};

class TGridRowReader {
 public:
  virtual ~TGridRowReader() = default;

  // Fills all of `own` from the next file row: the placed values, no-data elsewhere. Cell values
  // that are not finite become no-data. After a value that is not a number the rest of the row is
  // consumed and left no-data.
  virtual TRowReadResult ReadRow(std::span<double> own, const TRowPlacement& placement,
                                 double noData) = 0;
  // Consumes one file row of nCols values.
  virtual void SkipRow(std::int64_t nCols) = 0;
  // Whether the data is exhausted.
  virtual bool AtEnd() = 0;
};

}  // namespace qv
