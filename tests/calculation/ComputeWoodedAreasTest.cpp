// Whole runs through ComputeWoodedAreas on small windows of heights, most spread over a 2 x 2
// block of tiles: the layers against what the heights give, the file check and the prompt, the
// failures of a tile, exceptions, and the result code.
#include <gtest/gtest.h>

#include "Runs.h"
#include "calculation/RowPass.h"
#include "platform/FileFaults.h"
#include "platform/Format.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

std::string Texted(TMsg id, const std::string& value) {
  return Format(Msg(id), {std::string_view(value)});
}

THeightWindow WithNoData(THeightWindow w, int c0, int c1, int r0, int r1) {
  for (int i = 0; i < w.Width * w.Height; ++i) {
    if (i % w.Width >= c0 && i % w.Width <= c1 && i / w.Width >= r0 && i / w.Width <= r1) {
      w.Values[i] = NoData;
    }
  }
  return w;
}

// Replaces the header line starting with `key` by `line`.
void EditHeader(const std::string& path, const std::string& key, const std::string& line) {
  std::string text = ReadFile(path);
  const auto at = text.find(key);
  WriteText(path, text.replace(at, text.find('\n', at) - at, line));
}

// A piece of wooded pasture, 60 x 40 pixels, spanning tiles 1091-11, -12 (rows 0-19) and -13, -14
// (rows 20-39), columns 0-29 in the western ones; heights in whole centimetres:
// - a stand (columns 2-41, rows 2-31) with a clearing of 120 m2 that stays, a wooded island of
//   4 m2 in it, a clearing of 12 m2 and a no-data patch of 6 m2 that are filled, and a notch open
//   to the outside that is no hole;
// - a wood of 100 m2 that is dropped and one of 280 m2 that stays;
// - open ground between 0.3 and 1.2 m, a canopy with many distinct tops between 2 and 14 m.
THeightWindow Pasture() {
  THeightWindow w{WestX12 - 30, NorthY13 + 20, 60, 40, {}};
  for (int i = 0; i < 2400; ++i) {
    const int c = i % 60, r = i / 60;
    const auto in = [&](int c0, int c1, int r0, int r1) {
      return c >= c0 && c <= c1 && r >= r0 && r <= r1;
    };
    double v = 0.3 + ((c * 7 + r * 13) % 10) * 0.1;
    if (in(2, 41, 2, 31))
      v = 8 + 5.5 * std::sin(0.9 * c) * std::cos(0.7 * r) + (c * 31 + r * 17) % 7 * 0.13;
    if (in(8, 19, 6, 15) || in(28, 31, 20, 22) || in(2, 5, 25, 31)) v = 0.5;
    if (in(12, 13, 9, 10)) v = 4.25 + 0.5 * (c - 12) + 0.25 * (r - 9);
    if (in(46, 55, 4, 13)) v = 3.0 + 0.2 * ((c + r) % 9);
    if (in(45, 58, 18, 37)) v = 2.0 + 0.31 * ((c * 5 + r * 3) % 23);
    w.Values.push_back(in(34, 36, 8, 9) ? NoData : std::round(v * 100.0) / 100.0);
  }
  return w;
}

class WholeRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(run.Lay(window), 4);
    run.WriteTiles();
  }
  bool NoBuffers() const {
    for (int i = 0; i < 4; ++i) {
      if (run.calc.Tiles.Get(i / 2, i % 2).HasBuffers()) return false;
    }
    return !run.calc.State.PolygonMesh && !run.calc.State.CrownCircles;
  }

  THeightWindow window = Pasture();
  TRun run;
};

TEST_F(WholeRun, presentTilesGiveBothLayersAsTheHeightsCallFor) {
  EXPECT_TRUE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 1);
  EXPECT_EQ(run.platform.beeps + run.platform.messages.size(), 0u);
  EXPECT_EQ(std::vector(run.status.end() - 2, run.status.end()),
            (std::vector<std::string>{Msg(msgWritingShapefiles), Msg(msgHeightModelDone)}));
  EXPECT_EQ(LayerFault(run, window), "");
  // The stand keeps its 120 m2 clearing and gains the 12 m2 one and the no-data patch.
  EXPECT_EQ(ReadLayer(run.calc.Paths.WoodedShapePath)[0].Area, 1200 - 120 - 28);
  EXPECT_TRUE(NoBuffers());
  // The same heights from float grids give the same wooded layer (but for the date of writing),
  // whatever the no-data value, and the same crowns to float precision.
  for (const double noData : {-9999.0, 9999.9, -3.40282e+38}) {
    TRun binary(NhmFloatGrid);
    binary.noData = noData;
    binary.Lay(window);
    binary.WriteTiles();
    ASSERT_TRUE(binary.Run());
    EXPECT_EQ(LayerFault(binary, window), "") << noData;
    auto a = run.LayerFiles(), b = binary.LayerFiles();
    EXPECT_TRUE(a[0] == b[0] && a[1] == b[1] && a[2].substr(4) == b[2].substr(4)) << noData;
  }
}

TEST_F(WholeRun, missingTilesAreReportedAndAskedForOnceUnlessAllAreMissing) {
  fs::remove(run.TileFile(0, 1));
  EXPECT_TRUE(run.Run());  // yes: the missing tile reads as no-data
  ASSERT_EQ(run.platform.messages.size(), 2u);
  EXPECT_EQ(run.platform.messages[0].text, Texted(msgFileNotFound, run.TileFile(0, 1)));
  EXPECT_EQ(run.platform.messages[1].kind, TRecordedMessage::Kind::Question);
  EXPECT_EQ(run.platform.messages[0].id + " " + run.platform.messages[1].id,
            "msgFileNotFound msgMissingFilesPrompt");
  EXPECT_EQ(LayerFault(run, WithNoData(window, 30, 59, 0, 19)), "");
  const auto layers = run.LayerFiles();
  for (const auto answer : {TQuestionResult::No, TQuestionResult::Cancel}) {
    run.platform.answers = {answer};
    run.status.clear();
    EXPECT_FALSE(run.Run());
    EXPECT_EQ(run.calc.ResultStatus, 1);  // as it was, and so are the layers
    EXPECT_TRUE(run.LayerFiles() == layers && run.status.empty() && NoBuffers());
  }
  for (int i = 0; i < 4; ++i) fs::remove(run.TileFile(i / 2, i % 2));
  fs::remove_all(run.dir.File("project/shapes"));
  fs::create_directories(run.dir.File("project/shapes"));
  run.platform.Clear();
  EXPECT_TRUE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 4);
  std::vector<std::string> expected;
  for (int i = 0; i < 4; ++i)
    expected.push_back(Texted(msgFileNotFound, run.TileFile(i / 2, i % 2)));
  expected.insert(expected.end(), 2, Msg(msgNoPolygons));
  EXPECT_EQ(run.platform.Texts(), expected);
  EXPECT_EQ(run.platform.beeps, 6);
  EXPECT_TRUE(run.NothingWritten());
}

// A refused header fails its tile and the run, but the layers of what was built are written; a
// value that is no number throws out of the run, which then writes nothing; a good run after
// failures writes what a fresh object writes.
TEST_F(WholeRun, failedTilesStillWriteWhatWasBuiltAndExceptionsWriteNothing) {
  EditHeader(run.TileFile(0, 1), "ncols", "ncols 0");
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 0);
  EXPECT_EQ(run.platform.Texts(), std::vector{Texted(msgReadError, run.TileFile(0, 1))});
  EXPECT_EQ(run.status.back(), Msg(msgTileProcessingError));
  EXPECT_EQ(LayerFault(run, window, 0, 27, 0, 17), "");  // what tile 11 builds by itself
  EditHeader(run.TileFile(1, 0), "yllcorner", "yllcorner 25x");
  run.WriteTile(0, 1);
  const auto layers = run.LayerFiles();
  EXPECT_NE(NhmErrorOf([&] { run.Run(); }).find(run.TileFile(1, 0)), std::string::npos);
  EXPECT_EQ(run.calc.ResultStatus, 0);
  EXPECT_TRUE(run.LayerFiles() == layers && NoBuffers());
  run.WriteTile(1, 0);
  EXPECT_TRUE(run.Run());
  TRun fresh;
  fresh.Lay(window);
  fresh.WriteTiles();
  EXPECT_TRUE(fresh.Run());
  EXPECT_TRUE(run.LayerFiles() == fresh.LayerFiles());
}

TEST_F(WholeRun, aLayerOrDirectoryThatCannotBeWrittenFailsTheRunAndKeepsTheEarlierLayer) {
  ASSERT_TRUE(run.Run());
  const auto earlier = run.LayerFiles();
  // The host holds the wooded layer: it cannot be replaced.
  const std::string wooded = run.calc.Paths.WoodedShapePath;
  {
    const TScopedFileFaults held([&](TFileStep step, const std::string& path) {
      return step != TFileStep::Rename || path != wooded;
    });
    run.platform.Clear();
    EXPECT_FALSE(run.Run());
  }
  EXPECT_EQ(run.calc.ResultStatus, 0);
  // Neither layer is replaced: the crown layer is named too.
  EXPECT_EQ(run.platform.Texts(),
            (std::vector<std::string>{Msg(msgShapefileWriteError) + wooded,
                                      Msg(msgShapefileWriteError) +
                                          run.calc.Paths.CrownShapePath}));
  EXPECT_EQ(run.platform.messages[0].kind, TRecordedMessage::Kind::Error);
  EXPECT_TRUE(run.LayerFiles() == earlier);
  // The layers go to an Output subdirectory, which cannot be made.
  run.calc.Settings.LayoutVersion = 9.5;
  run.platform.allowWrite = [](const std::string& path) {
    return path.find("Output") == std::string::npos;
  };
  run.platform.Clear();
  EXPECT_FALSE(run.Run());
  const std::string output = run.dir.File("project/shapes/Output/");
  EXPECT_EQ(run.platform.Texts(),
            (std::vector<std::string>{output + "\r" + Msg(msgCannotCreateDir),
                                      Msg(msgShapefileWriteError) + output + "parcels_w1.shp",
                                      Msg(msgShapefileWriteError) + output + "parcels_w2.shp"}));
  EXPECT_EQ(run.status.back(), Msg(msgTileProcessingError));
}

TEST_F(WholeRun, crownsWithoutRadiusAreLeftOutAndTheIncompleteLayerFailsTheRun) {
  run.calc.Settings.Tree.TreeRadiusParam0 = -3.0;  // R = 0.5 H - 3 is not positive up to 6 m
  run.calc.Settings.Tree.TreeRadiusParam1 = 0.5;
  const auto all = TreeTops(window, 0, 59, 0, 39);
  std::vector<TCrown> kept;
  std::copy_if(all.begin(), all.end(), std::back_inserter(kept), [](auto& c) { return c.H > 6; });
  ASSERT_TRUE(!kept.empty() && kept.size() < all.size());
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 0);
  const std::int64_t missing = static_cast<std::int64_t>(all.size() - kept.size());
  EXPECT_EQ(run.platform.Texts(),
            std::vector{Format(Msg(msgLayerIncomplete),
                               {missing, std::string_view(run.calc.Paths.CrownShapePath)})});
  EXPECT_EQ(CrownLayerFault(ReadLayer(run.calc.Paths.CrownShapePath), kept, -3.0, 0.5), "");
  // An unknown file type is refused before any file is opened.
  run.calc.Settings.Files.NhmFiletype = 7;
  run.platform.Clear();
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 0);
  EXPECT_EQ(run.platform.Texts(), std::vector{Format(Msg(msgUnknownFiletype), {std::int64_t{7}})});
}

// Two woods of 225 m2 in tile 11, the second with a clearing of 4 m2, and open land reaching
// into tile 12. After tile 11 both woods are final and leave the mesh. A row pass that keeps
// every hole leaves the second with a clearing the fill would not keep: the compaction gives up
// and keeps the mesh, and the layers are those of a run that never compacts.
TEST(WholeRunCompaction, givingUpKeepsTheMeshAndTheLayersOfARunWithoutCompaction) {
  std::vector<std::string> rows(40, std::string(30, '.'));
  for (int i = 0; i < 1200; ++i) {
    const int c = i % 30, r = i / 30;
    const bool clearing = r >= 25 && r <= 26 && c >= 8 && c <= 9;
    const bool wood = c >= 2 && c <= 16 && (r >= 2 && r <= 33) && r != 17 && r != 18;
    if (wood && !clearing) rows[r][c] = '#';
  }
  const THeightWindow w = Drawn(WestX12 - 20, NorthY11 - 10, rows);
  TTilePassOptions options;
  options.RowPass = [](TRowPassContext& ctx, TTile& tile, int row) {
    ctx.Limits.MinClearingArea = 0;
    return VectorizeRow(ctx, tile, row);
  };
  std::vector<std::vector<std::string>> layers;
  for (const TTilePassOptions& each : {options, TTilePassOptions{false, options.RowPass}, {}}) {
    TRun run;
    ASSERT_EQ(run.Lay(w), 2);
    run.WriteTiles();
    ASSERT_TRUE(run.Run(each));
    EXPECT_EQ(LayerFault(run, w), "");
    EXPECT_EQ(run.calc.State.PolygonsFinishedEarly, layers.size() < 2 ? 0 : 2);
    layers.push_back(run.LayerFiles());
    layers.back()[2].erase(1, 3);  // the date of writing
  }
  EXPECT_EQ(layers[0], layers[1]);
}

// A 30 x 20 window inside tile 11: a 10 x 20 wood along its east side, exactly the wooded limit,
// its south-east pixel the last value of the file; a file short of that value reads it as
// no-data, and the run has crowns but no wood.
TEST(WholeFloatRun, aWoodOfExactlyTheLimitStaysAndOnePixelLessGoes) {
  THeightWindow w{WestX11 + 200, NorthY11 - 300, 30, 20, {}};
  for (int i = 0; i < 600; ++i)
    w.Values.push_back(i % 30 >= 20 ? 3 + 0.25 * ((i % 30 + i / 30) % 5) : 0.4);
  for (const std::size_t dropped : {0u, 4u, 1u}) {
    TRun run(NhmFloatGrid);
    run.droppedBytes = dropped;
    run.Lay(w);
    run.WriteTiles();
    EXPECT_TRUE(run.Run());
    EXPECT_EQ(run.calc.ResultStatus, dropped ? 2 : 1);  // 199 m2 are below the limit
    EXPECT_EQ(LayerFault(run, dropped ? WithNoData(w, 29, 29, 19, 19) : w), "") << dropped;
  }
}

}  // namespace
}  // namespace qv::test
