// The tile pass: the file check, progress, failures and buffers. What the ring rows hold,
// from files of every form and across both tile borders, is judged through the row pass by the
// oracle (RowPassTest).
#include <gtest/gtest.h>

#include "Runs.h"
#include "platform/Format.h"

namespace qv::test {
namespace {

class TilePass : public ::testing::Test {
 protected:
  void SetUp() override {
    calc.Settings.Files.NhmSuffix = "_dhm";
    options.RowPass = [this](TRowPassContext&, TTile&, int row) { return ++calls && row < 5; };
  }
  std::string Name(int tile, const std::string& ext = ".txt") const {
    return calc.Paths.NhmPath + "mnh1091-" + std::to_string(tile) + "_dhm" + ext;
  }
  bool Run() {
    std::int32_t found = 0;
    calc.State.Begin();
    return calc.TilePass().CheckTileFiles(found) && calc.TilePass().Run(calc.State, options);
  }
  bool NoBuffers() const {
    for (int i = 0; i < calc.Tiles.Count(); ++i) {
      if (calc.Tiles.Get(i / calc.Tiles.ColumnCount(), i % calc.Tiles.ColumnCount()).HasBuffers()) {
        return false;
      }
    }
    return true;
  }

  TRun run;
  TWoodedAreaCalculation& calc = run.calc;
  TTilePassOptions options{.CompactFinished = false};
  int calls = 0;
};

TEST_F(TilePass, checksTheFltBeforeTheHdrAndReportsProgressEveryFiftyRows) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11 - 120);
  calc.Settings.Files.NhmFiletype = NhmFloatGrid;
  calc.Settings.Files.NhmFileExt = ".hdr";
  options.RowPass = [](TRowPassContext&, TTile&, int) { return true; };
  WriteFloats(Name(11, ".flt"), {1});
  std::int32_t found = -1;
  ASSERT_TRUE(calc.TilePass().CheckTileFiles(found));
  std::filesystem::remove(Name(11, ".flt"));
  ASSERT_TRUE(Run());  // a dummy tile
  EXPECT_EQ(found, 0);
  EXPECT_EQ(run.platform.Texts(), (std::vector{Format(Msg(msgFileNotFound), {Name(11, ".hdr")}),
                                               Format(Msg(msgFileNotFound), {Name(11, ".flt")})}));
  EXPECT_EQ(run.status, (std::vector<std::string>{"Tile 1 line 0, 0%", "Tile 1 line 50, 41%",
                                                  "Tile 1 line 100, 83%"}));
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11);
  ASSERT_TRUE(Run());
  EXPECT_EQ(run.status.back(), "Tile 1 line 0, 100%");
  calc.Settings.Files.NhmFiletype = 2;
  EXPECT_FALSE(calc.TilePass().CheckTileFiles(found) || Run());
}

// A failing row pass ends the pass, and a header that throws leaves no file open; neither leaves
// buffers, and buffers live only while a neighbour needs them. (That a run after a failed one
// starts afresh, links included, the whole runs show.)
TEST_F(TilePass, endsCleanlyAndHoldsBuffersOnlyWhileTheyAreNeeded) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 4375 + 100, NorthY11 - 10);
  EXPECT_FALSE(Run());
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(NoBuffers());
  WriteText(Name(11), Header(3, 3, WestX11 - 0.5, NorthY11 - 2.5) + "1 1 1\n1 1 1\n1 1 1\n");
  WriteText(Name(12), "ncols 3\nnrows three\n");
  using TFiles = std::filesystem::directory_iterator;
  const auto open = std::distance(TFiles("/proc/self/fd"), TFiles{});
  options.RowPass = [](TRowPassContext&, TTile&, int) { return true; };
  EXPECT_THROW(Run(), ENhmError);
  EXPECT_EQ(std::distance(TFiles("/proc/self/fd"), TFiles{}), open);
  EXPECT_TRUE(NoBuffers());
  std::filesystem::remove(Name(12));
  calc.SetExtent(WestX11 + 4000, NorthY11 - 2990, WestX11 + 2 * 4375 + 10, NorthY11 - 6010);
  int maxHeld = 0;  // a 3 x 3 block of dummy tiles around 1091-14
  bool ready = true;
  options.RowPass = [&](TRowPassContext&, TTile& tile, int) {
    int held = 0;
    for (int i = 0; i < 9; ++i) held += calc.Tiles.Get(i / 3, i % 3).HasBuffers();
    maxHeld = std::max(maxHeld, held);
    for (const TTile* n : {tile.LeftNeighbor, tile.TopNeighbor,
                           tile.TopNeighbor ? tile.TopNeighbor->LeftNeighbor : nullptr}) {
      ready &= n == nullptr || n->HasBuffers();
    }
    return true;
  };
  ASSERT_TRUE(Run());
  EXPECT_TRUE(ready && maxHeld <= 5 && NoBuffers());
}

TEST_F(TilePass, corruptHeadersAndTruncatedFilesEndCleanly) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11 - 300);
  options.RowPass = [](TRowPassContext&, TTile&, int) { return true; };
  const std::string n3 = "ncols 3\nnrows 3\n", at = "xllcorner 672499.5\nyllcorner 253997.5\n";
  for (const std::string& text : std::vector<std::string>{
           "ncols 2000000000\nnrows 2000000000\n" + at + "cellsize 1\nnodata_value -1\n1 2 3",
           "ncols 3\nnrows 2000000000\nxllcorner 672499.5\nyllcorner -1e300\ncellsize 1\n1 2",
           n3 + "xllcorner 1e300\nyllcorner 1e300\ncellsize 1\n1 2 3 4 5 6 7 8 9",
           n3 + at + "cellsize nan\n", n3 + at + "cellsize 1\n1 2 3 4 5 6 7 8 9.",
           n3 + at + "cellsize 1\n1 2 3 4 5 6 7 8 -"}) {
    WriteText(Name(11), text);
    EXPECT_NO_THROW(Run()) << text;
  }
  calc.Settings.Files.NhmFiletype = NhmFloatGrid;
  calc.Settings.Files.NhmFileExt = ".hdr";
  WriteFloats(Name(11, ".flt"), {1, 2, 3});
  WriteText(Name(11, ".hdr"), "ncols 2000000000\nnrows 3\n" + at + "cellsize 1\n");
  EXPECT_TRUE(Run());  // the data ends long before the rows the header claims
  WriteText(Name(11, ".hdr"), "ncols 3\nnrows 2000000000\n" + at + "cellsize 1\n");
  EXPECT_NE(NhmErrorOf([&] { Run(); }).find(Name(11, ".flt")), std::string::npos);  // rows to skip
}

}  // namespace
}  // namespace qv::test
