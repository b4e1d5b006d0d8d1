// The tile pass: every tile in row-major order, every row of a tile into its ring.
//
// A tile's left and top neighbours are always done before it, so their border columns, bottom
// rows and seam links are ready when it needs them. A tile's buffers are created when it starts
// and released after the last tile that reads them (its right, lower and lower-right
// neighbours); the lower-right one reads its seam link of row 2999 when it starts.
#include <cmath>

#include "calculation/CalculationTexts.h"
#include "calculation/GridHeader.h"
#include "calculation/MeshCompaction.h"
#include "calculation/RowWindow.h"
#include "calculation/TileGrid.h"
#include "calculation/WoodedAreaCalculation.h"
#include "catalogue/Languages.h"
#include "platform/Format.h"

namespace qv {

namespace {

constexpr int ProgressInterval = 50;
constexpr double CellSizeTolerance = 0.0001;

// Closes a tile's files however its pass ends.
class TTileFilesGuard {
 public:
  explicit TTileFilesGuard(TTile& tile) : tile_(tile) {}
  ~TTileFilesGuard() { tile_.CloseFiles(); }
  TTileFilesGuard(const TTileFilesGuard&) = delete;
  TTileFilesGuard& operator=(const TTileFilesGuard&) = delete;

 private:
  TTile& tile_;
};

void RefuseFiletype(std::uint8_t filetype) {
  Platform().Beep();
  Platform().ShowMessage(UnknownFiletypeText(filetype));
}

}  // namespace

bool TWoodedAreaCalculation::CheckTileFiles(std::int32_t& found) {
  found = 0;
  if (!FiletypeKnown()) {
    RefuseFiletype(NhmFiletype);
    return false;
  }
  const TNhmNaming naming = Naming();
  for (std::int32_t r = 0; r < Tiles.RowCount(); ++r) {
    for (std::int32_t k = 0; k < Tiles.ColumnCount(); ++k) {
      TTile& tile = Tiles.Get(r, k);
      tile.NhmFiletype = NhmFiletype;
      tile.BuildFileNames(naming);
      // Decided afresh each run: a file added since the last run is read now.
      tile.IsDummy = !tile.NhmFilesExist();
      if (!tile.IsDummy) ++found;
    }
  }
  return true;
}

bool TWoodedAreaCalculation::RunTilePass(bool compactFinished) {
  if (!FiletypeKnown()) {
    RefuseFiletype(NhmFiletype);
    return false;
  }
  // Nothing of an earlier run survives: its seam links point into a mesh that is gone.
  ReleaseAllBuffers();
  struct TReleaseAtEnd {
    TWoodedAreaCalculation& calculation;
    ~TReleaseAtEnd() { calculation.ReleaseAllBuffers(); }
  } releaseAtEnd{*this};

  std::int32_t tileCounter = 0;
  for (std::int32_t r = 0; r < Tiles.RowCount(); ++r) {
    for (std::int32_t k = 0; k < Tiles.ColumnCount(); ++k) {
      if (!ProcessTile(Tiles.Get(r, k), tileCounter)) return false;
      ReleaseFinishedBuffers(r, k);
      // After the last tile everything is final, and the mesh is read once more and freed.
      const bool lastTile = r == Tiles.RowCount() - 1 && k == Tiles.ColumnCount() - 1;
      if (compactFinished && !lastTile) CompactMesh(*this, r, k);
    }
  }
  return true;
}

bool TWoodedAreaCalculation::ProcessTile(TTile& tile, std::int32_t& tileCounter) {
  ++tileCounter;
  const double left = tile.WestX - 0.5;
  const double top = tile.NorthY + 0.5;
  tile.TileRect.SetBounds(left, top, left + TileWidth, top - TileHeight);

  TTileFilesGuard filesGuard(tile);
  tile.NhmFiletype = NhmFiletype;
  tile.BuildFileNames(Naming());
  if (!tile.ReadHeader()) {
    Platform().ShowMessage(Format(Msg(msgReadError), {std::string_view(tile.FileName)}));
    return false;
  }
  if (!(std::fabs(tile.CellSize - 1.0) < CellSizeTolerance)) {
    Platform().Beep();
    Platform().ShowMessage(Msg(msgWindowTitle) + "\r" + Msg(msgGridResolution));
    return false;
  }
  if (!tile.IsDummy &&
      !CheckHeaderFrame(tile.FileName, tile.XllCorner, tile.YllCorner, Tiles.Frame)) {
    return false;
  }

  const TRowWindow window =
      TRowWindow::For(tile.NorthY, tile.TopNeighbor != nullptr, Extent.Top, Extent.Bottom,
                      tile.NRows, tile.CellSize, tile.YllCorner);
  tile.StartReadAhead(window);
  tile.SkipRows(window.FileRowsAbove);

  tile.AllocateBuffers();
  int rowsInRing = 0;
  if (tile.TopNeighbor != nullptr) {
    tile.TakeTopNeighborRows();
    rowsInRing = TTile::SavedRows;
  }
  for (int r = 0; r <= window.LastRow; ++r) {
    switch (window.ActionFor(r)) {
      case TRowAction::PassOver:
        break;
      case TRowAction::Skip:
        tile.SkipRow();
        break;
      case TRowAction::Fill:
        tile.FillNoDataRow(r);
        ++rowsInRing;
        break;
      case TRowAction::Read:
        tile.ReadRow(r);
        ++rowsInRing;
        break;
    }
    if (rowsInRing >= TTile::RingRows && RowPass && !RowPass(*this, tile, r)) return false;
    if (r % ProgressInterval == 0) ReportProgress(tileCounter, r, window.LastRow);
  }
  return true;
}

void TWoodedAreaCalculation::ReportProgress(std::int32_t tileCounter, int row, int lastRow) {
  if (StatusBar == nullptr) return;
  // lastRow is 0 when the extent ends within half a metre of a tile's first row.
  const std::int64_t percent = lastRow > 0 ? std::int64_t{row} * 100 / lastRow : 100;
  StatusBar->SetText(
      Format(Msg(msgTileProgress), {std::int64_t{tileCounter}, std::int64_t{row}, percent}));
}

void TWoodedAreaCalculation::ReleaseFinishedBuffers(std::int32_t row, std::int32_t column) {
  const bool lastRow = row == Tiles.RowCount() - 1;
  const bool lastColumn = column == Tiles.ColumnCount() - 1;
  if (row > 0 && column > 0) Tiles.Get(row - 1, column - 1).ReleaseBuffers();
  if (row > 0 && lastColumn) Tiles.Get(row - 1, column).ReleaseBuffers();
  if (lastRow && column > 0) Tiles.Get(row, column - 1).ReleaseBuffers();
  if (lastRow && lastColumn) Tiles.Get(row, column).ReleaseBuffers();
}

void TWoodedAreaCalculation::ReleaseAllBuffers() {
  for (std::int32_t r = 0; r < Tiles.RowCount(); ++r) {
    for (std::int32_t k = 0; k < Tiles.ColumnCount(); ++k) Tiles.Get(r, k).ReleaseBuffers();
  }
}

}  // namespace qv
