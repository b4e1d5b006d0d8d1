#include "calculation/Tiles.h"

#include <stdexcept>

#include "shapefile/Projection.h"

namespace qv {

void TTiles::SetSize(std::int32_t columns, std::int32_t rows) {
  tiles_.clear();
  TileList.clear();
  Frame = TFrame::LV03;
  columns_ = columns > 0 && rows > 0 ? columns : 0;
  rows_ = columns > 0 && rows > 0 ? rows : 0;
  tiles_.reserve(static_cast<std::size_t>(columns_) * static_cast<std::size_t>(rows_));
  for (std::int32_t i = 0; i < columns_ * rows_; ++i) tiles_.push_back(std::make_unique<TTile>());
}

TTile& TTiles::Get(std::int32_t row, std::int32_t column) {
  if (row < 0 || row >= rows_ || column < 0 || column >= columns_) {
    throw std::out_of_range("Tile index out of range");
  }
  return *tiles_[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
                 static_cast<std::size_t>(column)];
}

const TTile& TTiles::Get(std::int32_t row, std::int32_t column) const {
  return const_cast<TTiles*>(this)->Get(row, column);
}

std::string_view ProjectionWktOf(TFrame frame) {
  return frame == TFrame::LV95 ? Lv95ProjectionWkt : LayerProjectionWkt;
}

TMsg NoLayoutReason(double xMin, double yMax, double xMax, double yMin) {
  if (!ExtentFrame(xMin, yMax, xMax, yMin)) return msgExtentMixedFrames;
  if (TileNumberAt(xMin, yMax) == 0) return msgExtentOutsideGrid;
  if (xMin > xMax || yMin > yMax) return msgExtentInverted;
  return msgExtentTooLarge;
}

}  // namespace qv
