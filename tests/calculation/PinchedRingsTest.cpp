// Woods whose cells touch only at a corner: every written polygon is one valid simple-feature
// polygon (GEOS judges), whose boundary is cut into simple rings at the touching points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "Runs.h"

namespace qv::test {
namespace {

// The window lies across the corner where tiles 1091-11, -12, -13 and -14 meet: the vertical
// tile border runs between columns 19 and 20, the horizontal one between rows 14 and 15.
constexpr double X0 = WestX12 - 20;
constexpr double Y0 = NorthY13 + 15;

struct TExpectedParts {
  int Column, Row;                 // a pixel of the wood
  std::vector<double> SignedAreas;  // of its parts in order: the shell (negative) first
};

TEST(PinchedRings, eachWoodIsOneShellWithHolesTouchingAtTheirCorners) {
  // A "C" whose tips touch (a hole touching the shell), a clearing pinched in two (two holes
  // touching), a chain of pinches, each once inside a tile and once across a tile border or the
  // corner of four tiles, and a wood pinched only against the extent's east edge.
  const THeightWindow w = Drawn(X0, Y0, {
      "........................................",  // 0
      ".###.....#####..........................",  // 1
      ".#..#....#.###..........................",  // 2
      ".####....##.##...######.................",  // 3
      ".........###.#...#.####.................",  // 4
      ".........#####...##.###.................",  // 5
      ".................###.##.................",  // 6
      ".................######.................",  // 7
      "........................................",  // 8
      ".................###....................",  // 9
      ".................#..#...................",  // 10
      ".................####............######.",  // 11
      ".................................#.###.#",  // 12
      "..................####...........#######",  // 13
      "..................#.##..................",  // 14
      "..................##.#..................",  // 15
      "..................####..................",  // 16
      "........................................",  // 17
  });
  const std::vector<TExpectedParts> expected = {
      {1, 1, {-11, 2}},         // the C inside tile 11: the shell and the pocket behind the tips
      {9, 1, {-25, 1, 1, 1}},   // a chain of three clearing cells touching at corners
      {17, 3, {-30, 1, 1, 1}},  // the chain again, across the vertical tile border
      {17, 9, {-11, 2}},        // a C whose tips touch on the vertical tile border
      {18, 13, {-16, 1, 1}},    // a clearing pinched in two at the corner of four tiles
      {33, 11, {-20, 1, 1}},    // a real hole, and open land pinched off against the east edge
  };

  TRun run;
  run.calc.Settings.Limits.MinClearingArea = 0;
  run.calc.Settings.Limits.MinWoodedArea = 0;
  ASSERT_EQ(run.Lay(w), 4);
  run.WriteTiles();
  ASSERT_TRUE(run.Run());
  EXPECT_EQ(LayerFault(run, w), "");
  // A wood leaves the mesh once no later tile can reach it: the four in the upper tiles'
  // first rows before the last tile; the one on the corner of four tiles and the one in rows
  // 11 to 13 (a tile's last two rows are built with the tile below) only with the last.
  EXPECT_EQ(run.calc.State.PolygonsFinishedEarly, 4);

  const TRaster classes = w.Classes();
  const auto layer = ReadLayer(run.calc.Paths.WoodedShapePath);
  ASSERT_EQ(layer.size(), expected.size());
  for (const TExpectedParts& e : expected) {
    const int pixel = classes.Index(e.Column, e.Row);
    const auto record = std::find_if(layer.begin(), layer.end(), [&](auto& r) {
      const auto pixels = PixelsInside(classes, r.Rings);
      return std::binary_search(pixels.begin(), pixels.end(), pixel);
    });
    ASSERT_NE(record, layer.end()) << "no record covers " << e.Column << "," << e.Row;
    std::vector<double> areas;
    for (const TRing& ring : record->Rings) areas.push_back(SignedArea(ring));
    std::sort(areas.begin() + 1, areas.end());
    EXPECT_EQ(areas, e.SignedAreas) << "the wood at " << e.Column << "," << e.Row;
  }
}

TEST(PinchedRings, randomWoodsAcrossTheCornerOfFourTilesAreValidAndExact) {
  std::uint32_t state = 2024;
  auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
  for (int trial = 0; trial < 12; ++trial) {
    std::vector<std::string> picture(24, std::string(30, '.'));
    const unsigned density = 45 + 3 * static_cast<unsigned>(trial);
    for (auto& row : picture) {
      for (char& c : row) c = next() % 100 < density ? '#' : '.';
    }
    const THeightWindow w = Drawn(WestX12 - 15, NorthY13 + 12, picture);
    TRun run;
    run.calc.Settings.Limits.MinClearingArea = trial % 3;
    run.calc.Settings.Limits.MinWoodedArea = trial % 4;
    ASSERT_EQ(run.Lay(w), 4);
    run.WriteTiles();
    ASSERT_TRUE(run.Run());
    EXPECT_EQ(LayerFault(run, w), "") << "trial " << trial;
  }
}

}  // namespace
}  // namespace qv::test
