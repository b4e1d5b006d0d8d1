// The fixed grid of map sheets and height-model tiles, and the arithmetic on it.
//
// Sheets are 17500 m x 12000 m, numbered 1000 + 20 * sheet row + sheet column from the north-west
// corner (480000, 302000); the grid has sheet columns 0..19 and an unbounded number of sheet rows
// (rows north of the origin are negative and give map numbers below 1000). A sheet has four
// quarters q (1 NW, 2 NE, 3 SW, 4 SE), each of four tiles s numbered the same way; the tile number
// is 10 * q + s. A tile is 4375 x 3000 cells of 1 m. WestX / NorthY of a tile are the centre of its
// north-west cell, so the tile covers WestX - 0.5 .. WestX + 4374.5 and NorthY - 2999.5 .. NorthY +
// 0.5.
//
// Sheet and tile numbers use floor division throughout, so the negative sheet rows are placed as
// well as the positive ones.
//
// The grid is laid in two frames: CH1903 / LV03 with the origin above, and CH1903+ / LV95, whose
// coordinates are LV03's shifted by exactly (2000000, 1000000). An LV95 extent lies on the same
// sheets and tiles with the same numbers (so the file names stay), only its coordinates carry the
// shift. LV95's x starts at 2000000 and y at 1000000, far beyond anything LV03 numbers, so the
// coordinates tell the frame.
#pragma once

#include <cstdint>
#include <optional>

namespace qv {

inline constexpr double GridOriginX = 480000.0;
inline constexpr double GridOriginY = 302000.0;
inline constexpr double SheetWidth = 17500.0;
inline constexpr double SheetHeight = 12000.0;
inline constexpr double QuarterWidth = 8750.0;
inline constexpr double QuarterHeight = 6000.0;
inline constexpr double TileWidth = 4375.0;
inline constexpr double TileHeight = 3000.0;
inline constexpr int SheetColumnCount = 20;  // sheet columns 0..19

enum class TFrame { LV03, LV95 };

inline constexpr double LV95ShiftX = 2000000.0;
inline constexpr double LV95ShiftY = 1000000.0;

// "LV03" or "LV95".
const char* FrameName(TFrame frame);

// The frame of a point: LV95 when x >= 2000000 and y >= 1000000, LV03 when both are below; a
// point with one coordinate in each (or a coordinate that is not finite) has none.
std::optional<TFrame> PointFrame(double x, double y);

// The frame of an extent: that of its south-west corner, provided every coordinate lies in it
// (an LV03 extent reaching into LV95 coordinates has none). Not finite coordinates count as LV03,
// where the layout refuses them.
std::optional<TFrame> ExtentFrame(double xMin, double yMax, double xMax, double yMin);

// How far a frame's coordinates lie from LV03's.
double FrameShiftX(TFrame frame);
double FrameShiftY(TFrame frame);

struct TTileId {
  std::int32_t MapNumber = 0;
  std::int32_t TileNumber = 0;
  friend bool operator==(const TTileId&, const TTileId&) = default;
};

// The tile east of the given one. Numbers outside the grid's tile numbers are passed on unchanged.
TTileId RightNeighborId(TTileId tile);

// The tile south of the given one. Numbers outside the grid's tile numbers are passed on unchanged.
TTileId BelowNeighborId(TTileId tile);

// Centre of the north-west cell of a numbered tile. Only meaningful for valid tile numbers.
double TileWestX(TTileId tile);
double TileNorthY(TTileId tile);

// map number * 100 + tile number of the tile that contains (x, y), in the point's frame; 0 when
// the point has no frame, lies outside sheet columns 0..19, is not finite, or is so far from the
// grid that the number does not fit.
std::int32_t TileNumberAt(double x, double y);

// Where the tiles covering an extent start and how many there are.
struct TTileLayout {
  TTileId First;       // the north-west tile
  TFrame Frame = TFrame::LV03;
  double WestX = 0.0;  // of the north-west tile, in the frame's coordinates
  double NorthY = 0.0;
  std::int32_t Columns = 0;
  std::int32_t Rows = 0;
};

// The block of tiles covering the extent in its frame, or nothing when the extent has no frame,
// its north-west corner lies outside sheet columns 0..19, a coordinate is not finite, the extent is empty or inverted (no
// column or no row), or the block would be absurdly large. Columns never reach east of sheet
// column 19: the numbering there would wrap to tiles on the far west of the next sheet row.
std::optional<TTileLayout> LayoutTiles(double xMin, double yMax, double xMax, double yMin);

// Nearest integer, halves to even; NaN gives 0 and values beyond +-2^53 are clamped, so header
// values of any size convert without overflow.
std::int64_t RoundHalfEven(double value);

}  // namespace qv
