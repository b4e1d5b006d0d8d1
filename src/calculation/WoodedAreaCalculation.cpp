#include "calculation/WoodedAreaCalculation.h"

#include "calculation/TileGrid.h"
#include "platform/Format.h"

namespace qv {

namespace {

void PlaceTile(TTile& tile, TTileId id, double westX, double northY) {
  tile.MapNumber = id.MapNumber;
  tile.TileNumber = id.TileNumber;
  tile.WestX = westX;
  tile.NorthY = northY;
}

}  // namespace

std::int32_t TWoodedAreaCalculation::SetExtent(double xMin, double yMax, double xMax, double yMin) {
  Extent.SetBounds(xMin, yMax, xMax, yMin);
  LayoutReady = false;
  Tiles.SetSize(0, 0);
  const auto layout = LayoutTiles(xMin, yMax, xMax, yMin);
  if (!layout) return 0;

  Tiles.SetSize(layout->Columns, layout->Rows);
  Tiles.Frame = layout->Frame;
  for (std::int32_t r = 0; r < layout->Rows; ++r) {
    for (std::int32_t k = 0; k < layout->Columns; ++k) {
      TTile& tile = Tiles.Get(r, k);
      TTileId id = layout->First;
      if (k > 0) {
        TTile& left = Tiles.Get(r, k - 1);
        id = RightNeighborId({left.MapNumber, left.TileNumber});
        tile.LeftNeighbor = &left;
        left.RightNeighbor = &tile;
      } else if (r > 0) {
        const TTile& above = Tiles.Get(r - 1, 0);
        id = BelowNeighborId({above.MapNumber, above.TileNumber});
      }
      if (r > 0) tile.TopNeighbor = &Tiles.Get(r - 1, k);
      // Positions follow the layout, not the numbers, so they stay right wherever the
      // numbering is irregular.
      PlaceTile(tile, id, layout->WestX + TileWidth * k, layout->NorthY - TileHeight * r);
      Tiles.TileList += Format("%d-%d,", {std::int64_t{id.MapNumber}, std::int64_t{id.TileNumber}});
    }
  }
  LayoutReady = true;
  return Tiles.Count();
}

std::int32_t TWoodedAreaCalculation::TileNumberAt(double x, double y) {
  return qv::TileNumberAt(x, y);
}

}  // namespace qv
