#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "RecordingPlatform.h"
#include "RowPassRun.h"
#include "calculation/RowGeometry.h"
#include "calculation/TreeTops.h"
#include "calculation/WoodedAreaCalculation.h"

namespace qv {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

// A tile whose ring is filled by hand: every value 1 m (open) until a test sets others.
class TreeTop : public ::testing::Test {
 protected:
  void SetUp() override {
    tile.WestX = test::WestX11;
    tile.NorthY = test::NorthY11;
    tile.NoDataValue = -9999;
    tile.AllocateBuffers();
    for (int s = 0; s < TTile::RingRows; ++s) {
      for (auto& v : tile.RowRing(s)) v = 1.0;
    }
    calc.BeginRun();
  }
  void Set(int dx, int dy, double value) {
    tile.RowRing((Slot + dy + TTile::RingRows) % TTile::RingRows)[P + dx] = value;
  }
  // The per-pixel step at the test pixel; true for a high pixel.
  bool Step() {
    TRowPassContext ctx = calc.RowPassContext();
    return TreeTopStep(ctx, tile, TRingRows::Around(tile, Slot), P, 100.0);
  }
  int Circles() const { return calc.CrownCircles->Count(); }

  static constexpr int Slot = 1;
  static constexpr int P = 10;
  test::RecordingPlatform platform;
  TTile tile;
  TWoodedAreaCalculation calc;
};

TEST_F(TreeTop, aLonePixelAndEveryPixelOfAFlatTopAreTreeTops) {
  Set(0, 0, 12.5);
  EXPECT_TRUE(Step());
  EXPECT_EQ(Circles(), 1);
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) Set(dx, dy, 12.5);
  }
  EXPECT_TRUE(Step());
  EXPECT_EQ(Circles(), 2);
}

TEST_F(TreeTop, theMinimumHeightIsHighAndATenthOfAMillimetreLessIsNeither) {
  Set(0, 0, 2.0);
  EXPECT_TRUE(Step());
  EXPECT_EQ(Circles(), 1);
  Set(0, 0, 1.9999);
  EXPECT_FALSE(Step());
  EXPECT_EQ(Circles(), 1);
}

TEST_F(TreeTop, onlyTheFourCornersOfTheFiveByFiveSquareNeverDisqualify) {
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) {
      if (dx == 0 && dy == 0) continue;
      Set(0, 0, 10.0);
      Set(dx, dy, 10.01);
      const int before = Circles();
      EXPECT_TRUE(Step());
      const bool corner = std::abs(dx) == 2 && std::abs(dy) == 2;
      EXPECT_EQ(Circles() - before, corner ? 1 : 0) << dx << "," << dy;
      Set(dx, dy, 1.0);
    }
  }
}

TEST_F(TreeTop, noDataAndNonFiniteNeighboursAreIgnoredAndNonFinitePixelsAreOpen) {
  tile.NoDataValue = 9999;  // a no-data value above every tree
  Set(0, 0, 10.0);
  Set(1, 0, 9999);
  Set(-1, 0, Inf);
  Set(0, 1, std::nan(""));
  EXPECT_TRUE(Step());
  EXPECT_EQ(Circles(), 1);
  for (const double v : {Inf, -Inf, std::nan(""), 9999.0}) {
    Set(0, 0, v);
    EXPECT_FALSE(Step()) << v;
  }
  EXPECT_EQ(Circles(), 1);
}

TEST_F(TreeTop, aCrownCircleStartsDueEastAndCachesTheDiscArea) {
  calc.TreeRadiusParam1 = 0.0;
  calc.TreeRadiusParam0 = 3.0;
  Set(0, 0, 17.25);
  ASSERT_TRUE(Step());
  ASSERT_EQ(Circles(), 1);
  const T2DPolygon0& c = calc.CrownCircles->Item(0);
  const double x = PixelCenterX(tile, P);
  EXPECT_EQ(x, test::WestX11 + P - 4);
  ASSERT_EQ(c.Count(), 36);
  EXPECT_DOUBLE_EQ(c.Point(0).X, x + 3);
  EXPECT_DOUBLE_EQ(c.Point(0).Y, 100.0);
  EXPECT_NEAR(c.Point(9).X, x, 1e-9);
  EXPECT_DOUBLE_EQ(c.Point(9).Y, 103.0);
  EXPECT_DOUBLE_EQ(c.Area(), std::numbers::pi * 9);
  EXPECT_EQ(c.MinX, x - 3);
  EXPECT_EQ(c.MaxX, x + 3);
  EXPECT_TRUE(c.IsWooded);
  EXPECT_EQ(c.Height, 17.25);
  EXPECT_TRUE(calc.CrownCircles->HasHeights);
}

TEST_F(TreeTop, aRadiusOfZeroOrLessStillCountsTheTreeWithAnEmptyCircle) {
  calc.TreeRadiusParam1 = -1.0;
  calc.TreeRadiusParam0 = 5.0;
  Set(0, 0, 5.0);
  ASSERT_TRUE(Step());
  Set(0, 0, 6.0);
  ASSERT_TRUE(Step());
  ASSERT_EQ(Circles(), 2);
  EXPECT_EQ(calc.CrownCircles->Item(0).Count(), 0);
  EXPECT_EQ(calc.CrownCircles->Item(1).Count(), 0);
  EXPECT_FALSE(calc.CrownCircles->Item(1).AreaValid());
  EXPECT_EQ(calc.CrownCircles->Item(1).Height, 6.0);
}

// Through the tile pass: own column 0 of tile 12 is tested against tile 11's last columns, which
// tile 12 itself builds (ring positions 2 and 3); circles follow the visiting order.
TEST(TreeTopsInTheTilePass, ownColumnZeroIsTestedAgainstTheLeftNeighboursColumns) {
  test::TRowPassRun run;
  test::THeightWindow w{test::WestX12 - 6, test::NorthY11 - 10, 10, 3, {}};
  w.Values = {1, 1, 1, 1, 1, 1,  1,  1, 1, 1,  //
              1, 1, 8, 1, 1, 20, 10, 1, 1, 9,  //
              1, 1, 1, 1, 1, 1,  1,  1, 1, 1};
  ASSERT_TRUE(run.Run(w));
  const auto& circles = *run.calc.CrownCircles;
  ASSERT_EQ(circles.Count(), 3);
  const double y = test::NorthY11 - 11;
  // West to east: tile 11 builds its own 8 m tree, tile 12 the 20 m tree on tile 11's last
  // column; the 10 m tree on tile 12's column 0 stands next to it and is no tree top.
  EXPECT_EQ(circles.Item(0).Height, 8);
  EXPECT_NEAR(circles.Item(0).Centroid.Y, y, 1e-9);
  EXPECT_EQ(circles.Item(1).Height, 20);
  EXPECT_NEAR(circles.Item(1).Centroid.X, test::WestX12 - 1, 1e-9);
  EXPECT_EQ(circles.Item(2).Height, 9);
  EXPECT_NEAR(circles.Item(2).Centroid.X, test::WestX12 + 3, 1e-9);
}

}  // namespace
}  // namespace qv
