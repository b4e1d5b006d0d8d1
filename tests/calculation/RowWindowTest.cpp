#include <gtest/gtest.h>

#include "calculation/RowWindow.h"

namespace qv {
namespace {

constexpr double NorthY = 254000.0;

// A window for a file of nRows rows whose first row lies `northOfTile` metres north of the tile's
// first row (negative: south).
TRowWindow Window(double northOfTile, bool hasTop, double extentTopRow,
                  double extentBottomRow = 5000, std::int32_t nRows = 3000) {
  const double yTop = NorthY + northOfTile;
  const double yll = yTop - (nRows - 0.5);
  return TRowWindow::For(NorthY, hasTop, NorthY - extentTopRow, NorthY - extentBottomRow, nRows,
                         1.0, yll);
}

// One letter per row: '.' pass over, 's' skip, 'f' fill, 'R' read.
std::string Actions(const TRowWindow& w, int count) {
  std::string out;
  for (int r = 0; r < count; ++r) {
    const TRowAction a = w.ActionFor(r);
    out += a == TRowAction::PassOver ? '.'
           : a == TRowAction::Skip   ? 's'
           : a == TRowAction::Fill   ? 'f'
                                     : 'R';
  }
  return out;
}

TEST(RowWindow, anAlignedFileSkipsTheRowsNorthOfTheExtent) {
  const TRowWindow w = Window(0, false, 3);
  EXPECT_EQ(w.FileRowsAbove, 0);
  EXPECT_EQ(w.LastRow, 2999);
  EXPECT_EQ(Actions(w, 6), "sssRRR");
  EXPECT_EQ(Actions(Window(0, true, 3), 4), "RRRR");
}

TEST(RowWindow, aFileStartingNorthOfTheTileSkipsItsNorthernRowsFirst) {
  const TRowWindow w = Window(5, false, 2);
  EXPECT_EQ(w.FileRowsAbove, 5);
  EXPECT_EQ(Actions(w, 4), "ssRR");
  EXPECT_EQ(Window(2.5, false, 0).FileRowsAbove, 2);  // halves to even
  EXPECT_EQ(Window(3.5, false, 0).FileRowsAbove, 4);
}

TEST(RowWindow, aFileStartingSouthOfTheTileFillsTheRowsItDoesNotReach) {
  EXPECT_EQ(Actions(Window(-3, true, 0), 5), "fffRR");
  // First row of tiles, extent top north of the file: pass over, fill, then read from the
  // file's first row (skipping file rows here would shift the data north).
  EXPECT_EQ(Actions(Window(-4, false, 2), 6), "..ffRR");
  // Extent top south of the file's start: skip only the file rows that lie north of it.
  EXPECT_EQ(Actions(Window(-2, false, 5), 7), "..sssRR");
  EXPECT_EQ(Actions(Window(-3, false, 3), 5), "...RR");
}

TEST(RowWindow, lastRowFollowsTheExtentBottomWithinTheTile) {
  EXPECT_EQ(Window(0, true, 0, 10).LastRow, 10);
  EXPECT_EQ(Window(0, true, 0, 10.5).LastRow, 10);
  EXPECT_EQ(Window(0, true, 0, 11.5).LastRow, 12);
  EXPECT_EQ(Window(0, true, 0, 0.4).LastRow, 0);
  EXPECT_EQ(Window(0, true, 0, -7).LastRow, -1);  // nothing to read, never a negative row
}

TEST(RowWindow, absurdHeadersGiveClampedOffsets) {
  const TRowWindow north = Window(0, false, 0, 5000, 2000000000);
  EXPECT_EQ(north.FileRowsAbove, 0);
  const TRowWindow far = TRowWindow::For(NorthY, false, NorthY, NorthY - 10, 2000000000, 1e300, 0);
  EXPECT_EQ(far.FileRowsAbove, std::int64_t{1} << 53);
  EXPECT_EQ(far.FillRows, 0);
  const TRowWindow south = TRowWindow::For(NorthY, true, NorthY, NorthY - 10, 1, 1, -1e300);
  EXPECT_EQ(south.FillRows, std::int64_t{1} << 53);
  EXPECT_EQ(Actions(south, 3), "fff");
}

}  // namespace
}  // namespace qv
