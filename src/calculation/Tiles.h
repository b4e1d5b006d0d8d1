// The rectangular block of tiles that covers an extent, row 0 the northernmost, column 0 the
// westernmost. Tiles keep their addresses for the life of the block: neighbours point at each
// other.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "calculation/Tile.h"
#include "calculation/TileGrid.h"
#include "catalogue/Languages.h"

namespace qv {

class TTiles {
 public:
  // Frees all tiles and creates rows x columns fresh ones.
  void SetSize(std::int32_t columns, std::int32_t rows);

  std::int32_t ColumnCount() const { return columns_; }
  std::int32_t RowCount() const { return rows_; }
  std::int32_t Count() const { return columns_ * rows_; }

  TTile& Get(std::int32_t row, std::int32_t column);
  const TTile& Get(std::int32_t row, std::int32_t column) const;

  // "map-tile," for every tile in row-major order (so the list ends with a comma).
  std::string TileList;
  // The frame of the extent laid out: tile positions and headers are in its coordinates.
  TFrame Frame = TFrame::LV03;

 private:
  std::int32_t columns_ = 0;
  std::int32_t rows_ = 0;
  std::vector<std::unique_ptr<TTile>> tiles_;  // row-major
};

// The ".prj" text of the layers of a run in the frame.
std::string_view ProjectionWktOf(TFrame frame);

// Why an extent gets no tile layout, in the order a user would look: a frame that cannot be
// told, a corner outside the sheets, an inverted extent, too many tiles.
TMsg NoLayoutReason(double xMin, double yMax, double xMax, double yMin);

}  // namespace qv
