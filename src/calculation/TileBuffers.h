// The buffers of a tile that is being read or whose borders a neighbour still needs.
#pragma once

#include <array>

#include "calculation/Tile.h"

namespace qv {

struct TTile::TBuffers {
  std::array<std::array<double, RingWidth>, RingRows> Ring;
  std::array<std::array<double, RingWidth>, SavedRows> Bottom;  // own rows 2996..2999
  std::array<std::array<double, OverlapColumns>, TileRowCount> Right;
  std::array<TNeighborPixel, RingWidth> ColumnLinks;
  std::array<TNeighborPixel, TileRowCount> RowLinks;
};

}  // namespace qv
