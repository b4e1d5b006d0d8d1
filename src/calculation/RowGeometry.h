// Where the row pass puts things: the centre line of a built row, the x of a pixel, and the ring
// positions a row pass visits.
//
// A tile reaches the row pass only after its cell size has passed the 1 m check, and from there
// on every coordinate is computed with exactly 1.0 m, never with the header's cell size: a cell
// size of 0.99999999 would otherwise move the corners of each row a little, so that no two rows
// (and no two tiles) would share a vertex and nothing would join. Centres then lie on whole
// metres and pixel corners on half metres, all exact in a double, so corners computed by
// different rows or tiles meet bit for bit.
#pragma once

#include <algorithm>
#include <cstdint>

#include "calculation/Tile.h"
#include "calculation/TileGrid.h"
#include "geometry/Rect.h"

namespace qv {

inline constexpr double PixelSize = 1.0;
inline constexpr double HalfPixel = 0.5;

// The pass builds the row two behind the row just read, so that the tree-top test finds two rows
// on either side of it in the five-row ring; for the same reason it stays two columns inside the
// ring at either end.
inline constexpr int RowLag = 2;
inline constexpr int TreeTopMargin = 2;

// The first ring position a tile with a left neighbour builds: its left neighbour's own column
// 4373, the first the neighbour leaves out (it stops TreeTopMargin short of its ring's end, at
// LastBuiltPosition). A run starting here is joined across the west border.
inline constexpr int FirstBorderPosition = TreeTopMargin;
inline constexpr int LastBuiltPosition = TTile::RingWidth - 1 - TreeTopMargin;  // 4376

// Centre line of the row the pass builds when `row` has just been read.
inline double BuiltRowCenterY(const TTile& tile, int row) {
  return tile.TileRect.Top - (row + 0.5) * PixelSize + RowLag * PixelSize;
}

// x of the centre of the pixel at a ring position.
inline double PixelCenterX(const TTile& tile, int position) {
  return tile.WestX + (position - TTile::OverlapColumns) * PixelSize;
}

// The ring position of the pixel whose right side lies on the line x: where a bottom edge ending
// at x leaves off. Rounded, so that it is exact whatever the arithmetic that made x.
inline std::int64_t PositionEndingAt(const TTile& tile, double x) {
  return RoundHalfEven(x - tile.WestX + (TTile::OverlapColumns - HalfPixel));
}

// The ring positions a row pass visits, First..Last; empty when First > Last.
//
// The extent's west edge counts in own columns; a tile with a left neighbour starts at
// FirstBorderPosition at the earliest (own column -2), one without at own column 0 plus the
// margin. The last position is the extent's east edge taken as a ring position, and at most
// LastBuiltPosition.
struct TRowSpan {
  int First = 0;
  int Last = -1;

  static TRowSpan For(const TTile& tile, const T2DRect& extent) {
    const std::int64_t leftLimit = tile.LeftNeighbor != nullptr ? -TTile::OverlapColumns : 0;
    const std::int64_t kL = RoundHalfEven((extent.Left - tile.WestX) / PixelSize);
    const std::int64_t kR = RoundHalfEven((extent.Right - tile.WestX) / PixelSize);
    const std::int64_t first = std::max(leftLimit, kL) + TTile::OverlapColumns + TreeTopMargin;
    const std::int64_t last = std::min<std::int64_t>(LastBuiltPosition, kR);
    TRowSpan span;
    // Clamped so that an extent far off the tile gives an empty span, never an overflow.
    span.First = static_cast<int>(std::min<std::int64_t>(first, TTile::RingWidth));
    span.Last = static_cast<int>(std::max<std::int64_t>(last, -1));
    return span;
  }
  bool Empty() const { return First > Last; }
};

}  // namespace qv
