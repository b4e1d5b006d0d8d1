// Whole generated tiles (4375 x 3000 cells) through the row pass and through a whole run, judged
// by the oracle, and a run that runs out of memory. Normal configuration only (Long*).
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "Runs.h"
#include "nhmgen/GridFiles.h"
#include "nhmgen/NhmGenerator.h"

namespace qv::test {
namespace {

// Tile 1091-11 of a generated pasture, the cells as the files hold them (2 decimals, or floats).
THeightWindow WholeTile(std::uint64_t seed, bool floats) {
  THeightWindow w{WestX11, NorthY11, 4375, 3000, nhmgen::TileValues(seed, {1091, 11})};
  for (double& v : w.Values) v = floats ? static_cast<double>(static_cast<float>(v)) : v;
  return w;
}

// The own columns 2..4370 and rows 2..2997 a pass visits over a whole tile.
TRaster Visited(const THeightWindow& w) {
  TRaster all = w.Classes(), part{4369, 2996, WestX11 + 2, NorthY11 - 2, {}};
  for (int i = 0; i < part.Width * part.Height; ++i)
    part.Wooded.push_back(all.At(2 + i % 4369, 2 + i / 4369));
  return part;
}

TEST(LongRowPass, aWholeBinaryTileIsPartitionedIntoItsRegionsAndHoles) {
  TRun run(NhmFloatGrid);
  run.calc.Settings.Limits.MinClearingArea = run.calc.Settings.Limits.MinWoodedArea = 0;
  ASSERT_EQ(run.calc.SetExtent(WestX11, NorthY11, WestX11 + 4374, NorthY11 - 2999), 1);
  std::vector<std::string> written;
  nhmgen::WriteTileFiles(7, {1091, 11}, {}, nhmgen::GridFormat::Flt, run.TileFile(0, 0), written);
  std::int32_t found = 0;
  ASSERT_TRUE(run.calc.TilePass().CheckTileFiles(found));
  run.calc.State.Begin();
  ASSERT_TRUE(run.calc.TilePass().Run(run.calc.State, run.pass));
  EXPECT_EQ(MeshFault(Visited(WholeTile(7, true)), run.Mesh(), {}), "");
  EXPECT_TRUE(run.platform.messages.empty());
}

TEST(LongWholeRun, aWholeAsciiTileGivesTheLayersTheHeightsCallFor) {
  TRun run;
  ASSERT_EQ(run.calc.SetExtent(WestX11, NorthY11, WestX11 + 4374, NorthY11 - 2999), 1);
  std::vector<std::string> written;
  nhmgen::WriteTileFiles(5, {1091, 11}, {}, nhmgen::GridFormat::Ascii, run.TileFile(0, 0), written);
  ASSERT_TRUE(run.Run()) << ::testing::PrintToString(run.platform.Texts());
  EXPECT_EQ(run.calc.ResultStatus, 1);
  EXPECT_TRUE(run.platform.messages.empty());
  EXPECT_EQ(LayerFault(run, WholeTile(5, false), 2, 4370, 2, 2997), "");
}

std::size_t AddressSpaceBytes() {
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  statm >> pages;
  return pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

// A 2 x 2 block of checkerboards (every pixel a polygon, every high one a crown) far beyond what
// the address space left to the run allows: the run must end with the message and status 0.
TEST(LongWholeRun, runningOutOfMemoryEndsWithTheMessageAndStatusZero) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory does not fit an address-space limit";
#endif
  if (!std::ifstream("/proc/self/statm")) GTEST_SKIP() << "no /proc";
  TRun run(NhmFloatGrid);
  THeightWindow board{WestX12 - 1500, NorthY13 + 1500, 3000, 3000, std::vector<double>(9000000)};
  for (std::size_t i = 0; i < board.Values.size(); ++i)
    board.Values[i] = (i / 3000 + i % 3000) % 2 ? 5.0 : 0.5;
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
    int failures = run.Run() ? 1 : 0;
    failures |= run.calc.ResultStatus != 0 ? 2 : 0;
    failures |= run.calc.State.PolygonMesh || run.calc.State.CrownCircles ? 4 : 0;
    const auto& m = run.platform.messages;
    failures |= m.size() != 1 || run.platform.beeps != 1 || m[0].kind != TRecordedMessage::Kind::Error ||
                        m[0].text != Msg(msgOutOfMemory)
                    ? 8
                    : 0;
    failures |= run.status.back() != Msg(msgTileProcessingError) ? 16 : 0;
    _exit(failures | (run.NothingWritten() ? 0 : 32));
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status)) << "the run ended with signal " << WTERMSIG(status);
  EXPECT_EQ(WEXITSTATUS(status), 0)
      << "1 returned true, 2 ResultStatus, 4 containers kept, 8 message, "
         "16 status text, 32 files written, 10 no limit";
}

}  // namespace
}  // namespace qv::test
