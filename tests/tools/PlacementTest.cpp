// Crowns and no-data areas reach several cells beyond their centres. A region must show every
// one that reaches into it, however thin the region: these tests draw each kind of feature
// into a square and into one-row and one-column strips of it and compare.
#include <gtest/gtest.h>

#include <vector>

#include "nhmgen/Landscape.h"
#include "nhmgen/Vegetation.h"

namespace qv::nhmgen {
namespace {

using AddFeatures = void (*)(std::uint64_t, Canopy&);

int CoveredCells(const Canopy& c) {
  int n = 0;
  for (int r = 0; r < c.Bounds().Rows; ++r) {
    for (int col = 0; col < c.Bounds().Cols; ++col) {
      n += c.At(r, col) > 0.0f ? 1 : 0;
    }
  }
  return n;
}

void ExpectStripsMatchWhole(AddFeatures add, std::uint64_t seed, const Region& whole) {
  Canopy all(whole);
  add(seed, all);
  int mismatches = 0;
  for (int r = 0; r < whole.Rows; ++r) {
    Canopy strip(Region{whole.West, whole.North - r, whole.Cols, 1});
    add(seed, strip);
    for (int c = 0; c < whole.Cols; ++c) {
      mismatches += strip.At(0, c) != all.At(r, c) ? 1 : 0;
    }
  }
  for (int c = 0; c < whole.Cols; ++c) {
    Canopy strip(Region{whole.West + c, whole.North, 1, whole.Rows});
    add(seed, strip);
    for (int r = 0; r < whole.Rows; ++r) {
      mismatches += strip.At(r, 0) != all.At(r, c) ? 1 : 0;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

// A square of the landscape in which `add` draws plenty, so the comparison means something.
Region BusyRegion(AddFeatures add, std::uint64_t seed, int side, int wanted) {
  for (std::int64_t k = 0; k < 50; ++k) {
    const Region r{600000 + 977 * k, 200000 - 613 * k, side, side};
    Canopy c(r);
    add(seed, c);
    if (CoveredCells(c) >= wanted) {
      return r;
    }
  }
  ADD_FAILURE() << "no region with enough features";
  return Region{600000, 200000, side, side};
}

TEST(NhmgenPlacement, standAndPastureTreesReachThinRegions) {
  ExpectStripsMatchWhole(AddTrees, 21, BusyRegion(AddTrees, 21, 200, 10000));
}

TEST(NhmgenPlacement, shrubsReachThinRegions) {
  ExpectStripsMatchWhole(AddShrubs, 22, BusyRegion(AddShrubs, 22, 200, 1000));
}

TEST(NhmgenPlacement, hedgesReachThinRegions) {
  ExpectStripsMatchWhole(AddHedges, 23, BusyRegion(AddHedges, 23, 300, 1000));
}

TEST(NhmgenPlacement, noDataAreasReachThinRegions) {
  // Find a no-data area, then compare rendering a square around it whole and in strips.
  const std::uint64_t seed = 24;
  Region found{};
  std::vector<std::int32_t> row(4000);
  for (std::int64_t y = 200000; y > 190000 && found.Cols == 0; y -= 20) {
    RenderRegion(seed, Region{600000, y, 4000, 1}, row);
    for (int c = 0; c < 4000; ++c) {
      if (row[static_cast<std::size_t>(c)] == NoDataHundredths) {
        found = Region{600000 + c - 90, y + 90, 180, 180};
        break;
      }
    }
  }
  ASSERT_GT(found.Cols, 0);
  std::vector<std::int32_t> all(180 * 180);
  RenderRegion(seed, found, all);
  std::vector<std::int32_t> strip(180);
  int mismatches = 0;
  for (int r = 0; r < found.Rows; ++r) {
    RenderRegion(seed, Region{found.West, found.North - r, found.Cols, 1}, strip);
    for (int c = 0; c < found.Cols; ++c) {
      mismatches +=
          strip[static_cast<std::size_t>(c)] != all[static_cast<std::size_t>(r * 180 + c)];
    }
  }
  for (int c = 0; c < found.Cols; ++c) {
    RenderRegion(seed, Region{found.West + c, found.North, 1, found.Rows}, strip);
    for (int r = 0; r < found.Rows; ++r) {
      mismatches +=
          strip[static_cast<std::size_t>(r)] != all[static_cast<std::size_t>(r * 180 + c)];
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace qv::nhmgen
