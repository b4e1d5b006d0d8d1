#include "calculation/TileGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qv {

namespace {

constexpr std::int32_t FirstMapNumber = 1000;

// A layout larger than this covers far more than any national grid; it would only come from a
// broken extent, and laying it out would exhaust memory for nothing.
constexpr double MaxLayoutTiles = 100000.0;
// Sheet rows further than this from the origin cannot be numbered in 32 bits.
constexpr double MaxSheetRow = 1.0e7;

std::int32_t FloorDiv(std::int32_t a, std::int32_t b) {
  const std::int32_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::int32_t FloorMod(std::int32_t a, std::int32_t b) { return a - FloorDiv(a, b) * b; }

bool IsOneOf(std::int32_t t, std::initializer_list<std::int32_t> values) {
  for (const auto v : values) {
    if (t == v) return true;
  }
  return false;
}

int QuarterOf(std::int32_t tileNumber) { return tileNumber / 10; }
int SubTileOf(std::int32_t tileNumber) { return tileNumber % 10; }

std::int32_t MapNumberOf(std::int64_t sheetRow, std::int64_t sheetColumn) {
  return static_cast<std::int32_t>(FirstMapNumber + 20 * sheetRow + sheetColumn);
}

// Quarter and tile of a point given by its offsets from the sheet's north-west corner; the
// offsets are reduced to offsets from the tile's north-west corner.
std::int32_t TileWithinSheet(double& dx, double& dy) {
  int q = 1;
  const bool east = dx >= QuarterWidth;
  if (east) {
    dx -= QuarterWidth;
    q = 2;
  }
  if (dy >= QuarterHeight) {
    dy -= QuarterHeight;
    q = east ? 4 : 3;
  }
  int s = 1;
  if (dx >= TileWidth) {
    dx -= TileWidth;
    s = 2;
  }
  if (dy >= TileHeight) {
    dy -= TileHeight;
    s += 2;
  }
  return 10 * q + s;
}

// The LV03 layout, for coordinates already shifted into LV03.
std::optional<TTileLayout> LayoutLv03Tiles(double xMin, double yMax, double xMax, double yMin);

}  // namespace

const char* FrameName(TFrame frame) { return frame == TFrame::LV95 ? "LV95" : "LV03"; }

std::optional<TFrame> PointFrame(double x, double y) {
  const bool eastOfLv03 = x >= LV95ShiftX;
  const bool northOfLv03 = y >= LV95ShiftY;
  if (eastOfLv03 && northOfLv03) return TFrame::LV95;
  if (x < LV95ShiftX && y < LV95ShiftY) return TFrame::LV03;
  return std::nullopt;
}

std::optional<TFrame> ExtentFrame(double xMin, double yMax, double xMax, double yMin) {
  if (!std::isfinite(xMin) || !std::isfinite(yMax) || !std::isfinite(xMax) ||
      !std::isfinite(yMin)) {
    return TFrame::LV03;
  }
  const auto frame = PointFrame(xMin, yMin);
  // An LV95 extent reaching below the shift is inverted, which the layout refuses as such.
  if (frame == TFrame::LV03 && PointFrame(xMax, yMax) != TFrame::LV03) return std::nullopt;
  return frame;
}

double FrameShiftX(TFrame frame) { return frame == TFrame::LV95 ? LV95ShiftX : 0.0; }
double FrameShiftY(TFrame frame) { return frame == TFrame::LV95 ? LV95ShiftY : 0.0; }

TTileId RightNeighborId(TTileId tile) {
  const std::int32_t t = tile.TileNumber;
  if (IsOneOf(t, {11, 13, 21, 23, 31, 33, 41, 43})) return {tile.MapNumber, t + 1};
  if (IsOneOf(t, {12, 14, 32, 34})) return {tile.MapNumber, t + 9};
  if (IsOneOf(t, {22, 24, 42, 44})) return {tile.MapNumber + 1, t - 11};
  return tile;
}

TTileId BelowNeighborId(TTileId tile) {
  const std::int32_t t = tile.TileNumber;
  if (IsOneOf(t, {11, 12, 21, 22, 31, 32, 41, 42})) return {tile.MapNumber, t + 2};
  if (IsOneOf(t, {13, 14, 23, 24})) return {tile.MapNumber, t + 18};
  if (IsOneOf(t, {33, 34, 43, 44})) return {tile.MapNumber + 20, t - 22};
  return tile;
}

double TileWestX(TTileId tile) {
  const std::int32_t sheetColumn = FloorMod(tile.MapNumber - FirstMapNumber, 20);
  const int q = QuarterOf(tile.TileNumber);
  const int s = SubTileOf(tile.TileNumber);
  double x = GridOriginX + SheetWidth * sheetColumn;
  if (q == 2 || q == 4) x += QuarterWidth;
  if (s == 2 || s == 4) x += TileWidth;
  return x;
}

double TileNorthY(TTileId tile) {
  const std::int32_t sheetRow = FloorDiv(tile.MapNumber - FirstMapNumber, 20);
  const int q = QuarterOf(tile.TileNumber);
  const int s = SubTileOf(tile.TileNumber);
  double y = GridOriginY - SheetHeight * sheetRow;
  if (q == 3 || q == 4) y -= QuarterHeight;
  if (s == 3 || s == 4) y -= TileHeight;
  return y;
}

std::int32_t TileNumberAt(double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return 0;
  const auto frame = PointFrame(x, y);
  if (!frame) return 0;
  // Whole metres less a whole shift: exact.
  x -= FrameShiftX(*frame);
  y -= FrameShiftY(*frame);
  const double sc = std::floor((x - GridOriginX) / SheetWidth);
  const double sr = std::floor((GridOriginY - y) / SheetHeight);
  if (sc < 0 || sc >= SheetColumnCount || std::fabs(sr) > MaxSheetRow) return 0;
  double dx = x - (GridOriginX + SheetWidth * sc);
  double dy = (GridOriginY - SheetHeight * sr) - y;
  const std::int32_t tile = TileWithinSheet(dx, dy);
  const std::int64_t number = static_cast<std::int64_t>(MapNumberOf(
                                  static_cast<std::int64_t>(sr), static_cast<std::int64_t>(sc))) *
                                  100 +
                              tile;
  if (number > std::numeric_limits<std::int32_t>::max() ||
      number < std::numeric_limits<std::int32_t>::min()) {
    return 0;
  }
  return static_cast<std::int32_t>(number);
}

std::optional<TTileLayout> LayoutTiles(double xMin, double yMax, double xMax, double yMin) {
  const auto frame = ExtentFrame(xMin, yMax, xMax, yMin);
  if (!frame) return std::nullopt;
  const double sx = FrameShiftX(*frame);
  const double sy = FrameShiftY(*frame);
  auto layout = LayoutLv03Tiles(xMin - sx, yMax - sy, xMax - sx, yMin - sy);
  if (!layout) return std::nullopt;
  layout->Frame = *frame;
  layout->WestX += sx;
  layout->NorthY += sy;
  return layout;
}

namespace {

std::optional<TTileLayout> LayoutLv03Tiles(double xMin, double yMax, double xMax, double yMin) {
  if (!std::isfinite(xMin) || !std::isfinite(yMax) || !std::isfinite(xMax) ||
      !std::isfinite(yMin)) {
    return std::nullopt;
  }
  const double sc = std::floor((xMin - GridOriginX) / SheetWidth);
  const double sr = std::floor((GridOriginY - yMax) / SheetHeight);
  if (sc < 0 || sc >= SheetColumnCount || std::fabs(sr) > MaxSheetRow) return std::nullopt;

  double dx = xMin - (GridOriginX + SheetWidth * sc);
  double dy = (GridOriginY - SheetHeight * sr) - yMax;
  const TTileId first{MapNumberOf(static_cast<std::int64_t>(sr), static_cast<std::int64_t>(sc)),
                      TileWithinSheet(dx, dy)};
  const double x = TileWestX(first);
  const double y = TileNorthY(first);

  const double eastLimit = GridOriginX + SheetWidth * SheetColumnCount;
  const double columns =
      std::min(std::floor((xMax - x) / TileWidth) + 1, std::round((eastLimit - x) / TileWidth));
  const double rows = std::floor((y - yMin) / TileHeight) + 1;
  if (columns < 1 || rows < 1 || columns * rows > MaxLayoutTiles) return std::nullopt;

  TTileLayout layout;
  layout.First = first;
  layout.WestX = x;
  layout.NorthY = y;
  layout.Columns = static_cast<std::int32_t>(columns);
  layout.Rows = static_cast<std::int32_t>(rows);
  return layout;
}

}  // namespace

std::int64_t RoundHalfEven(double value) {
  constexpr double limit = 9007199254740992.0;  // 2^53
  if (std::isnan(value)) return 0;
  if (value >= limit) return static_cast<std::int64_t>(limit);
  if (value <= -limit) return -static_cast<std::int64_t>(limit);
  const double below = std::floor(value);
  const double fraction = value - below;
  double rounded = below;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0)) rounded = below + 1.0;
  return static_cast<std::int64_t>(rounded);
}

}  // namespace qv
