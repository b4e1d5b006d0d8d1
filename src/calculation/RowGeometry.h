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

// Centre line of the row the pass builds when `row` has just been read: two rows behind it.
inline double BuiltRowCenterY(const TTile& tile, int row) {
  return tile.TileRect.Top - (row + 0.5) * PixelSize + 2.0;
}

// x of the centre of the pixel at a ring position.
inline double PixelCenterX(const TTile& tile, int position) {
  return tile.WestX + (position - TTile::OverlapColumns) * PixelSize;
}

// The ring positions a row pass visits, First..Last; empty when First > Last.
//
// A tile with a left neighbour starts at position 2 at the earliest: its left neighbour's own
// columns 4373 and 4374, which that neighbour leaves out (it stops at position 4376, two short of
// its ring's end, because the tree-top test needs two columns on either side).
struct TRowSpan {
  int First = 0;
  int Last = -1;

  static TRowSpan For(const TTile& tile, const T2DRect& extent) {
    const std::int64_t leftLimit = tile.LeftNeighbor != nullptr ? -4 : 0;
    const std::int64_t kL = RoundHalfEven((extent.Left - tile.WestX) / PixelSize);
    const std::int64_t kR = RoundHalfEven((extent.Right - tile.WestX) / PixelSize);
    const std::int64_t first = std::max(leftLimit, kL) + 6;
    const std::int64_t last = std::min<std::int64_t>(TTile::RingWidth - 3, kR);
    TRowSpan span;
    // Clamped so that an extent far off the tile gives an empty span, never an overflow.
    span.First = static_cast<int>(std::min<std::int64_t>(first, TTile::RingWidth));
    span.Last = static_cast<int>(std::max<std::int64_t>(last, -1));
    return span;
  }
  bool Empty() const { return First > Last; }
};

}  // namespace qv
