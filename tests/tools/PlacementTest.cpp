// Crowns and no-data areas reach several cells beyond their centres. A region must show every
// one that reaches into it, however thin the region: these tests draw each kind of feature
// into a square and into one-row and one-column strips of it and compare.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "nhmgen/Landscape.h"
#include "nhmgen/Vegetation.h"

namespace qv::nhmgen {
namespace {

using AddFeatures = void (*)(std::uint64_t, Canopy&);

// The cells of `region` as `add` draws them, row by row.
std::vector<float> Draw(AddFeatures add, std::uint64_t seed, const Region& region) {
  Canopy canopy(region);
  add(seed, canopy);
  std::vector<float> cells;
  for (int r = 0; r < region.Rows; ++r) {
    for (int c = 0; c < region.Cols; ++c) cells.push_back(canopy.At(r, c));
  }
  return cells;
}

// Cells in which a one-row or one-column strip differs from the whole region; `render` gives
// the cells of a region row by row.
template <typename Render>
int StripMismatches(const Render& render, const Region& whole) {
  const auto all = render(whole);
  const auto at = [&](int r, int c) { return all[static_cast<std::size_t>(r * whole.Cols + c)]; };
  int mismatches = 0;
  for (int r = 0; r < whole.Rows; ++r) {
    const auto strip = render(Region{whole.West, whole.North - r, whole.Cols, 1});
    for (int c = 0; c < whole.Cols; ++c) mismatches += strip[std::size_t(c)] != at(r, c);
  }
  for (int c = 0; c < whole.Cols; ++c) {
    const auto strip = render(Region{whole.West + c, whole.North, 1, whole.Rows});
    for (int r = 0; r < whole.Rows; ++r) mismatches += strip[std::size_t(r)] != at(r, c);
  }
  return mismatches;
}

// In a square of the landscape in which `add` draws at least `wanted` cells, so that the
// comparison means something.
void ExpectStripsMatchWhole(AddFeatures add, std::uint64_t seed, int side, int wanted) {
  const auto draw = [&](const Region& r) { return Draw(add, seed, r); };
  for (std::int64_t k = 0; k < 50; ++k) {
    const Region r{600000 + 977 * k, 200000 - 613 * k, side, side};
    const auto cells = draw(r);
    if (std::count_if(cells.begin(), cells.end(), [](float v) { return v > 0.0f; }) >= wanted) {
      EXPECT_EQ(StripMismatches(draw, r), 0);
      return;
    }
  }
  ADD_FAILURE() << "no region with enough features";
}

TEST(NhmgenPlacement, standAndPastureTreesReachThinRegions) {
  ExpectStripsMatchWhole(AddTrees, 21, 200, 10000);
}

TEST(NhmgenPlacement, shrubsReachThinRegions) { ExpectStripsMatchWhole(AddShrubs, 22, 200, 1000); }

TEST(NhmgenPlacement, hedgesReachThinRegions) { ExpectStripsMatchWhole(AddHedges, 23, 300, 1000); }

TEST(NhmgenPlacement, noDataAreasReachThinRegions) {
  // Find a no-data area, then compare rendering a square around it whole and in strips.
  const std::uint64_t seed = 24;
  const auto render = [seed](const Region& r) {
    std::vector<std::int32_t> cells(static_cast<std::size_t>(r.Rows * r.Cols));
    RenderRegion(seed, r, cells);
    return cells;
  };
  Region found{};
  for (std::int64_t y = 200000; y > 190000 && found.Cols == 0; y -= 20) {
    const auto row = render(Region{600000, y, 4000, 1});
    const auto hole = std::find(row.begin(), row.end(), NoDataHundredths);
    if (hole != row.end()) found = Region{600000 + (hole - row.begin()) - 90, y + 90, 180, 180};
  }
  ASSERT_GT(found.Cols, 0);
  EXPECT_EQ(StripMismatches(render, found), 0);
}

}  // namespace
}  // namespace qv::nhmgen
