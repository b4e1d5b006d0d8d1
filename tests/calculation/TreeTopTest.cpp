// Crowns across a tile border and their order. Which pixels are tree tops and what their crowns
// are is judged in the whole runs, against a plain scan of the heights.
#include <gtest/gtest.h>

#include "Runs.h"
#include "geometry/Polygons.h"

namespace qv::test {
namespace {

// Own column 0 of tile 12 is tested against tile 11's last columns, which tile 12 builds itself
// (ring positions 2 and 3); crowns follow the visiting order, tile by tile.
TEST(TreeTop, ownColumnZeroIsTestedAgainstTheLeftNeighboursColumns) {
  TRun run;
  THeightWindow w{WestX12 - 6, NorthY11 - 10, 10, 3, std::vector<double>(30, 1.0)};
  w.At(2, 1) = 8, w.At(5, 1) = 20, w.At(6, 1) = 10, w.At(9, 1) = 9;
  ASSERT_TRUE(run.BuildMesh(w));
  const auto& crowns = *run.calc.CrownCircles;
  ASSERT_EQ(crowns.Count(), 3);  // the 10 m tree beside the 20 m one is none
  EXPECT_TRUE(crowns.HasHeights);
  EXPECT_EQ(crowns.Item(0).Height + crowns.Item(2).Height, 8 + 9);
  EXPECT_NEAR(crowns.Item(1).Centroid.X, WestX12 - 1, 1e-9);  // built by tile 12
  EXPECT_NEAR(crowns.Item(1).Centroid.Y, NorthY11 - 11, 1e-9);
}

}  // namespace
}  // namespace qv::test
