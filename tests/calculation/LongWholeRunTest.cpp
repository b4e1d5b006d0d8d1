// A whole realistic tile through ComputeWoodedAreas, judged against the layers the heights alone
// give, and a run that runs out of memory. Normal configuration only (Long*).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "PartitionCheck.h"
#include "WholeRun.h"
#include "nhmgen/GridFiles.h"
#include "nhmgen/NhmGenerator.h"

namespace qv::test {
namespace {

// The oracle's regions and holes must be those of the flood-fill reference, which is too slow
// for whole tiles but beyond doubt on small windows.
TEST(WholeRunOracle, regionsAndHolesAreThoseOfTheFloodFillReference) {
  std::uint32_t state = 12345;
  auto next = [&state] { return (state = state * 1103515245u + 12345u) >> 16; };
  for (int trial = 0; trial < 40; ++trial) {
    TRasterWindow w{17 + trial % 5, 13 + trial % 7, 0, 0, {}};
    const unsigned density = 35 + trial % 30;
    for (int i = 0; i < w.Width * w.Height; ++i) w.Wooded.push_back(next() % 100 < density);
    const TExpectedLayer layer = ExpectedWoodedLayer(w, 0, 0);
    int wooded = 0;
    for (const TRegion& region : FindRegions(w)) {
      if (!region.Wooded) continue;
      ++wooded;
      const TExpectedPolygon& polygon = layer.Polygons[layer.RegionOf[region.Pixels[0]]];
      auto holes = region.Holes;
      std::sort(holes.begin(), holes.end());
      EXPECT_EQ(polygon.KeptHoles, holes) << Picture(w);
      EXPECT_EQ(polygon.Pixels, region.Pixels) << Picture(w);
    }
    EXPECT_EQ(static_cast<int>(layer.Polygons.size()), wooded);
  }
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(LongWholeRun, aWholeGeneratedTileGivesTheLayersTheHeightsCallFor) {
  constexpr std::uint64_t Seed = 5;
  TWholeRun run;
  ASSERT_EQ(run.calc.SetExtent(WestX11, NorthY11, WestX11 + 4374, NorthY11 - 2999), 1);
  std::vector<std::string> written;
  nhmgen::WriteTileFiles(Seed, {1091, 11}, {}, nhmgen::GridFormat::Ascii, run.TileFile(0, 0),
                         written);
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(run.Run());
  const double runSeconds = SecondsSince(start);
  EXPECT_EQ(run.calc.ResultStatus, 1);
  EXPECT_TRUE(run.platform.messages.empty());

  // The pass visits own columns 2 to 4370 (the extent's right edge is ring position 4374) and
  // rows 2 to 2997.
  start = std::chrono::steady_clock::now();
  THeightGrid heights{WestX11, NorthY11, 4375, 3000, NoData, nhmgen::TileValues(Seed, {1091, 11})};
  TRasterWindow classes{4369, 2996, WestX11 + 2, NorthY11 - 2, {}};
  for (int r = 2; r <= 2997; ++r) {
    for (int c = 2; c <= 4370; ++c) {
      const double v = heights.At(c, r);
      classes.Wooded.push_back(v != NoData && v >= 2.0 ? 1 : 0);
    }
  }
  const TExpectedLayer expected = ExpectedWoodedLayer(classes, 100, 200);
  const TLayer wooded = ReadLayer(run.WoodedLayer());
  EXPECT_EQ(WoodedLayerFault(classes, wooded, expected), "");
  const auto crowns = ScanTreeTops(heights, 2, 4370, 2, 2997, 2.0);
  const TLayer crownLayer = ReadLayer(run.CrownLayer());
  EXPECT_EQ(CrownLayerFault(crownLayer, crowns, TCrownModel{}, true), "");
  std::printf(
      "whole tile: %zu wooded polygons of %zu wooded regions, %zu crowns; run %.2f s, "
      "check %.2f s\n",
      wooded.Records.size(), expected.Polygons.size(), crownLayer.Records.size(), runSeconds,
      SecondsSince(start));
}

// Virtual memory in use now.
std::size_t AddressSpaceBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

TEST(LongWholeRun, runningOutOfMemoryEndsWithTheMessageAndStatusZero) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit an address-space limit";
#endif
  if (!std::ifstream("/proc/self/statm")) GTEST_SKIP() << "no /proc";
  // A 2 x 2 block of checkerboards: every pixel a polygon, every high pixel a tree top with a
  // crown of 36 points. A single tile's polygons already need far more than the limit allows.
  TWholeRun run(NhmFloatGrid);
  THeightWindow board{WestX12 - 1500, NorthY13 + 1500, 3000, 3000, {}};
  board.Values.resize(static_cast<std::size_t>(board.Width) * board.Height);
  for (int r = 0; r < board.Height; ++r) {
    for (int c = 0; c < board.Width; ++c) {
      board.Values[static_cast<std::size_t>(r) * board.Width + c] = (r + c) % 2 ? 5.0 : 0.5;
    }
  }
  ASSERT_EQ(run.Lay(board), 4);
  run.WriteTiles();
  std::fflush(nullptr);

  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    alarm(300);
    const rlim_t limit = AddressSpaceBytes() + (300u << 20);
    const rlimit r{limit, limit};
    if (setrlimit(RLIMIT_AS, &r) != 0) _exit(10);
    const bool ok = run.Run();
    int failures = 0;
    if (ok) failures |= 1;
    if (run.calc.ResultStatus != 0) failures |= 2;
    if (run.calc.PolygonMesh || run.calc.CrownCircles) failures |= 4;
    const auto& m = run.platform.messages;
    if (m.size() != 1 || m[0].kind != TRecordedMessage::Kind::Error ||
        m[0].text != Msg(msgOutOfMemory)) {
      failures |= 8;
      for (const auto& message : m) std::fprintf(stderr, "shown: %s\n", message.text.c_str());
    }
    if (run.status.texts.empty() || run.status.texts.back() != Msg(msgTileProcessingError)) {
      failures |= 16;
    }
    if (!run.OutputEntries().empty()) failures |= 32;
    _exit(failures);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the run ended with signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0)
      << "1 returned true, 2 ResultStatus, 4 containers kept, 8 message, 16 status text, "
         "32 files written, 10 no limit";
}

}  // namespace
}  // namespace qv::test
