#include "calculation/RowWindow.h"

#include <algorithm>

#include "calculation/Tile.h"
#include "calculation/TileGrid.h"

namespace qv {

TRowWindow TRowWindow::For(double northY, bool hasTopNeighbor, double extentTop,
                           double extentBottom, std::int32_t nRows, double cellSize,
                           double yllCorner) {
  const double yTop = (nRows - 0.5) * cellSize + yllCorner;
  TRowWindow w;
  w.FileRowsAbove = std::max<std::int64_t>(RoundHalfEven(yTop - northY), 0);
  w.FillRows = std::max<std::int64_t>(RoundHalfEven(northY - yTop), 0);
  w.SkipRows = hasTopNeighbor ? 0 : std::max<std::int64_t>(RoundHalfEven(northY - extentTop), 0);
  const std::int64_t last = RoundHalfEven(northY - extentBottom);
  w.LastRow = static_cast<int>(std::clamp<std::int64_t>(last, -1, TTile::TileRowCount - 1));
  return w;
}

TRowAction TRowWindow::ActionFor(int r) const {
  if (r < SkipRows) return r >= FillRows ? TRowAction::Skip : TRowAction::PassOver;
  if (r < FillRows) return TRowAction::Fill;
  return TRowAction::Read;
}

}  // namespace qv
