#include <gtest/gtest.h>

#include "RasterOracle.h"

namespace qv::test {
namespace {

TRasterWindow Window(std::vector<const char*> rows) {
  TRasterWindow w;
  w.Height = static_cast<int>(rows.size());
  w.Width = static_cast<int>(std::string_view(rows[0]).size());
  for (const char* row : rows) {
    for (int c = 0; c < w.Width; ++c) w.Wooded.push_back(row[c] == '#' ? 1 : 0);
  }
  return w;
}

// The reference itself must be right before it can judge anything.
TEST(RasterOracle, findsRegionsAndHolesWithPinchedPocketsAsOneHole) {
  const auto w = Window({
      "######",
      "#..###",
      "#.#.##",  // the pocket at (3,2) touches the other pocket only at a corner
      "##..##",
      "######",
  });
  const auto regions = FindRegions(w);
  int wooded = 0, open = 0;
  for (const auto& r : regions) (r.Wooded ? wooded : open)++;
  EXPECT_EQ(wooded, 2);  // the ring and the island at (2,2)
  EXPECT_EQ(open, 2);    // (1,1),(2,1),(1,2) and (3,2),(2,3),(3,3) touch only at corners
  const auto& ring = regions[0];
  ASSERT_TRUE(ring.Wooded);
  ASSERT_EQ(ring.Holes.size(), 1u);
  EXPECT_EQ(ring.Holes[0].size(), 7u);  // both pockets and the island
}

TEST(RasterOracle, pocketsReachingTheBorderEvenThroughACornerAreNoHoles) {
  const auto pinched = Window({
      "###.",
      "#..#",  // (2,1) touches the outside pixel (3,0) at a corner
      "####",
  });
  auto regions = FindRegions(pinched);
  ASSERT_TRUE(regions[0].Wooded);
  EXPECT_TRUE(regions[0].Holes.empty());

  const auto closed = Window({
      "####",
      "#..#",
      "####",
  });
  regions = FindRegions(closed);
  ASSERT_EQ(regions[0].Holes.size(), 1u);
  EXPECT_EQ(regions[0].Holes[0].size(), 2u);
}

TEST(RasterOracle, rasterisesRingsByTheEvenOddRule) {
  TRasterWindow w;
  w.Width = 4;
  w.Height = 3;
  w.X0 = 100;
  w.Y0 = 50;
  w.Wooded.assign(12, 0);
  // Outer square around columns 0..3, rows 0..2; hole around (1,1).
  TRingPoints outer{{{99.5, 50.5}, {99.5, 47.5}, {103.5, 47.5}, {103.5, 50.5}}};
  TRingPoints hole{{{100.5, 49.5}, {101.5, 49.5}, {101.5, 48.5}, {100.5, 48.5}}};
  EXPECT_GT(SignedArea(outer), 0.0);
  EXPECT_LT(SignedArea(hole), 0.0);
  const auto pixels = RasterizeEvenOdd(w, {outer, hole});
  EXPECT_EQ(pixels.size(), 11u);
  EXPECT_EQ(std::count(pixels.begin(), pixels.end(), w.Index(1, 1)), 0);
}

}  // namespace
}  // namespace qv::test
