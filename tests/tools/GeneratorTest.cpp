#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

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

TEST(NhmgenValues, sameSeedGivesSameValuesAndOtherSeedsDiffer) {
  const DataWindow w{1200, 2000, 40, 60};
  const auto a = TileValues(7, {1091, 23}, w);
  EXPECT_EQ(a, TileValues(7, {1091, 23}, w));
  const auto b = TileValues(8, {1091, 23}, w);
  const auto differing =
      std::inner_product(a.begin(), a.end(), b.begin(), 0, std::plus<>(), std::not_equal_to<>());
  EXPECT_GT(differing, static_cast<int>(a.size()) / 2);
}

TEST(NhmgenValues, anyWindowHoldsTheValuesOfTheLargerWindow) {
  // Tall enough to span several internal bands of rows, so band edges are crossed too.
  const TileId tile{1091, 32};
  const DataWindow outer{180, 1000, 700, 90};
  const auto values = TileValues(3, tile, outer);
  for (const DataWindow inner : {DataWindow{180, 1000, 1, 90}, DataWindow{250, 1013, 300, 17},
                                 DataWindow{511, 1089, 1, 1}, DataWindow{879, 1000, 1, 90}}) {
    EXPECT_EQ(TileValues(3, tile, inner), Cut(values, outer, inner))
        << inner.FirstRow << "," << inner.FirstCol;
  }
  const TileOrigin o = OriginOf(tile);
  for (const auto& [r, c] : {std::pair{180, 1000}, {437, 1050}, {879, 1089}}) {
    EXPECT_EQ(ValueAt(3, o.WestX + c, o.NorthY - r), Cut(values, outer, {r, c, 1, 1})[0]);
  }
}

TEST(NhmgenValues, tilesJoinSeamlesslyAcrossSheetBorders) {
  const std::uint64_t seed = 11;
  // 22 -> 11 of the next map (east), 33 -> 11 of the map below (south): the windows reach five
  // cells into the neighbour, and the neighbour's windows five cells back.
  const TileId west{1091, 22};
  const TileId east = RightNeighbor(west);
  EXPECT_EQ(TileValues(seed, west, {100, TileCols - 5, 30, 10}),
            TileValues(seed, east, {100, -5, 30, 10}));
  const TileId north{1091, 33};
  const TileId south = BelowNeighbor(north);
  EXPECT_EQ(TileValues(seed, north, {TileRows - 5, 2000, 10, 40}),
            TileValues(seed, south, {-5, 2000, 10, 40}));
}

TEST(NhmgenValues, valuesAreHeightsInHundredthsOrNoData) {
  const auto values = TileValues(5, {1091, 11}, {0, 0, 120, TileCols});
  double highest = 0.0;
  for (const double v : values) {
    if (v == NoDataValue) continue;
    ASSERT_GE(v, 0.0);
    ASSERT_EQ(v, std::round(v * 100.0) / 100.0) << v;
    highest = std::max(highest, v);
  }
  EXPECT_GT(highest, 20.0);
  EXPECT_LE(highest, 36.0);
  const auto open =
      std::count_if(values.begin(), values.end(), [](double v) { return v >= 0.0 && v < 1.0; });
  const auto shrubs =
      std::count_if(values.begin(), values.end(), [](double v) { return v >= 1.0 && v < 2.0; });
  EXPECT_GT(open, static_cast<std::ptrdiff_t>(values.size() / 4));
  EXPECT_GT(shrubs, 0);
}

TEST(NhmgenValues, someNoDataAreasExist) {
  // The no-data areas are sparse; over a block of tiles some must show up, but few cells.
  NhmStatistics total;
  for (const TileId tile : BlockTiles({1091, 11}, 4, 4)) {
    for (int row = 0; row < TileRows; row += 100) {
      total += WindowStatistics(2, tile, {row, 0, 1, TileCols});
    }
  }
  EXPECT_GT(total.NoDataCells, 0);
  EXPECT_LT(total.NoDataShare(), 0.02);
}

TEST(NhmgenValues, fullWidthRowsLookLikeWoodedPasture) {
  // A few bands of full-width rows at different places and seeds.
  for (const std::uint64_t seed : {1u, 2u, 3u}) {
    NhmStatistics s;
    for (const TileId tile : {TileId{1091, 11}, TileId{1091, 24}, TileId{1112, 41}}) {
      for (const int row : {150, 1600, 2900}) {
        s += WindowStatistics(seed, tile, {row, 0, 4, TileCols});
      }
    }
    EXPECT_GE(s.HighShare(), 0.30) << "seed " << seed;
    EXPECT_LE(s.HighShare(), 0.50) << "seed " << seed;
    EXPECT_GE(s.RunsPerRow(), 100.0) << "seed " << seed;
    EXPECT_LE(s.RunsPerRow(), 250.0) << "seed " << seed;
  }
}

TEST(LongNhmgenTile, wholeTileIsRealisticAndMatchesItsWindows) {
  const TileId tile{1091, 23};
  const auto values = TileValues(1, tile);

  const NhmStatistics s = ComputeStatistics(values, TileCols);
  EXPECT_EQ(s.Cells, std::int64_t{TileCols} * TileRows);
  EXPECT_NEAR(s.HighShare(), 0.40, 0.07);
  EXPECT_GT(s.Runs, 300000);
  EXPECT_NEAR(s.RunsPerRow(), 150.0, 50.0);

  const DataWindow whole;
  for (const DataWindow w : {DataWindow{0, 0, 1, TileCols}, DataWindow{2999, 4374, 1, 1},
                             DataWindow{1234, 17, 333, 2000}}) {
    EXPECT_EQ(TileValues(1, tile, w), Cut(values, whole, w));
  }
}

}  // namespace
}  // namespace qv::nhmgen
