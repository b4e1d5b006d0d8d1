// The five ring rows around the row a pass builds: what the per-pixel step reads.
#pragma once

#include <array>

#include "calculation/Tile.h"

namespace qv {

// The five ring rows around the row a pass builds, north to south, fetched once per row pass
// rather than once per pixel: Rows[2] is the built row, Rows[2 + dy] the row dy below it.
struct TRingRows {
  std::array<const double*, TTile::RingRows> Rows{};

  static TRingRows Around(const TTile& tile, int slot) {
    TRingRows rows;
    for (int dy = -2; dy <= 2; ++dy) {
      rows.Rows[dy + 2] = tile.RowRing((slot + dy + TTile::RingRows) % TTile::RingRows).data();
    }
    return rows;
  }
  double At(int dy, int position) const { return Rows[dy + 2][position]; }
};

}  // namespace qv
