#include "nhmgen/TileGrid.h"

#include <stdexcept>

namespace qv::nhmgen {

namespace {

constexpr std::int64_t GridWest = 480000;
constexpr std::int64_t GridNorth = 302000;
constexpr int SheetColumns = 20;
constexpr int MaxBlockSide = 1000;
constexpr int MaxWindowSide = 100000;
// Keeps every map number the block reaches (map + 20 per tile row) far from overflow.
constexpr int MaxMapMagnitude = 10000000;

int FloorDiv(int a, int b) {
  const int q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

bool IsValidTileNumber(int tileNumber) {
  const int quarter = tileNumber / 10;
  const int sub = tileNumber % 10;
  return quarter >= 1 && quarter <= 4 && sub >= 1 && sub <= 4;
}

int SheetColumn(int mapNumber) {
  return mapNumber - SheetColumns * FloorDiv(mapNumber, SheetColumns);
}

int SheetRow(int mapNumber) { return FloorDiv(mapNumber - 1000, SheetColumns); }

// Quarters lie in a sheet as sub-tiles lie in a quarter: 1 2 over 3 4. A step east leaves a
// sub-tile of the east column (2, 4) for the next quarter, and from a quarter of the east column
// for the next sheet; a step south likewise from the south row (3, 4).
TileId RightNeighbor(TileId tile) {
  if (!IsValidTileNumber(tile.TileNumber)) {
    return tile;
  }
  const int quarter = tile.TileNumber / 10;
  const int sub = tile.TileNumber % 10;
  if (sub % 2 == 1) {
    return {tile.MapNumber, tile.TileNumber + 1};
  }
  if (quarter % 2 == 1) {
    return {tile.MapNumber, tile.TileNumber + 9};
  }
  return {tile.MapNumber + 1, tile.TileNumber - 11};
}

TileId BelowNeighbor(TileId tile) {
  if (!IsValidTileNumber(tile.TileNumber)) {
    return tile;
  }
  const int quarter = tile.TileNumber / 10;
  const int sub = tile.TileNumber % 10;
  if (sub <= 2) {
    return {tile.MapNumber, tile.TileNumber + 2};
  }
  if (quarter <= 2) {
    return {tile.MapNumber, tile.TileNumber + 18};
  }
  return {tile.MapNumber + SheetColumns, tile.TileNumber - 22};
}

TileOrigin OriginOf(TileId tile) {
  const int quarter = tile.TileNumber / 10;
  const int sub = tile.TileNumber % 10;
  TileOrigin o;
  o.WestX = GridWest + std::int64_t{17500} * SheetColumn(tile.MapNumber);
  if (quarter == 2 || quarter == 4) {
    o.WestX += 8750;
  }
  if (sub == 2 || sub == 4) {
    o.WestX += 4375;
  }
  o.NorthY = GridNorth - std::int64_t{12000} * SheetRow(tile.MapNumber);
  if (quarter == 3 || quarter == 4) {
    o.NorthY -= 6000;
  }
  if (sub == 3 || sub == 4) {
    o.NorthY -= 3000;
  }
  return o;
}

void CheckWindow(const DataWindow& w) {
  const auto within = [](int v) { return v > -MaxWindowSide && v < MaxWindowSide; };
  if (w.Rows < 1 || w.Cols < 1 || w.Rows > MaxWindowSide || w.Cols > MaxWindowSide ||
      !within(w.FirstRow) || !within(w.FirstCol)) {
    throw std::invalid_argument(
        "data window must have 1 to 100000 rows and columns and start "
        "within 100000 cells of the tile");
  }
}

Region WindowRegion(TileId tile, const DataWindow& window) {
  const TileOrigin o = OriginOf(tile);
  return {o.WestX + window.FirstCol, o.NorthY - window.FirstRow, window.Cols, window.Rows};
}

double XllCorner(TileId tile, const DataWindow& window, Frame frame) {
  const std::int64_t shift = frame == Frame::LV95 ? Lv95ShiftX : 0;
  return static_cast<double>(OriginOf(tile).WestX + window.FirstCol + shift) - 0.5;
}

double YllCorner(TileId tile, const DataWindow& window, Frame frame) {
  // The south edge of the window's last row: its centre lies Rows - 1 below the first row's.
  const std::int64_t lastRowY = OriginOf(tile).NorthY - window.FirstRow - (window.Rows - 1);
  const std::int64_t shift = frame == Frame::LV95 ? Lv95ShiftY : 0;
  return static_cast<double>(lastRowY + shift) - 0.5;
}

std::vector<TileId> BlockTiles(TileId first, int cols, int rows) {
  if (!IsValidTileNumber(first.TileNumber)) {
    throw std::invalid_argument("tile number must be one of 11-14, 21-24, 31-34, 41-44");
  }
  if (first.MapNumber < -MaxMapMagnitude || first.MapNumber > MaxMapMagnitude) {
    throw std::invalid_argument("map number out of range");
  }
  if (cols < 1 || rows < 1 || cols > MaxBlockSide || rows > MaxBlockSide) {
    throw std::invalid_argument("block must have 1 to 1000 columns and rows of tiles");
  }
  std::vector<TileId> tiles;
  tiles.reserve(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
  TileId rowStart = first;
  for (int r = 0; r < rows; ++r) {
    TileId tile = rowStart;
    for (int c = 0; c < cols; ++c) {
      if (c > 0) {
        const TileId next = RightNeighbor(tile);
        if (next.MapNumber != tile.MapNumber && SheetColumn(tile.MapNumber) == SheetColumns - 1) {
          throw std::invalid_argument("block reaches east of sheet column 19");
        }
        tile = next;
      }
      tiles.push_back(tile);
    }
    rowStart = BelowNeighbor(rowStart);
  }
  return tiles;
}

std::string TileFileName(const FileNaming& naming, TileId tile) {
  return naming.Prefix + std::to_string(tile.MapNumber) + naming.Separator +
         std::to_string(tile.TileNumber) + naming.Suffix + naming.Extension;
}

std::string WithExtension(std::string_view name, std::string_view ext) {
  // A dot in a directory part of the prefix is no extension.
  const auto mark = name.find_last_of("./\\");
  const bool hasExtension = mark != std::string_view::npos && name[mark] == '.';
  const auto base = hasExtension ? name.substr(0, mark) : name;
  std::string result(base);
  result += ext;
  return result;
}

}  // namespace qv::nhmgen
