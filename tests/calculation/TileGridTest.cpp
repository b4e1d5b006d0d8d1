#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "TileFiles.h"
#include "calculation/TileGrid.h"
#include "calculation/WoodedAreaCalculation.h"

namespace qv {
namespace {

TEST(TileNumberAt, numbersSheetsQuartersAndTilesFromTheNorthWest) {
  EXPECT_EQ(TileNumberAt(480000, 302000), 100011);
  // Map 1091 is sheet row 4, column 11: north-west corner (672500, 254000).
  EXPECT_EQ(TileNumberAt(672600, 253900), 109111);
  EXPECT_EQ(TileNumberAt(672500 + 4376, 253999), 109112);
  EXPECT_EQ(TileNumberAt(672500 + 8750, 254000 - 1), 109121);
  EXPECT_EQ(TileNumberAt(672500 + 8750 + 4375, 254000 - 6000 - 3000), 109144);
  EXPECT_EQ(TileNumberAt(672500 + 100, 254000 - 3000), 109113);
  EXPECT_EQ(TileNumberAt(672500 + 100, 254000 - 6000), 109131);
}

TEST(TileNumberAt, sheetColumnEdgesUseFloor) {
  EXPECT_EQ(TileNumberAt(497500, 302000), 100111);    // first metre of sheet column 1
  EXPECT_EQ(TileNumberAt(497499.9, 302000), 100022);  // last of column 0
  EXPECT_EQ(TileNumberAt(829999, 301999), 101922);    // sheet column 19
  EXPECT_EQ(TileNumberAt(830000, 301999), 0);         // column 20 is off the grid
  EXPECT_EQ(TileNumberAt(479999.9, 301999), 0);       // column -1
  EXPECT_EQ(TileNumberAt(std::nan(""), 301999), 0);
  EXPECT_EQ(TileNumberAt(500000, std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(TileNumberAt(500000, -1e300), 0);  // far beyond what 32 bits can number
}

TEST(TileNumberAt, placesPointsNorthOfTheGridInNegativeSheetRows) {
  // y 302000.5 is in sheet row -1 (map 980), in its south-west quarter's third tile.
  EXPECT_EQ(TileNumberAt(480000, 302000.5), 98033);
  EXPECT_EQ(TileNumberAt(480000, 302000 + 12000), 98011);
  EXPECT_EQ(TileNumberAt(480000 + 5 * 17500, 302000 + 60 * 12000), -19489);  // map -195
}

TEST(TileNeighbors, rightNumberingWrapsToNextMapOnlyFromTheEasternTiles) {
  const int sameMap[][2] = {{11, 12}, {13, 14}, {21, 22}, {23, 24}, {31, 32}, {33, 34},
                            {41, 42}, {43, 44}, {12, 21}, {14, 23}, {32, 41}, {34, 43}};
  for (const auto& [from, to] : sameMap) {
    EXPECT_EQ(RightNeighborId({1091, from}), (TTileId{1091, to})) << from;
  }
  const int nextMap[][2] = {{22, 11}, {24, 13}, {42, 31}, {44, 33}};
  for (const auto& [from, to] : nextMap) {
    EXPECT_EQ(RightNeighborId({1091, from}), (TTileId{1092, to})) << from;
  }
  EXPECT_EQ(RightNeighborId({1091, 15}), (TTileId{1091, 15}));
  EXPECT_EQ(RightNeighborId({1091, 0}), (TTileId{1091, 0}));
}

TEST(TileNeighbors, belowNumberingWrapsToTheMapBelowFromTheSouthernTiles) {
  const int sameMap[][2] = {{11, 13}, {12, 14}, {21, 23}, {22, 24}, {31, 33}, {32, 34},
                            {41, 43}, {42, 44}, {13, 31}, {14, 32}, {23, 41}, {24, 42}};
  for (const auto& [from, to] : sameMap) {
    EXPECT_EQ(BelowNeighborId({1091, from}), (TTileId{1091, to})) << from;
  }
  const int mapBelow[][2] = {{33, 11}, {34, 12}, {43, 21}, {44, 22}};
  for (const auto& [from, to] : mapBelow) {
    EXPECT_EQ(BelowNeighborId({1091, from}), (TTileId{1111, to})) << from;
  }
  EXPECT_EQ(BelowNeighborId({1091, 45}), (TTileId{1091, 45}));
}

TEST(TilePosition, followsTheNumbersIncludingNegativeSheetRows) {
  EXPECT_EQ(TileWestX({1091, 11}), 672500);
  EXPECT_EQ(TileNorthY({1091, 11}), 254000);
  EXPECT_EQ(TileWestX({1091, 44}), 672500 + 8750 + 4375);
  EXPECT_EQ(TileNorthY({1091, 44}), 254000 - 6000 - 3000);
  // Map 985: sheet row -1, column 5 (a truncating division would give row 0).
  EXPECT_EQ(TileWestX({985, 11}), 480000 + 5 * 17500);
  EXPECT_EQ(TileNorthY({985, 11}), 314000);
  // Map -195: sheet row -60, column 5 (a truncating remainder would give column -15).
  EXPECT_EQ(TileWestX({-195, 11}), 480000 + 5 * 17500);
  EXPECT_EQ(TileNorthY({-195, 11}), 302000 + 60 * 12000);
}

TEST(RoundHalfEven, roundsHalvesToEvenAndClampsWhatCannotConvert) {
  constexpr std::int64_t Max = std::int64_t{1} << 53;
  const std::pair<double, std::int64_t> cases[] = {
      {0.5, 0},   {1.5, 2},   {2.5, 2},     {2.5000001, 3},    {-0.5, 0}, {-1.5, -2},
      {-2.5, -2}, {-2.6, -3}, {1e300, Max}, {std::nan(""), 0},
      {-std::numeric_limits<double>::infinity(), -Max}};
  for (const auto& [x, rounded] : cases) EXPECT_EQ(RoundHalfEven(x), rounded) << x;
}

struct TLaidOut {
  TWoodedAreaCalculation calc;
  std::int32_t count = 0;
  TLaidOut(double xMin, double yMax, double xMax, double yMin)
      : count(calc.SetExtent(xMin, yMax, xMax, yMin)) {}
  std::string Id(int r, int k) {
    const TTile& t = calc.Tiles.Get(r, k);
    return std::to_string(t.MapNumber) + "-" + std::to_string(t.TileNumber);
  }
};

TEST(SetExtent, anExtentInsideOneTileGivesOneTile) {
  TLaidOut l(672600, 253900, 673000, 253000);
  EXPECT_EQ(l.count, 1);
  EXPECT_TRUE(l.calc.LayoutReady);
  EXPECT_EQ(l.calc.Tiles.TileList, "1091-11,");
  const TTile& t = l.calc.Tiles.Get(0, 0);
  EXPECT_EQ(t.WestX, 672500);
  EXPECT_EQ(t.NorthY, 254000);
  EXPECT_EQ(test::Edges(l.calc.Extent), (std::array{672600.0, 253900.0, 673000.0, 253000.0}));
}

TEST(SetExtent, anExtentReachingExactlyOneTileWidthGivesTwoColumns) {
  TLaidOut l(672500, 254000, 672500 + 4375, 253000);
  EXPECT_EQ(l.count, 2);
  EXPECT_EQ(l.calc.Tiles.TileList, "1091-11,1091-12,");
  TTile& a = l.calc.Tiles.Get(0, 0);
  TTile& b = l.calc.Tiles.Get(0, 1);
  EXPECT_EQ(a.RightNeighbor, &b);
  EXPECT_EQ(b.LeftNeighbor, &a);
  EXPECT_EQ(a.LeftNeighbor, nullptr);
  EXPECT_EQ(b.TopNeighbor, nullptr);
  EXPECT_EQ(b.WestX, 672500 + 4375);
  // Just short of the next tile: one column.
  EXPECT_EQ(TLaidOut(672500, 254000, 672500 + 4374.9, 253000).count, 1);
}

TEST(SetExtent, continuesFromTile22WithTile11OfTheNextMapAndFrom44With22OfTheMapBelow) {
  // 1091-44 has its north-west cell at (685625, 245000).
  TLaidOut l(685700, 244990, 685625 + 4375 + 10, 245000 - 3000 - 5);
  ASSERT_EQ(l.count, 4);
  EXPECT_EQ(l.calc.Tiles.TileList, "1091-44,1092-33,1111-22,1112-11,");
  for (int r = 0; r < 2; ++r) {
    for (int k = 0; k < 2; ++k) {
      TTile& t = l.calc.Tiles.Get(r, k);
      EXPECT_EQ(t.WestX, TileWestX({t.MapNumber, t.TileNumber})) << l.Id(r, k);
      EXPECT_EQ(t.NorthY, TileNorthY({t.MapNumber, t.TileNumber})) << l.Id(r, k);
      EXPECT_EQ(t.TopNeighbor, r > 0 ? &l.calc.Tiles.Get(r - 1, k) : nullptr);
      EXPECT_EQ(t.LeftNeighbor, k > 0 ? &l.calc.Tiles.Get(r, k - 1) : nullptr);
      EXPECT_EQ(t.RightNeighbor, k < 1 ? &l.calc.Tiles.Get(r, k + 1) : nullptr);
    }
  }
  TLaidOut from22(685700, 253900, 685625 + 4375, 253000);
  EXPECT_EQ(from22.calc.Tiles.TileList, "1091-22,1092-11,");
  EXPECT_EQ(from22.calc.Tiles.Get(0, 1).WestX, 690000);
}

TEST(SetExtent, sheetColumnEdgesAndNegativeSheetRows) {
  EXPECT_EQ(TLaidOut(480000, 301000, 480100, 300000).Id(0, 0), "1000-11");
  EXPECT_EQ(TLaidOut(497500, 301000, 497600, 300000).Id(0, 0), "1001-11");
  EXPECT_EQ(TLaidOut(479999, 301000, 480100, 300000).count, 0);
  EXPECT_EQ(TLaidOut(830000, 301000, 830100, 300000).count, 0);

  // North of the grid: sheet row -1 (map 980) and on south into map 1000.
  TLaidOut north(480000, 302500, 480100, 301000);
  EXPECT_EQ(north.calc.Tiles.TileList, "980-33,1000-11,");
  EXPECT_EQ(north.calc.Tiles.Get(0, 0).NorthY, 305000);
  EXPECT_EQ(north.calc.Tiles.Get(1, 0).NorthY, 302000);
}

TEST(SetExtent, neverLaysOutTilesEastOfSheetColumn19) {
  // Tile 1019-22 is the last tile of the grid's first tile row.
  TLaidOut l(825700, 301000, 840000, 300000);
  EXPECT_EQ(l.count, 1);
  EXPECT_EQ(l.calc.Tiles.TileList, "1019-22,");
  EXPECT_EQ(l.calc.Tiles.Get(0, 0).RightNeighbor, nullptr);
}

TEST(SetExtent, anEmptyOrInvertedExtentGivesNoLayout) {
  TLaidOut columnsBelowOne(672600, 253900, 672400, 253000);
  EXPECT_EQ(columnsBelowOne.count, 0);
  EXPECT_FALSE(columnsBelowOne.calc.LayoutReady);
  EXPECT_EQ(columnsBelowOne.calc.Tiles.Count(), 0);
  EXPECT_EQ(TLaidOut(672600, 253900, 673000, 254100).count, 0);
  EXPECT_EQ(TLaidOut(672600, std::nan(""), 673000, 253000).count, 0);
  // Absurd extents are refused rather than laid out tile by tile.
  EXPECT_EQ(TLaidOut(672600, 253900, 673000, -1e12).count, 0);

  // A later good extent lays out again.
  TWoodedAreaCalculation calc;
  calc.SetExtent(672600, 253900, 672400, 253000);
  EXPECT_EQ(calc.SetExtent(672600, 253900, 673000, 253000), 1);
  EXPECT_TRUE(calc.LayoutReady);
}

TEST(SetExtent, tileNumberAtTheCornerNamesTheFirstTile) {
  const double corners[][2] = {
      {672600, 253900}, {685700, 244990}, {480000, 302500}, {497499, 290001}};
  for (const auto& [x, y] : corners) {
    TLaidOut l(x, y, x + 10, y - 10);
    const TTile& t = l.calc.Tiles.Get(0, 0);
    EXPECT_EQ(TWoodedAreaCalculation::TileNumberAt(x, y), t.MapNumber * 100 + t.TileNumber);
  }
}

}  // namespace
}  // namespace qv
