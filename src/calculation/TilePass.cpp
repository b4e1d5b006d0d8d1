#include "calculation/TilePass.h"

#include <cmath>

#include "calculation/GridHeader.h"
#include "calculation/MeshCompaction.h"
#include "calculation/RowPass.h"
#include "calculation/RowWindow.h"
#include "calculation/TileGrid.h"
#include "catalogue/Languages.h"
#include "catalogue/Message.h"
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

// Row r of the tile's window as the window says: true when a row entered the ring.
bool TakeRow(TTile& tile, TRowAction action, int r) {
  switch (action) {
    case TRowAction::PassOver:
      return false;
    case TRowAction::Skip:
      tile.SkipRow();
      return false;
    case TRowAction::Fill:
      tile.FillNoDataRow(r);
      return true;
    case TRowAction::Read:
      tile.ReadRow(r);
      return true;
  }
  return false;
}

}  // namespace

bool TTilePass::RefuseUnknownFiletype() const {
  Platform().Beep();
  ShowMsg(msgUnknownFiletype, {std::int64_t{settings_.Files.NhmFiletype}});
  return false;
}

bool TTilePass::CheckTileFiles(std::int32_t& found) {
  found = 0;
  if (!settings_.Files.FiletypeKnown()) return RefuseUnknownFiletype();
  const TNhmNaming naming = settings_.Files.Naming(nhmPath_);
  for (std::int32_t r = 0; r < tiles_.RowCount(); ++r) {
    for (std::int32_t k = 0; k < tiles_.ColumnCount(); ++k) {
      TTile& tile = tiles_.Get(r, k);
      tile.NhmFiletype = settings_.Files.NhmFiletype;
      tile.BuildFileNames(naming);
      // Decided afresh each run: a file added since the last run is read now.
      tile.IsDummy = !tile.NhmFilesExist();
      if (!tile.IsDummy) ++found;
    }
  }
  return true;
}

bool TTilePass::Run(TRunState& state, const TTilePassOptions& options) {
  if (!settings_.Files.FiletypeKnown()) return RefuseUnknownFiletype();
  // Nothing of an earlier run survives: its seam links point into a mesh that is gone.
  ReleaseAllBuffers();
  struct TReleaseAtEnd {
    TTilePass& pass;
    ~TReleaseAtEnd() { pass.ReleaseAllBuffers(); }
  } releaseAtEnd{*this};

  const TRowFunction rowPass = options.RowPass ? options.RowPass : TRowFunction(VectorizeRow);
  std::int32_t tileNumber = 0;
  for (std::int32_t r = 0; r < tiles_.RowCount(); ++r) {
    for (std::int32_t k = 0; k < tiles_.ColumnCount(); ++k) {
      // Taken afresh for every tile: the compaction replaces the mesh between tiles.
      TRowPassContext ctx = state.RowPassContext(settings_.Tree, settings_.Limits, extent_);
      if (!ProcessTile(tiles_.Get(r, k), ++tileNumber, ctx, rowPass)) return false;
      ReleaseFinishedBuffers(r, k);
      // After the last tile everything is final, and the mesh is read once more and freed.
      const bool lastTile = r == tiles_.RowCount() - 1 && k == tiles_.ColumnCount() - 1;
      if (options.CompactFinished && !lastTile) {
        CompactMesh(tiles_, state, settings_.Limits, r, k);
      }
    }
  }
  return true;
}

bool TTilePass::OpenTile(TTile& tile) {
  const double left = tile.WestX - 0.5;
  const double top = tile.NorthY + 0.5;
  tile.TileRect.SetBounds(left, top, left + TileWidth, top - TileHeight);
  tile.NhmFiletype = settings_.Files.NhmFiletype;
  tile.BuildFileNames(settings_.Files.Naming(nhmPath_));
  if (!tile.ReadHeader()) {
    ShowMsg(msgReadError, {std::string_view(tile.FileName)});
    return false;
  }
  if (!(std::fabs(tile.CellSize - 1.0) < CellSizeTolerance)) {
    Platform().Beep();
    TMessage(TMessageKind::Message, msgGridResolution).Before(Msg(msgWindowTitle) + "\r").Show();
    return false;
  }
  if (!tile.IsDummy &&
      !CheckHeaderFrame(tile.FileName, tile.XllCorner, tile.YllCorner, tiles_.Frame)) {
    return false;
  }
  return true;
}

bool TTilePass::ProcessTile(TTile& tile, std::int32_t tileNumber, TRowPassContext& ctx,
                            const TRowFunction& rowPass) {
  TTileFilesGuard filesGuard(tile);
  if (!OpenTile(tile)) return false;
  const TRowWindow window =
      TRowWindow::For(tile.NorthY, tile.TopNeighbor != nullptr, extent_.Top, extent_.Bottom,
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
    if (TakeRow(tile, window.ActionFor(r), r)) ++rowsInRing;
    if (rowsInRing >= TTile::RingRows && !rowPass(ctx, tile, r)) return false;
    if (r % ProgressInterval == 0) ReportProgress(tileNumber, r, window.LastRow);
  }
  return true;
}

void TTilePass::ReportProgress(std::int32_t tileNumber, int row, int lastRow) {
  if (status_ == nullptr) return;
  // lastRow is 0 when the extent ends within half a metre of a tile's first row.
  const std::int64_t percent = lastRow > 0 ? std::int64_t{row} * 100 / lastRow : 100;
  status_->SetProgress(
      Format(Msg(msgTileProgress), {std::int64_t{tileNumber}, std::int64_t{row}, percent}),
      {tileNumber, row, percent});
}

void TTilePass::ReleaseFinishedBuffers(std::int32_t row, std::int32_t column) {
  const bool lastRow = row == tiles_.RowCount() - 1;
  const bool lastColumn = column == tiles_.ColumnCount() - 1;
  if (row > 0 && column > 0) tiles_.Get(row - 1, column - 1).ReleaseBuffers();
  if (row > 0 && lastColumn) tiles_.Get(row - 1, column).ReleaseBuffers();
  if (lastRow && column > 0) tiles_.Get(row, column - 1).ReleaseBuffers();
  if (lastRow && lastColumn) tiles_.Get(row, column).ReleaseBuffers();
}

void TTilePass::ReleaseAllBuffers() {
  for (std::int32_t r = 0; r < tiles_.RowCount(); ++r) {
    for (std::int32_t k = 0; k < tiles_.ColumnCount(); ++k) tiles_.Get(r, k).ReleaseBuffers();
  }
}

}  // namespace qv
