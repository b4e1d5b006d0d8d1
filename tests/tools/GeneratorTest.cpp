// What the other tests, the benchmarks and the demo rely on in the height-model generator:
// values that are a pure function of seed and position (so windows are cuts of larger windows
// and tiles join without a seam), on the tile grid the library lays out, with realistic
// wooded-pasture statistics.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

#include "nhmgen/NhmGenerator.h"

namespace qv::nhmgen {
namespace {

// Values of `inner` (a window relative to the same tile) cut out of the values of `outer`.
std::vector<double> Cut(const std::vector<double>& outerValues, const DataWindow& outer,
                        const DataWindow& inner) {
  std::vector<double> cut;
  for (int r = inner.FirstRow; r < inner.FirstRow + inner.Rows; ++r) {
    for (int c = inner.FirstCol; c < inner.FirstCol + inner.Cols; ++c) {
      cut.push_back(outerValues[static_cast<std::size_t>(r - outer.FirstRow) *
                                    static_cast<std::size_t>(outer.Cols) +
                                static_cast<std::size_t>(c - outer.FirstCol)]);
    }
  }
  return cut;
}

TEST(NhmgenValues, aPureFunctionOfSeedAndPosition) {
  const DataWindow w{1200, 2000, 40, 60};
  const auto a = TileValues(7, {1091, 23}, w);
  EXPECT_EQ(a, TileValues(7, {1091, 23}, w));
  const auto b = TileValues(8, {1091, 23}, w);
  EXPECT_GT(std::inner_product(a.begin(), a.end(), b.begin(), 0, std::plus<>(),
                               std::not_equal_to<>()),
            static_cast<int>(a.size()) / 2);

  // Windows are cuts of a larger window, however thin, across the generator's row bands; crowns,
  // hedges and no-data areas drawn outside a window reach into it.
  const TileId tile{1091, 32};
  const DataWindow outer{180, 1000, 700, 90};
  const auto values = TileValues(3, tile, outer);
  std::vector<DataWindow> inner{{250, 1013, 300, 17}, {511, 1089, 1, 1}, {879, 1000, 1, 90}};
  for (int k = 0; k < 90; k += 7) inner.push_back({180, 1000 + k, 700, 1});
  for (int r = 180; r < 880; r += 37) inner.push_back({r, 1000, 1, 90});
  for (const DataWindow& i : inner) {
    EXPECT_EQ(TileValues(3, tile, i), Cut(values, outer, i)) << i.FirstRow << "," << i.FirstCol;
  }
  const TileOrigin o = OriginOf(tile);
  EXPECT_EQ(ValueAt(3, o.WestX + 1050, o.NorthY - 437), Cut(values, outer, {437, 1050, 1, 1})[0]);

  // Tiles join seamlessly across sheet borders, east (22 -> 11 of the next map) and south
  // (33 -> 11 of the map below).
  EXPECT_EQ(TileValues(11, {1091, 22}, {100, TileCols - 5, 30, 10}),
            TileValues(11, RightNeighbor({1091, 22}), {100, -5, 30, 10}));
  EXPECT_EQ(TileValues(11, {1091, 33}, {TileRows - 5, 2000, 10, 40}),
            TileValues(11, BelowNeighbor({1091, 33}), {-5, 2000, 10, 40}));
}

TEST(NhmgenTileGrid, tilesLieOnTheLibrarysGridWithoutGapOrOverlap) {
  // Map 1091: sheet column 11, sheet row 4; tile 23 is quarter 2 (east), sub-tile 3 (south).
  EXPECT_EQ(OriginOf({1091, 23}).WestX, 480000 + 17500 * 11 + 8750);
  EXPECT_EQ(OriginOf({1091, 23}).NorthY, 302000 - 12000 * 4 - 3000);
  EXPECT_EQ(RightNeighbor({1091, 12}), (TileId{1091, 21}));
  EXPECT_EQ(BelowNeighbor({1091, 33}), (TileId{1111, 11}));
  for (const int map : {1000, 1091, 1118, 985}) {
    for (const int t : {11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34, 41, 42, 43, 44}) {
      const TileOrigin o = OriginOf({map, t});
      const TileOrigin right = OriginOf(RightNeighbor({map, t}));
      const TileOrigin below = OriginOf(BelowNeighbor({map, t}));
      EXPECT_EQ(std::pair(right.WestX, right.NorthY), std::pair(o.WestX + TileCols, o.NorthY));
      EXPECT_EQ(std::pair(below.WestX, below.NorthY), std::pair(o.WestX, o.NorthY - TileRows));
    }
  }
  EXPECT_EQ(BlockTiles({1091, 22}, 3, 2),
            (std::vector<TileId>{{1091, 22}, {1092, 11}, {1092, 12}, {1091, 24}, {1092, 13},
                                 {1092, 14}}));
  EXPECT_THROW(BlockTiles({1099, 22}, 2, 1), std::invalid_argument);  // past the last column
}

TEST(LongNhmgenTile, aWholeTileLooksLikeWoodedPastureAndMatchesItsWindows) {
  const TileId tile{1091, 23};
  const auto values = TileValues(1, tile);
  const NhmStatistics s = ComputeStatistics(values, TileCols);
  EXPECT_EQ(s.Cells, std::int64_t{TileCols} * TileRows);
  EXPECT_NEAR(s.HighShare(), 0.40, 0.07);
  EXPECT_NEAR(s.RunsPerRow(), 150.0, 50.0);
  EXPECT_GT(s.NoDataCells, 0);
  EXPECT_LT(s.NoDataShare(), 0.02);
  for (const double v : values) {
    if (v == NoDataValue) continue;
    ASSERT_TRUE(v >= 0.0 && v <= 36.0 && v == std::round(v * 100.0) / 100.0) << v;
  }
  for (const DataWindow w : {DataWindow{0, 0, 1, TileCols}, DataWindow{2999, 4374, 1, 1},
                             DataWindow{1234, 17, 333, 2000}}) {
    EXPECT_EQ(TileValues(1, tile, w), Cut(values, DataWindow{}, w));
  }
}

}  // namespace
}  // namespace qv::nhmgen
