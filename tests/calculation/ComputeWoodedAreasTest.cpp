// Whole runs through ComputeWoodedAreas on small windows of heights spread over a 2 x 2 block of
// tiles: the file check and the prompt, the failures of a tile, exceptions, the result code and
// the layers, judged against what the heights alone give (LayerOracle.h).
#include <gtest/gtest.h>

#include <filesystem>

#include "WholeRun.h"
#include "calculation/NhmError.h"
#include "platform/FileFaults.h"
#include "platform/Format.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

// The window spans tiles 1091-11, -12 (rows 0-19) and -13, -14 (rows 20-39); columns 0-29 lie in
// the western tiles.
constexpr double BlockX0 = WestX12 - 30;
constexpr double BlockY0 = NorthY13 + 20;
// What tile 11 builds by itself: its own columns up to 4372 and rows up to 2997.
constexpr int Tile11LastColumn = 27;
constexpr int Tile11LastRow = 17;

std::string FileNotFound(const std::string& name) {
  return Format(Msg(msgFileNotFound), {std::string_view(name)});
}

THeightWindow WithNoData(THeightWindow w, int c0, int c1, int r0, int r1) {
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) w.Values[static_cast<std::size_t>(r) * w.Width + c] = NoData;
  }
  return w;
}

bool NoTileHoldsBuffers(const TWoodedAreaCalculation& calc) {
  for (int r = 0; r < calc.Tiles.RowCount(); ++r) {
    for (int k = 0; k < calc.Tiles.ColumnCount(); ++k) {
      if (calc.Tiles.Get(r, k).HasBuffers()) return false;
    }
  }
  return true;
}

class WholeRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(run.Lay(window), 4);
    run.WriteTiles();
  }
  // The layers a fresh object writes from the same files.
  std::vector<std::string> FreshLayers() const {
    TWholeRun fresh;
    EXPECT_EQ(fresh.Lay(window), 4);
    fresh.WriteTiles();
    EXPECT_TRUE(fresh.Run());
    return fresh.LayerFiles();
  }
  std::vector<std::string> FinalStatus(int count) const {
    const auto& t = run.status.texts;
    return {t.end() - std::min<std::ptrdiff_t>(count, std::ssize(t)), t.end()};
  }

  THeightWindow window = PastureWindow(BlockX0, BlockY0);
  TWholeRun run;
};

TEST_F(WholeRun, presentTilesGiveBothLayersAsTheRegionsAfterElimination) {
  EXPECT_TRUE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 1);
  EXPECT_TRUE(run.platform.messages.empty()) << run.platform.Texts()[0];
  EXPECT_EQ(run.platform.beeps, 0);
  EXPECT_EQ(FinalStatus(2),
            (std::vector<std::string>{Msg(msgWritingShapefiles), Msg(msgHeightModelDone)}));
  EXPECT_EQ(run.LayerFault(window), "");
  // The stand keeps its 120 m2 clearing and gains the small clearing and the no-data patch; the
  // notch open to the outside is no hole. The 100 m2 wood and the 4 m2 island are gone.
  const TLayer wooded = ReadLayer(run.WoodedLayer());
  ASSERT_EQ(wooded.Records.size(), 2u);
  std::vector<double> surfaces{wooded.Records[0].Surface, wooded.Records[1].Surface};
  std::sort(surfaces.begin(), surfaces.end());
  EXPECT_EQ(surfaces, (std::vector<double>{280, 1200 - 120 - 28}));
  EXPECT_FALSE(run.calc.PolygonMesh);
  EXPECT_FALSE(run.calc.CrownCircles);
  EXPECT_TRUE(NoTileHoldsBuffers(run.calc));
}

TEST_F(WholeRun, allTilesMissingRunWithoutThePromptAndEndWithStatusFour) {
  for (int r = 0; r < 2; ++r) {
    for (int k = 0; k < 2; ++k) fs::remove(run.TileFile(r, k));
  }
  EXPECT_TRUE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 4);
  std::vector<std::string> expected;
  for (int r = 0; r < 2; ++r) {
    for (int k = 0; k < 2; ++k) expected.push_back(FileNotFound(run.TileFile(r, k)));
  }
  expected.insert(expected.end(), 2, Msg(msgNoPolygons));
  EXPECT_EQ(run.platform.Texts(), expected);
  EXPECT_EQ(run.platform.beeps, 6);
  EXPECT_TRUE(run.OutputEntries().empty());
}

TEST_F(WholeRun, someTilesMissingAskOnceAndYesReadsThemAsNoData) {
  fs::remove(run.TileFile(0, 1));
  EXPECT_TRUE(run.Run());
  ASSERT_EQ(run.platform.messages.size(), 2u);  // their texts: RunTexts.missingFilesAndThePrompt
  EXPECT_EQ(run.platform.messages[1].kind, TRecordedMessage::Kind::Question);
  EXPECT_EQ(run.platform.beeps, 2);
  EXPECT_EQ(run.calc.ResultStatus, 1);
  EXPECT_EQ(run.LayerFault(WithNoData(window, 30, 59, 0, 19)), "");
}

TEST_F(WholeRun, noOrTheCloseBoxAtThePromptLeaveStatusAndLayersAsTheyWere) {
  fs::remove(run.TileFile(1, 1));
  run.platform.answers = {TQuestionResult::No};
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, -1);
  EXPECT_TRUE(run.OutputEntries().empty());
  EXPECT_FALSE(run.calc.PolygonMesh);
  EXPECT_FALSE(run.calc.CrownCircles);
  EXPECT_TRUE(run.status.texts.empty());

  run.WriteTile(1, 1);
  ASSERT_TRUE(run.Run());
  ASSERT_EQ(run.calc.ResultStatus, 1);
  const auto layers = run.LayerFiles();
  fs::remove(run.TileFile(1, 1));
  run.platform.answers = {TQuestionResult::Cancel};
  run.status.texts.clear();
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 1);
  EXPECT_EQ(run.LayerFiles(), layers);
  EXPECT_TRUE(run.status.texts.empty());
}

TEST_F(WholeRun, aHeaderRefusedInTheSecondTileStillWritesTheFirstTilesLayers) {
  for (const std::string line : {"ncols 0", "cellsize 0"}) {
    SCOPED_TRACE(line);
    TWholeRun failing;
    ASSERT_EQ(failing.Lay(window), 4);
    failing.WriteTiles();
    EditHeaderLine(failing.TileFile(0, 1), line.substr(0, line.find(' ')), line);
    EXPECT_FALSE(failing.Run());
    EXPECT_EQ(failing.calc.ResultStatus, 0);
    EXPECT_EQ(failing.platform.Texts(),
              std::vector<std::string>{
                  Format(Msg(msgReadError), {std::string_view(failing.TileFile(0, 1))})});
    EXPECT_EQ(failing.platform.beeps, 0);
    const auto& texts = failing.status.texts;
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(texts.end() - 3, texts.end()),
              (std::vector<std::string>{Msg(msgWritingShapefiles), Msg(msgHeightModelDone),
                                        Msg(msgTileProcessingError)}));
    EXPECT_EQ(failing.LayerFault(window, 0, Tile11LastColumn, 0, Tile11LastRow), "");
    EXPECT_FALSE(ReadLayer(failing.WoodedLayer()).Records.empty());
  }
}

TEST_F(WholeRun, aHeaderValueThatIsNotANumberPassesOutAndWritesNothing) {
  auto failingRun = [&] {
    EditHeaderLine(run.TileFile(0, 1), "yllcorner", "yllcorner 25x");
    run.status.texts.clear();
    EXPECT_NE(NhmErrorOf([&] { run.Run(); }).find(run.TileFile(0, 1)), std::string::npos);
    EXPECT_FALSE(run.calc.PolygonMesh);
    EXPECT_FALSE(run.calc.CrownCircles);
    EXPECT_TRUE(NoTileHoldsBuffers(run.calc));
    for (const auto& text : run.status.texts) EXPECT_NE(text, Msg(msgWritingShapefiles));
  };
  failingRun();
  EXPECT_EQ(run.calc.ResultStatus, -1);
  EXPECT_TRUE(run.OutputEntries().empty());

  // After a good run, the layers of that run stay.
  run.WriteTile(0, 1);
  ASSERT_TRUE(run.Run());
  const auto layers = run.LayerFiles();
  failingRun();
  EXPECT_EQ(run.calc.ResultStatus, 1);
  EXPECT_TRUE(run.LayerFiles() == layers);
}

TEST_F(WholeRun, aFailedRunThenAGoodOneGivesTheLayersOfAFreshObject) {
  EditHeaderLine(run.TileFile(0, 1), "ncols", "ncols 0");
  EXPECT_FALSE(run.Run());
  EditHeaderLine(run.TileFile(1, 0), "nrows", "nrows many");
  run.WriteTile(0, 1);
  EXPECT_THROW(run.Run(), ENhmError);
  run.WriteTile(1, 0);
  EXPECT_TRUE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 1);
  EXPECT_TRUE(run.LayerFiles() == FreshLayers());
}

TEST_F(WholeRun, aTileAddedBetweenTwoRunsIsReadInTheSecond) {
  fs::remove(run.TileFile(1, 0));
  ASSERT_TRUE(run.Run());
  EXPECT_EQ(run.LayerFault(WithNoData(window, 0, 29, 20, 39)), "");
  run.WriteTile(1, 0);
  run.platform.Clear();
  EXPECT_TRUE(run.Run());
  EXPECT_TRUE(run.platform.messages.empty());
  EXPECT_EQ(run.calc.ResultStatus, 1);
  EXPECT_TRUE(run.LayerFiles() == FreshLayers());
}

TEST_F(WholeRun, aLayerThatCannotBeWrittenFailsTheRunAndKeepsTheEarlierLayer) {
  ASSERT_TRUE(run.Run());
  const auto earlier = run.LayerFiles();
  // The host holds the earlier wooded layer open: it cannot be replaced.
  const TScopedFileFaults held([&](TFileStep step, const std::string& path) {
    return step != TFileStep::Rename || path != run.WoodedLayer();
  });
  run.platform.Clear();
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 0);
  // Neither layer is replaced: the crown layer is named too.
  ASSERT_EQ(run.platform.messages.size(), 2u);
  EXPECT_EQ(run.platform.messages[0].kind, TRecordedMessage::Kind::Error);
  EXPECT_EQ(run.platform.messages[0].text, Msg(msgShapefileWriteError) + run.WoodedLayer());
  EXPECT_EQ(run.platform.messages[1].text, Msg(msgShapefileWriteError) + run.CrownLayer());
  EXPECT_EQ(run.status.texts.back(), Msg(msgTileProcessingError));
  EXPECT_TRUE(run.LayerFiles() == earlier);
}

TEST_F(WholeRun, anOutputDirectoryThatCannotBeCreatedFailsTheRun) {
  run.calc.LayoutVersion = 9.5;  // the layers go to an Output subdirectory
  run.platform.allowWrite = [](const std::string& path) {
    return path.find("Output") == std::string::npos;
  };
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 0);
  const std::string output = run.dir.File("project/shapes/Output/");
  EXPECT_EQ(run.platform.Texts(),
            (std::vector<std::string>{output + "\r" + Msg(msgCannotCreateDir),
                                      Msg(msgShapefileWriteError) + output + "parcels_w1.shp",
                                      Msg(msgShapefileWriteError) + output + "parcels_w2.shp"}));
  EXPECT_FALSE(fs::exists(output));
}

TEST_F(WholeRun, crownsWithoutRadiusAreLeftOutAndTheIncompleteLayerFailsTheRun) {
  // R = 0.5 H - 3 is not positive up to 6 m: those crowns have no points.
  run.calc.TreeRadiusParam0 = -3.0;
  run.calc.TreeRadiusParam1 = 0.5;
  const auto all = run.ExpectedCrowns(window, 0, window.Width - 1, 0, window.Height - 1);
  std::vector<TExpectedCrown> kept;
  for (const auto& crown : all) {
    if (crown.H > 6.0) kept.push_back(crown);
  }
  ASSERT_GT(kept.size(), 0u);
  ASSERT_LT(kept.size(), all.size());
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 0);
  EXPECT_EQ(run.platform.Texts(),
            std::vector<std::string>{Format(
                Msg(msgLayerIncomplete),
                {std::int64_t(all.size() - kept.size()), std::string_view(run.CrownLayer())})});
  EXPECT_EQ(CrownLayerFault(ReadLayer(run.CrownLayer()), kept, {-3.0, 0.5, 36}, false), "");
  EXPECT_EQ(run.status.texts.back(), Msg(msgTileProcessingError));
}

TEST_F(WholeRun, anUnknownFileTypeIsRefusedBeforeAnyFileIsOpened) {
  run.calc.NhmFiletype = 7;
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, -1);
  EXPECT_EQ(run.platform.Texts(),
            std::vector<std::string>{Format(Msg(msgUnknownFiletype), {std::int64_t{7}})});
  EXPECT_TRUE(run.OutputEntries().empty());
}

TEST_F(WholeRun, progressEveryFiftyRowsOfEachTileThenWritingAndDone) {
  // 60 x 60 from the north edge of tiles 11 and 12: rows 0 to 63 of each tile are read.
  THeightWindow tall{BlockX0, NorthY11 - 2, 60, 60, std::vector<double>(3600, 0.5)};
  for (int r = 10; r < 40; ++r) {
    for (int c = 20; c < 40; ++c) tall.Values[static_cast<std::size_t>(r) * 60 + c] = 7.5 + (c % 3);
  }
  TWholeRun progress;
  ASSERT_EQ(progress.Lay(tall), 2);
  progress.WriteTiles();
  EXPECT_TRUE(progress.Run());
  EXPECT_EQ(progress.status.texts,
            (std::vector<std::string>{"Tile 1 line 0, 0%", "Tile 1 line 50, 79%",
                                      "Tile 2 line 0, 0%", "Tile 2 line 50, 79%",
                                      Msg(msgWritingShapefiles), Msg(msgHeightModelDone)}));
  EXPECT_EQ(progress.LayerFault(tall), "");
}

// --- float grids ---

class WholeFloatRun : public ::testing::Test {
 protected:
  // A 30 x 20 window inside tile 11: open ground with a 10 x 20 wood along its east side,
  // exactly the wooded limit; its south-east pixel is the last value of the file.
  static THeightWindow EdgeWood() {
    THeightWindow w{WestX11 + 200, NorthY11 - 300, 30, 20, {}};
    for (int r = 0; r < w.Height; ++r) {
      for (int c = 0; c < w.Width; ++c)
        w.Values.push_back(c >= 20 ? 3.0 + 0.25 * ((c + r) % 5) : 0.4);
    }
    return w;
  }
  THeightWindow window = EdgeWood();
};

TEST_F(WholeFloatRun, aWoodedPolygonExactlyAtTheLimitStaysAndOnePixelLessGoes) {
  for (const std::uint8_t filetype : {NhmAsciiGrid, NhmFloatGrid}) {
    TWholeRun run(filetype);
    ASSERT_EQ(run.Lay(window), 1);
    run.WriteTiles();
    EXPECT_TRUE(run.Run());
    EXPECT_EQ(run.calc.ResultStatus, 1);
    const TLayer wooded = ReadLayer(run.WoodedLayer());
    ASSERT_EQ(wooded.Records.size(), 1u);
    EXPECT_EQ(wooded.Records[0].Surface, 200);
    EXPECT_EQ(run.LayerFault(window), "");

    // An empty layer is not written: the earlier one stays, and the status tells the host.
    const auto earlier = run.LayerFiles();
    THeightWindow less = window;
    less.Values[20] = 1.5;  // the north-west pixel of the wood
    run.Lay(less);
    run.WriteTiles();
    EXPECT_TRUE(run.Run());
    EXPECT_EQ(run.calc.ResultStatus, 2);
    EXPECT_EQ(run.platform.Texts().back(), Msg(msgNoPolygons));
    const auto now = run.LayerFiles();
    EXPECT_TRUE(std::equal(now.begin(), now.begin() + 3, earlier.begin()));
    EXPECT_EQ(CrownLayerFault(ReadLayer(run.CrownLayer()), run.ExpectedCrowns(less, 0, 29, 0, 19),
                              TCrownModel{}, false),
              "");
  }
}

TEST_F(WholeFloatRun, aFltShortOfItsLastValueReadsThatCellAsNoData) {
  for (const std::size_t dropped : {4u, 1u}) {
    SCOPED_TRACE(dropped);
    TWholeRun run(NhmFloatGrid);
    run.droppedBytes = dropped;
    ASSERT_EQ(run.Lay(window), 1);
    run.WriteTiles();
    EXPECT_TRUE(run.Run());
    EXPECT_EQ(run.calc.ResultStatus, 2);  // 199 m2 are below the limit
    EXPECT_EQ(run.platform.Texts(), std::vector<std::string>{Msg(msgNoPolygons)});
    EXPECT_EQ(run.LayerFault(WithNoData(window, 29, 29, 19, 19)), "");
  }
}

TEST_F(WholeFloatRun, aFltEndingInsideTheRowsToSkipEndsTheRunWithItsName) {
  // The file holds the tile's first ten rows; the extent starts 300 rows further south.
  TWholeRun run(NhmFloatGrid);
  ASSERT_EQ(run.Lay(window), 1);
  const std::string hdr = run.TileFile(0, 0);
  WriteText(hdr, "ncols 4375\nnrows 10\nxllcorner " + Number(WestX11 - 0.5) + "\nyllcorner " +
                     Number(NorthY11 - 9.5) +
                     "\ncellsize 1\nnodata_value -9999\nbyteorder lsbfirst\n");
  WriteFloats(ReplaceExtension(hdr, ".flt"), std::vector<float>(43750, 5.0f));
  EXPECT_EQ(NhmErrorOf([&] { run.Run(); }),
            Format(Msg(msgUnexpectedEndOfData), {std::string_view(ReplaceExtension(hdr, ".flt"))}));
  EXPECT_EQ(run.calc.ResultStatus, -1);
  EXPECT_TRUE(run.OutputEntries().empty());
}

}  // namespace
}  // namespace qv::test
