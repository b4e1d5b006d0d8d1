#include <gtest/gtest.h>

#include <stdexcept>

#include "nhmgen/TileGrid.h"

namespace qv::nhmgen {
namespace {

TEST(NhmgenTileGrid, neighbourNumberingFollowsTheDeliveryGrid) {
  EXPECT_EQ(RightNeighbor({1091, 11}), (TileId{1091, 12}));
  EXPECT_EQ(RightNeighbor({1091, 12}), (TileId{1091, 21}));
  EXPECT_EQ(RightNeighbor({1091, 34}), (TileId{1091, 43}));
  EXPECT_EQ(RightNeighbor({1091, 22}), (TileId{1092, 11}));
  EXPECT_EQ(RightNeighbor({1091, 44}), (TileId{1092, 33}));
  EXPECT_EQ(BelowNeighbor({1091, 12}), (TileId{1091, 14}));
  EXPECT_EQ(BelowNeighbor({1091, 13}), (TileId{1091, 31}));
  EXPECT_EQ(BelowNeighbor({1091, 24}), (TileId{1091, 42}));
  EXPECT_EQ(BelowNeighbor({1091, 33}), (TileId{1111, 11}));
  EXPECT_EQ(BelowNeighbor({1091, 44}), (TileId{1111, 22}));
}

TEST(NhmgenTileGrid, originIsTheCentreOfTheNorthWestCell) {
  // Map 1091: sheet column 11, sheet row 4; tile 23 is quarter 2 (east), sub-tile 3 (south).
  const TileOrigin o = OriginOf({1091, 23});
  EXPECT_EQ(o.WestX, 480000 + 17500 * 11 + 8750);
  EXPECT_EQ(o.NorthY, 302000 - 12000 * 4 - 3000);
  // North of the grid's first sheet row: map 999 is column 19 of sheet row -1.
  const TileOrigin n = OriginOf({999, 11});
  EXPECT_EQ(n.WestX, 480000 + 17500 * 19);
  EXPECT_EQ(n.NorthY, 302000 + 12000);
}

TEST(NhmgenTileGrid, neighboursAdjoinWithoutGapOrOverlap) {
  const int tiles[] = {11, 12, 13, 14, 21, 22, 23, 24, 31, 32, 33, 34, 41, 42, 43, 44};
  for (const int map : {1000, 1091, 1118, 985}) {
    for (const int t : tiles) {
      const TileId tile{map, t};
      const TileOrigin o = OriginOf(tile);
      const TileOrigin right = OriginOf(RightNeighbor(tile));
      const TileOrigin below = OriginOf(BelowNeighbor(tile));
      EXPECT_EQ(right.WestX, o.WestX + TileCols) << map << "-" << t;
      EXPECT_EQ(right.NorthY, o.NorthY) << map << "-" << t;
      EXPECT_EQ(below.WestX, o.WestX) << map << "-" << t;
      EXPECT_EQ(below.NorthY, o.NorthY - TileRows) << map << "-" << t;
    }
  }
}

TEST(NhmgenTileGrid, headerCornerOfAWindowIsItsSouthWestCellEdge) {
  const TileId tile{1091, 23};
  EXPECT_DOUBLE_EQ(XllCorner(tile, {}), 681249.5);
  EXPECT_DOUBLE_EQ(YllCorner(tile, {}), 251000 - 2999.5);
  const DataWindow w{10, 20, 5, 7};
  EXPECT_DOUBLE_EQ(XllCorner(tile, w), 681269.5);
  EXPECT_DOUBLE_EQ(YllCorner(tile, w), 250985.5);
  const Region r = WindowRegion(tile, w);
  EXPECT_EQ(r.West, 681270);
  EXPECT_EQ(r.North, 250990);
  EXPECT_EQ(r.South(), 250986);
}

TEST(NhmgenTileGrid, blockIsRowMajorAndRefusesToWrapPastTheLastSheetColumn) {
  const auto tiles = BlockTiles({1091, 22}, 3, 2);
  const std::vector<TileId> expected{{1091, 22}, {1092, 11}, {1092, 12},
                                     {1091, 24}, {1092, 13}, {1092, 14}};
  EXPECT_EQ(tiles, expected);
  EXPECT_NO_THROW(BlockTiles({1099, 21}, 2, 1));
  EXPECT_THROW(BlockTiles({1099, 22}, 2, 1), std::invalid_argument);
  EXPECT_THROW(BlockTiles({1091, 15}, 1, 1), std::invalid_argument);
  EXPECT_THROW(BlockTiles({1091, 50}, 1, 1), std::invalid_argument);
  EXPECT_THROW(BlockTiles({1091, 11}, 0, 1), std::invalid_argument);
}

TEST(NhmgenTileGrid, fileNamesJoinTheNamingParts) {
  FileNaming naming;
  EXPECT_EQ(TileFileName(naming, {1105, 22}), "110522_dhm_grid1.txt");
  naming.Prefix = "mnh";
  naming.Separator = "-";
  EXPECT_EQ(TileFileName(naming, {1091, 23}), "mnh1091-23_dhm_grid1.txt");
  EXPECT_EQ(WithExtension("mnh1091-23_dhm_grid1.txt", ".flt"), "mnh1091-23_dhm_grid1.flt");
  EXPECT_EQ(WithExtension("a.b/mnh1091", ".hdr"), "a.b/mnh1091.hdr");
}

TEST(NhmgenTileGrid, windowsMustBeNonEmptyAndOfSaneSize) {
  EXPECT_NO_THROW(CheckWindow({}));
  EXPECT_NO_THROW(CheckWindow({-4, -4, 3008, 4383}));
  EXPECT_THROW(CheckWindow({0, 0, 0, 5}), std::invalid_argument);
  EXPECT_THROW(CheckWindow({0, 0, 5, -1}), std::invalid_argument);
  EXPECT_THROW(CheckWindow({0, 0, 5, 2000000000}), std::invalid_argument);
}

}  // namespace
}  // namespace qv::nhmgen
