// The row pass against the flood-fill reference, through the real tile pass: random and
// structured rasters in one tile and in windows around the corner where four tiles meet, with
// every hole kept and with hole limits above 0.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "PartitionCheck.h"
#include "RowPassRun.h"
#include "nhmgen/NhmGenerator.h"

namespace qv::test {
namespace {

using TPattern = std::function<bool(int c, int r)>;

class TRasterMaker {
 public:
  explicit TRasterMaker(unsigned seed) : random_(seed) {}

  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
  double Uniform() { return std::uniform_real_distribution<double>(0, 1)(random_); }

  // Heights for a class pattern: wooded 2 to 30 m, open below 2 m or no-data.
  THeightWindow Heights(double x0, double y0, int width, int height, const TPattern& wooded) {
    THeightWindow w{x0, y0, width, height, {}};
    for (int r = 0; r < height; ++r) {
      for (int c = 0; c < width; ++c) {
        if (wooded(c, r)) {
          w.Values.push_back(2.0 + Int(0, 2800) / 100.0);
        } else {
          const int pick = Int(0, 9);
          w.Values.push_back(pick == 0 ? NoData : pick == 1 ? 1.99 : Int(0, 150) / 100.0);
        }
      }
    }
    return w;
  }

  // One of the shapes the joins find hardest, drawn at random.
  TPattern Pattern() {
    const int kind = Int(0, 7);
    const double density = 0.05 + 0.9 * Uniform();
    const int period = Int(1, 3), phase = Int(0, 5), step = Int(2, 4);
    auto cells = std::make_shared<std::vector<std::uint8_t>>();
    for (int i = 0; i < 64 * 64; ++i) cells->push_back(Uniform() < density ? 1 : 0);
    auto noise = [cells](int c, int r) {
      return (*cells)[static_cast<std::size_t>(r % 64) * 64 + c % 64] != 0;
    };
    switch (kind) {
      case 0:
      case 1:
        return noise;
      case 2:  // checkerboards of squares
        return [=](int c, int r) { return ((c + phase) / period + r / period) % 2 == 0; };
      case 3:  // concentric square rings around a random centre
        return [=](int c, int r) {
          return std::max(std::abs(c - 3 * phase), std::abs(r - 2 * phase)) / period % 2 == 0;
        };
      case 4:  // a long square spiral with walls one pixel wide
        return [=](int c, int r) { return SpiralWall(c - 20 + phase, r - 20 + phase); };
      case 5:  // diagonal lines: regions meeting only at corners
        return [=](int c, int r) {
          return (c + r + phase) % step == 0 || (c - r + 64) % (step + 1) == 0;
        };
      case 6:  // noise with diagonal pinches cut in
        return [=](int c, int r) {
          return noise(c, r) != ((c + r) % step == 0 && (c + phase) % 2 == 0);
        };
      default:  // rings with gaps: pockets that do and do not close
        return [=](int c, int r) {
          const int d = std::max(std::abs(c - 12), std::abs(r - 12));
          return d % 3 != 0 || noise(c, r);
        };
    }
  }

 private:
  // A square spiral of walls: the path between them winds in from the outside.
  static bool SpiralWall(int x, int y) {
    const int ring = std::max(std::abs(x), std::abs(y));
    if (ring % 2 == 1) return false;
    // Each wall ring has one gap, rotating from ring to ring.
    return !(x == ring && y == -ring + 1 + (ring / 2) % 3);
  }

  std::mt19937 random_;
};

struct TTally {
  int runs = 0;
  int failures = 0;
};

void CheckOne(const THeightWindow& heights, THoleLimits limits, const std::string& label,
              TTally& tally) {
  TRowPassRun run;
  run.calc.MinClearingArea = limits.Clearing;
  run.calc.MinWoodedArea = limits.Wooded;
  ++tally.runs;
  const bool ok = run.Run(heights);
  const TRasterWindow classes = heights.Classes();
  std::string fault = ok ? TPartitionCheck(classes, run.Mesh(), limits).Fault() : "run failed";
  if (fault.empty() && !run.Complaints().empty()) fault = run.Complaints()[0];
  if (fault.empty()) return;
  if (++tally.failures <= 3) {
    ADD_FAILURE() << label << " limits " << limits.Clearing << "/" << limits.Wooded << ": " << fault
                  << "\n"
                  << Picture(classes);
  }
}

THoleLimits RandomLimits(TRasterMaker& maker, bool zero) {
  if (zero) return {};
  return {static_cast<double>(maker.Int(1, 14)), static_cast<double>(maker.Int(1, 14))};
}

TEST(RowPassOracle, oneTilePartitionsEveryRasterIntoItsRegionsAndHoles) {
  TTally tally;
  for (unsigned seed = 1; seed <= 1200; ++seed) {
    TRasterMaker maker(seed);
    const int width = maker.Int(2, 40), height = maker.Int(1, 40);
    const double x0 = WestX11 + maker.Int(2, 200), y0 = NorthY11 - maker.Int(2, 200);
    const auto heights = maker.Heights(x0, y0, width, height, maker.Pattern());
    CheckOne(heights, RandomLimits(maker, seed % 2 == 0), "one tile, seed " + std::to_string(seed),
             tally);
  }
  EXPECT_EQ(tally.failures, 0) << "of " << tally.runs;
}

// The window straddles the corner of tiles 11, 12, 13 and 14, so regions cross the west and the
// north border of tile 14 and the borders between the others, alone and at once.
TEST(RowPassOracle, fourTileCornerPartitionsEveryRasterAcrossBothBorders) {
  TTally tally;
  for (unsigned seed = 1; seed <= 900; ++seed) {
    TRasterMaker maker(seed * 7919u);
    const int width = maker.Int(4, 40), height = maker.Int(3, 40);
    const int west = maker.Int(4, width), north = maker.Int(2, height - 1);
    const auto heights =
        maker.Heights(WestX12 - west, NorthY13 + north, width, height, maker.Pattern());
    CheckOne(heights, RandomLimits(maker, seed % 2 == 0), "corner, seed " + std::to_string(seed),
             tally);
  }
  EXPECT_EQ(tally.failures, 0) << "of " << tally.runs;
}

// Windows of the synthetic wooded pasture: crowns, stands, hedges and gaps as the program meets
// them, around the four-tile corner.
TEST(RowPassOracle, syntheticPastureWindowsPartitionAcrossTheCorner) {
  TTally tally;
  for (unsigned seed = 1; seed <= 200; ++seed) {
    TRasterMaker maker(seed);
    const int width = maker.Int(8, 40), height = maker.Int(8, 40);
    const int west = maker.Int(4, width), north = maker.Int(2, height - 1);
    THeightWindow w{WestX12 - west, NorthY13 + north, width, height, {}};
    const std::int64_t dx = maker.Int(0, 50000), dy = maker.Int(0, 50000);
    for (int r = 0; r < height; ++r) {
      for (int c = 0; c < width; ++c) {
        w.Values.push_back(nhmgen::ValueAt(seed, static_cast<std::int64_t>(w.X0) + c + dx,
                                           static_cast<std::int64_t>(w.Y0) - r - dy));
      }
    }
    CheckOne(w, RandomLimits(maker, seed % 2 == 0), "pasture, seed " + std::to_string(seed), tally);
  }
  EXPECT_EQ(tally.failures, 0) << "of " << tally.runs;
}

}  // namespace
}  // namespace qv::test
