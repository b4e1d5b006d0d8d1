// The row operations of a tile: every row read, filled or skipped goes through the same frame.
//
// A row operation takes the next ring slot, puts the left neighbour's last four own columns of
// that row in front (positions 0..3), fills the own positions 4..4378, and saves what the
// neighbours will need: the last four positions for the right neighbour, and the whole ring row
// of rows 2996..2999 for the tile below. Values taken over from a neighbour are no-data in this
// tile's terms: a neighbour's no-data value becomes this tile's, so a tile whose no-data is a
// large positive number never lends its neighbours giant trees.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "calculation/RowReadAhead.h"
#include "calculation/Tile.h"
#include "calculation/TileBuffers.h"
#include "platform/Format.h"
#include "platform/Platform.h"

namespace qv {

namespace {

bool IsNoData(double value, double noData) {
  return value == noData || (std::isnan(value) && std::isnan(noData));
}

void CopyBorder(std::span<const double> from, double fromNoData, std::span<double> to,
                double toNoData) {
  if (IsNoData(fromNoData, toNoData)) {
    std::copy(from.begin(), from.end(), to.begin());
    return;
  }
  std::transform(from.begin(), from.end(), to.begin(),
                 [&](double v) { return IsNoData(v, fromNoData) ? toNoData : v; });
}

}  // namespace

void TTile::TakeTopNeighborRows() {
  if (TopNeighbor == nullptr) {
    Platform().Beep();
    Platform().ShowMessage("Error: Tile has no top neighbor!");
    return;
  }
  TTile& top = *TopNeighbor;
  for (int i = 0; i < SavedRows; ++i) {
    CopyBorder(top.BottomRows(i), top.NoDataValue, RowRing(i), NoDataValue);
  }
  RingIndex = SavedRows - 1;
  const auto links = top.ColumnLinks();
  std::copy(links.begin(), links.end(), ColumnLinks().begin());
}

int TTile::BeginRow(int r) {
  if (r < 0 || r >= TileRowCount) throw std::out_of_range("Tile row out of range");
  TBuffers& b = Buffers();
  RingIndex = ((RingIndex + 1) % RingRows + RingRows) % RingRows;
  const std::span<double> overlap(b.Ring[RingIndex].data(), OverlapColumns);
  if (LeftNeighbor != nullptr) {
    CopyBorder(LeftNeighbor->RightColumns(r), LeftNeighbor->NoDataValue, overlap, NoDataValue);
  } else {
    std::fill(overlap.begin(), overlap.end(), NoDataValue);
  }
  return RingIndex;
}

void TTile::EndRow(int r, int slot) {
  TBuffers& b = Buffers();
  const auto& ring = b.Ring[slot];
  std::copy(ring.end() - OverlapColumns, ring.end(), b.Right[r].begin());
  // The ring row as it stands, overlap included, so the tile below sees what this tile saw.
  if (r >= FirstSavedRow) b.Bottom[r - FirstSavedRow] = ring;
}

int TTile::ReadRow(int r) {
  if (IsDummy || !reader_) return FillNoDataRow(r);
  const int slot = BeginRow(r);
  const auto own = RowRing(slot).subspan<OverlapColumns>();
  const TRowReadResult result =
      readAhead_ ? readAhead_->ReadRow(own) : reader_->ReadRow(own, placement_, NoDataValue);
  if (!result.Ok) ReportRowError(r, result.FailedColumn);
  EndRow(r, slot);
  return slot;
}

int TTile::FillNoDataRow(int r) {
  const int slot = BeginRow(r);
  const auto own = RowRing(slot).subspan<OverlapColumns>();
  std::fill(own.begin(), own.end(), NoDataValue);
  EndRow(r, slot);
  return slot;
}

void TTile::SkipRow() {
  if (IsDummy || !reader_) return;
  if (readAhead_) return readAhead_->SkipRow();
  reader_->SkipRow(NCols);
}

void TTile::SkipRows(std::int64_t count) {
  if (readAhead_) return readAhead_->SkipRowsAbove(count);
  for (std::int64_t i = 0; i < count; ++i) {
    // However many rows a corrupt header claims, an ASCII skip ends with the file.
    if (NhmFiletype != NhmFloatGrid && AtEndOfData()) return;
    SkipRow();
  }
}

bool TTile::AtEndOfData() {
  if (readAhead_) throw std::logic_error("The end of a tile's data asked while it is read ahead");
  return IsDummy || !reader_ || reader_->AtEnd();
}

void TTile::ReportRowError(int r, std::int64_t fileColumn) {
  // A tile written with decimal commas fails in every row; one message says it all.
  if (rowErrorShown_) return;
  rowErrorShown_ = true;
  const std::int64_t position = fileColumn - FirstFileColumn() + OverlapColumns;
  Platform().ShowMessage(
      Format("exception in row %d, col %d of %d - %d",
             {std::int64_t{r}, position, std::int64_t{0}, std::int64_t{NCols} - 1}));
}

}  // namespace qv
