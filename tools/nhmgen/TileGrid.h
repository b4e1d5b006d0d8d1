// The map-sheet and tile grid of the height model deliveries, as far as a producer of tile
// files needs it: where a tile lies, which tiles are its neighbours, what its files are called.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "nhmgen/Canopy.h"

namespace qv::nhmgen {

inline constexpr int TileCols = 4375;
inline constexpr int TileRows = 3000;

struct TileId {
  int MapNumber = 0;
  int TileNumber = 0;  // 10 x quarter + sub-tile: 11-14, 21-24, 31-34, 41-44

  friend bool operator==(const TileId&, const TileId&) = default;
};

bool IsValidTileNumber(int tileNumber);
int SheetColumn(int mapNumber);  // 0-19
int SheetRow(int mapNumber);     // negative north of the grid's first row

// Neighbour numbering of the deliveries. Moving right from sheet column 19 wraps to column 0
// of the next sheet row; callers that lay out blocks must refuse that (BlockTiles does).
TileId RightNeighbor(TileId tile);
TileId BelowNeighbor(TileId tile);

// Centre of the tile's north-west cell.
struct TileOrigin {
  std::int64_t WestX = 0;
  std::int64_t NorthY = 0;
};
TileOrigin OriginOf(TileId tile);

// The part of a tile that a file covers, in cells relative to the tile's north-west cell.
// It may also reach past the tile's edges, for files that overlap their neighbours or are
// shifted against the grid.
struct DataWindow {
  int FirstRow = 0;
  int FirstCol = 0;
  int Rows = TileRows;
  int Cols = TileCols;
};

// The coordinates a header states: CH1903 / LV03, or CH1903+ / LV95, whose coordinates are
// LV03's shifted by exactly (2000000, 1000000). The sheets, numbers and values stay the same: an
// LV95 tile holds the canopy of the LV03 tile with the same number.
enum class Frame { LV03, LV95 };
inline constexpr std::int64_t Lv95ShiftX = 2000000;
inline constexpr std::int64_t Lv95ShiftY = 1000000;

// Throws std::invalid_argument for an empty or absurd window.
void CheckWindow(const DataWindow& window);
Region WindowRegion(TileId tile, const DataWindow& window);
// Lower-left corner of the window's cells, as a grid header in the frame states it.
double XllCorner(TileId tile, const DataWindow& window, Frame frame = Frame::LV03);
double YllCorner(TileId tile, const DataWindow& window, Frame frame = Frame::LV03);

// The tiles of a block of cols x rows starting at the north-west tile `first`, row by row from
// north to south, each row west to east. Throws std::invalid_argument for an invalid tile
// number, an empty or oversized block, or a block reaching east of sheet column 19.
std::vector<TileId> BlockTiles(TileId first, int cols, int rows);

struct FileNaming {
  std::string Prefix;
  std::string Separator;
  std::string Suffix = "_dhm_grid1";
  std::string Extension = ".txt";
};

// prefix, map number, separator, tile number, suffix, extension: "mnh1091-23_dhm_grid1.txt".
std::string TileFileName(const FileNaming& naming, TileId tile);
// The name with the extension after its last '.' replaced (or ext appended when it has none).
std::string WithExtension(std::string_view name, std::string_view ext);

}  // namespace qv::nhmgen
