#include <gtest/gtest.h>

#include <filesystem>

#include "RecordingPlatform.h"
#include "TileFiles.h"
#include "calculation/CalculationTexts.h"
#include "calculation/NhmError.h"
#include "calculation/WoodedAreaCalculation.h"
#include "dialog/languages/Languages.h"
#include "platform/Format.h"

namespace qv {
namespace {

using test::NorthY11;
using test::WestX11;

class TilePass : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLanguage(LanguageEnglish);
    test::UseTileFiles(calc, dir.Prefix(), "mnh", false);
    calc.NhmSuffix = "_dhm";
    calc.StatusBar = &status;
    calc.RowPass = [this](TWoodedAreaCalculation&, TTile& tile, int row) {
      calls.push_back(std::to_string(tile.TileNumber) + ":" + std::to_string(row));
      return true;
    };
  }
  std::string Name(int tile, const std::string& ext = ".txt") const {
    return dir.Prefix() + "mnh1091-" + std::to_string(tile) + "_dhm" + ext;
  }
  // A 3 x 3 file of ones at the north-west corner of tile 11 or 12 of map 1091.
  void WriteTile(int tile) {
    const double west = tile == 12 ? test::WestX12 : WestX11;
    test::WriteText(Name(tile),
                    test::Header(3, 3, west - 0.5, NorthY11 - 2.5) + "1 1 1\n1 1 1\n1 1 1\n");
  }
  bool Run() {
    std::int32_t found = 0;
    return calc.CheckTileFiles(found) && calc.RunTilePass();
  }

  test::RecordingPlatform platform;
  test::TTempDir dir;
  TWoodedAreaCalculation calc;
  test::TRecordingStatus status;
  std::vector<std::string> calls;
};

TEST_F(TilePass, binaryFileCheckNamesTheFltFirstThenTheHdr) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11 - 10);
  calc.NhmFiletype = NhmFloatGrid;
  calc.NhmFileExt = ".hdr";
  std::int32_t found = -1;
  ASSERT_TRUE(calc.CheckTileFiles(found));
  EXPECT_EQ(found, 0);
  EXPECT_EQ(calc.Tiles.Get(0, 0).FltFileName, Name(11, ".flt"));
  EXPECT_EQ(calc.Tiles.Get(0, 0).HdrFileName, Name(11, ".hdr"));
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{Format(Msg(msgFileNotFound), {Name(11, ".flt")})});
  test::WriteFloats(Name(11, ".flt"), {1});
  platform.Clear();
  ASSERT_TRUE(calc.CheckTileFiles(found));
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{Format(Msg(msgFileNotFound), {Name(11, ".hdr")})});
  EXPECT_TRUE(calc.Tiles.Get(0, 0).IsDummy);
}

TEST_F(TilePass, anUnknownFileTypeIsRefusedBeforeAnyFileIsLookedAt) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11 - 10);
  calc.NhmFiletype = 2;
  std::int32_t found = -1;
  EXPECT_FALSE(calc.CheckTileFiles(found));
  EXPECT_EQ(found, 0);
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{UnknownFiletypeText(2)});
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_TRUE(calc.Tiles.Get(0, 0).FileName.empty());
  EXPECT_FALSE(calc.RunTilePass());
  EXPECT_TRUE(calls.empty());
}

TEST_F(TilePass, progressEveryFiftyRowsAndAHundredPercentWhenLastRowIsZero) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11 - 120);
  ASSERT_TRUE(Run());  // no file: a dummy tile
  EXPECT_EQ(status.texts, (std::vector<std::string>{"Tile 1 line 0, 0%", "Tile 1 line 50, 41%",
                                                    "Tile 1 line 100, 83%"}));
  status.texts.clear();
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11);
  ASSERT_TRUE(Run());
  EXPECT_EQ(status.texts, std::vector<std::string>{"Tile 1 line 0, 100%"});
}

TEST_F(TilePass, aFailingRowPassEndsTheTileAndThePass) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 4375 + 100, NorthY11 - 10);
  calc.RowPass = [this](TWoodedAreaCalculation&, TTile& tile, int row) {
    calls.push_back(std::to_string(tile.TileNumber) + ":" + std::to_string(row));
    return row < 5;
  };
  EXPECT_FALSE(Run());
  EXPECT_EQ(calls, (std::vector<std::string>{"11:4", "11:5"}));
  EXPECT_FALSE(calc.Tiles.Get(0, 0).HasBuffers());
  EXPECT_FALSE(calc.Tiles.Get(0, 1).HasBuffers());
}

std::size_t OpenFileCount() {
  std::size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++count;
  }
  return count;
}

TEST_F(TilePass, anExceptionFromAHeaderLeavesNoFileOpenAndNoBuffers) {
  if (!std::filesystem::exists("/proc/self/fd")) GTEST_SKIP() << "no /proc";
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 4375 + 100, NorthY11 - 10);
  WriteTile(11);
  test::WriteText(Name(12), "ncols 3\nnrows three\n");
  const std::size_t before = OpenFileCount();
  EXPECT_THROW(Run(), ENhmError);
  EXPECT_EQ(OpenFileCount(), before);
  EXPECT_FALSE(calc.Tiles.Get(0, 0).HasBuffers());
}

TEST_F(TilePass, everyRunStartsWithNilLinksAndFreshHeaders) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 4375 + 100, NorthY11 - 10);
  WriteTile(11);
  int nonNilLinks = 0;
  calc.RowPass = [&](TWoodedAreaCalculation&, TTile& tile, int row) {
    for (const auto& link : tile.ColumnLinks()) nonNilLinks += link.Edge ? 1 : 0;
    for (const auto& link : tile.RowLinks()) nonNilLinks += link.Edge ? 1 : 0;
    tile.ColumnLinks()[row].Edge = TEdgeId(7);
    tile.RowLinks()[row].Edge = TEdgeId(7);
    return tile.TileNumber == 11;  // the first run fails in tile 12
  };
  EXPECT_FALSE(Run());
  const int firstRun = nonNilLinks;
  EXPECT_GT(firstRun, 0);  // links written earlier in a run are seen later in it
  nonNilLinks = 0;
  WriteTile(12);
  calc.RowPass = [&](TWoodedAreaCalculation&, TTile& tile, int) {
    if (tile.TileNumber == 11) {
      for (const auto& link : tile.ColumnLinks()) nonNilLinks += link.Edge ? 1 : 0;
    }
    return true;
  };
  EXPECT_TRUE(Run());
  EXPECT_EQ(nonNilLinks, 0);
  EXPECT_FALSE(calc.Tiles.Get(0, 1).IsDummy);
}

TEST_F(TilePass, buffersAreHeldOnlyWhileANeighbourStillNeedsThem) {
  // A 3 x 3 block of dummy tiles around 1091-14.
  calc.SetExtent(WestX11 + 4000, NorthY11 - 2990, WestX11 + 2 * 4375 + 10, NorthY11 - 6010);
  ASSERT_EQ(calc.Tiles.Count(), 9);
  int maxHeld = 0;
  bool neighboursReady = true;
  calc.RowPass = [&](TWoodedAreaCalculation& c, TTile& tile, int) {
    int held = 0;
    for (int r = 0; r < 3; ++r) {
      for (int k = 0; k < 3; ++k) held += c.Tiles.Get(r, k).HasBuffers() ? 1 : 0;
    }
    maxHeld = std::max(maxHeld, held);
    if (tile.LeftNeighbor) neighboursReady &= tile.LeftNeighbor->HasBuffers();
    if (tile.TopNeighbor) {
      neighboursReady &= tile.TopNeighbor->HasBuffers();
      if (tile.TopNeighbor->LeftNeighbor) {
        neighboursReady &= tile.TopNeighbor->LeftNeighbor->HasBuffers();
      }
    }
    return true;
  };
  ASSERT_TRUE(Run());
  EXPECT_TRUE(neighboursReady);
  EXPECT_LE(maxHeld, 3 + 2);
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(calc.Tiles.Get(r, k).HasBuffers());
  }
}

TEST_F(TilePass, corruptHeadersAndTruncatedFilesEndCleanly) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11 - 300);
  const std::string corrupt[] = {
      "ncols 2000000000\nnrows 2000000000\nxllcorner 672499.5\nyllcorner 251000.5\n"
      "cellsize 1\nnodata_value -9999\n1 2 3",
      "ncols 3\nnrows 2000000000\nxllcorner 672499.5\nyllcorner -1e300\ncellsize 1\n1 2",
      "ncols 3\nnrows 3\nxllcorner 1e300\nyllcorner 1e300\ncellsize 1\n1 2 3 4 5 6 7 8 9",
      "ncols 3\nnrows 3\nxllcorner 672499.5\nyllcorner 253997.5\ncellsize nan\n",
      "ncols 3\nnrows 3\nxllcorner 672499.5\nyllcorner 253997.5\ncellsize 1\n1 2 3 4 5 6 7 8 9.",
      "ncols 3\nnrows 3\nxllcorner 672499.5\nyllcorner 253997.5\ncellsize 1\n1 2 3 4 5 6 7 8 -"};
  for (const auto& text : corrupt) {
    test::WriteText(Name(11), text);
    platform.Clear();
    EXPECT_NO_THROW(Run()) << text;
  }
  // The same through the binary reader: the data ends long before the rows the header claims.
  calc.NhmFiletype = NhmFloatGrid;
  calc.NhmFileExt = ".hdr";
  test::WriteFloats(Name(11, ".flt"), {1, 2, 3});
  test::WriteText(Name(11, ".hdr"),
                  "ncols 2000000000\nnrows 3\nxllcorner 672499.5\nyllcorner 253997.5\n"
                  "cellsize 1\nnodata_value -9999\nbyteorder lsbfirst\n");
  EXPECT_TRUE(Run());
  // File rows north of the tile that are not there end the run with an error naming the file.
  test::WriteText(Name(11, ".hdr"),
                  "ncols 3\nnrows 2000000000\nxllcorner 672499.5\nyllcorner 253997.5\n"
                  "cellsize 1\nnodata_value -9999\nbyteorder lsbfirst\n");
  EXPECT_NE(test::NhmErrorOf([&] { Run(); }).find(Name(11, ".flt")), std::string::npos);
}

}  // namespace
}  // namespace qv
