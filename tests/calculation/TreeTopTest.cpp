// The tree-top step on a ring filled by hand, and once through the tile pass across a border.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "RowPassRun.h"
#include "calculation/TreeTops.h"
#include "geometry/Polygons.h"

namespace qv::test {
namespace {

// A tile whose ring holds 1 m (open) everywhere until a test sets other values.
class TreeTop : public ::testing::Test {
 protected:
  void SetUp() override {
    tile.WestX = WestX11;
    tile.NoDataValue = -9999;
    tile.AllocateBuffers();
    for (int s = 0; s < TTile::RingRows; ++s) std::ranges::fill(tile.RowRing(s), 1.0);
  }
  void Set(int dx, int dy, double value) {
    tile.RowRing((1 + dy + TTile::RingRows) % TTile::RingRows)[10 + dx] = value;
  }
  // The step at ring slot 1, position 10; true for a high pixel.
  bool Step() {
    TRowPassContext ctx{mesh, crowns, tree, {}, {}};
    return TreeTopStep(ctx, tile, TRingRows::Around(tile, 1), 10, 100.0);
  }

  TTile tile;
  T2DPolygonMesh mesh;
  T2DPolygons crowns;
  TTreeParameters tree;
};

TEST_F(TreeTop, everyPixelOfAFlatTopIsATreeTopAndTheMinimumHeightIsHigh) {
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) Set(dx, dy, 2.0);
  }
  EXPECT_TRUE(Step());
  Set(0, 0, 1.9999);
  EXPECT_FALSE(Step());
  EXPECT_EQ(crowns.Count(), 1);
}

TEST_F(TreeTop, onlyTheFourCornersOfTheFiveByFiveSquareNeverDisqualify) {
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) {
      if (dx == 0 && dy == 0) continue;
      Set(0, 0, 10.0);
      Set(dx, dy, 10.01);
      const int before = crowns.Count();
      EXPECT_TRUE(Step());
      EXPECT_EQ(crowns.Count() - before, std::abs(dx) == 2 && std::abs(dy) == 2 ? 1 : 0)
          << dx << "," << dy;
      Set(dx, dy, 1.0);
    }
  }
}

TEST_F(TreeTop, noDataAndNonFiniteNeighboursAreIgnoredAndNonFinitePixelsAreOpen) {
  tile.NoDataValue = 9999;  // a no-data value above every tree
  Set(0, 0, 10.0);
  Set(1, 0, 9999);
  Set(-1, 0, std::numeric_limits<double>::infinity());
  Set(0, 1, std::nan(""));
  EXPECT_TRUE(Step());
  for (const double v :
       {std::numeric_limits<double>::infinity(), -HUGE_VAL, std::nan(""), 9999.0}) {
    Set(0, 0, v);
    EXPECT_FALSE(Step()) << v;
  }
  EXPECT_EQ(crowns.Count(), 1);
}

TEST_F(TreeTop, theCrownIsACircleOfTheLinearRadiusAtThePixelCentreEvenWhenEmpty) {
  tree = {2.0, 36, 3.0, 0.5};
  Set(0, 0, 17.25);
  ASSERT_TRUE(Step());
  tree = {2.0, 36, 5.0, -1.0};  // a radius of -1 m: no points, but the tree counts
  Set(0, 0, 6.0);
  ASSERT_TRUE(Step());
  ASSERT_EQ(crowns.Count(), 2);
  const T2DPolygon0& c = crowns.Item(0);
  const double x = WestX11 + 10 - TTile::OverlapColumns, r = 0.5 * 17.25 + 3.0;
  ASSERT_EQ(c.Count(), 36);
  EXPECT_DOUBLE_EQ(c.Point(0).X, x + r);
  EXPECT_DOUBLE_EQ(c.Point(0).Y, 100.0);
  EXPECT_DOUBLE_EQ(c.Area(), std::numbers::pi * r * r);
  EXPECT_TRUE(c.IsWooded);
  EXPECT_EQ(c.Height, 17.25);
  EXPECT_EQ(crowns.Item(1).Count(), 0);
  EXPECT_EQ(crowns.Item(1).Height, 6.0);
}

// Own column 0 of tile 12 is tested against tile 11's last columns, which tile 12 builds itself
// (ring positions 2 and 3); circles follow the visiting order.
TEST(TreeTopsInTheTilePass, ownColumnZeroIsTestedAgainstTheLeftNeighboursColumns) {
  TRowPassRun run;
  THeightWindow w{WestX12 - 6, NorthY11 - 10, 10, 3, std::vector<double>(30, 1.0)};
  w.At(2, 1) = 8;
  w.At(5, 1) = 20;
  w.At(6, 1) = 10;
  w.At(9, 1) = 9;
  ASSERT_TRUE(run.Run(w));
  const auto& circles = *run.calc.CrownCircles;
  ASSERT_EQ(circles.Count(), 3);
  EXPECT_TRUE(circles.HasHeights);
  EXPECT_EQ(circles.Item(0).Height, 8);  // tile 11's own
  EXPECT_NEAR(circles.Item(0).Centroid.Y, NorthY11 - 11, 1e-9);
  EXPECT_EQ(circles.Item(1).Height, 20);  // on tile 11's last column, built by tile 12
  EXPECT_NEAR(circles.Item(1).Centroid.X, WestX12 - 1, 1e-9);
  EXPECT_EQ(circles.Item(2).Height, 9);  // the 10 m tree beside the 20 m one is none
}

}  // namespace
}  // namespace qv::test
