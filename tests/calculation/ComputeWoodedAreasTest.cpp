// Whole runs through ComputeWoodedAreas on small windows of heights, most spread over a 2 x 2
// block of tiles: the layers against what the heights give, the file check and the prompt, the
// failures of a tile, exceptions, and the result code.
#include <gtest/gtest.h>

#include <cfloat>
#include <filesystem>

#include "WholeRun.h"
#include "platform/Format.h"

namespace qv::test {
namespace {

namespace fs = std::filesystem;

std::string Texted(TMsg id, const std::string& value) {
  return Format(Msg(id), {std::string_view(value)});
}

THeightWindow WithNoData(THeightWindow w, int c0, int c1, int r0, int r1) {
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) w.At(c, r) = NoData;
  }
  return w;
}

// Replaces the header line starting with `key` by `line`.
void EditHeader(const std::string& path, const std::string& key, const std::string& line) {
  std::string text = ReadFile(path);
  const auto at = text.find(key);
  WriteText(path, text.replace(at, text.find('\n', at) - at, line));
}

// The window spans tiles 1091-11, -12 (rows 0-19) and -13, -14 (rows 20-39); columns 0-29 lie in
// the western tiles. Tile 11 builds by itself its own columns up to 4372 and rows up to 2997:
// window columns 0-27 and rows 0-17.
class WholeRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(run.Lay(window), 4);
    run.WriteTiles();
  }
  // The layers a fresh object writes from the same heights.
  std::vector<std::string> FreshLayers() const {
    TWholeRun fresh;
    fresh.Lay(window);
    fresh.WriteTiles();
    EXPECT_TRUE(fresh.Run());
    return fresh.LayerFiles();
  }
  bool NoBuffers() const {
    for (int i = 0; i < 4; ++i) {
      if (run.calc.Tiles.Get(i / 2, i % 2).HasBuffers()) return false;
    }
    return true;
  }

  THeightWindow window = PastureWindow(WestX12 - 30, NorthY13 + 20);
  TWholeRun run;
};

TEST_F(WholeRun, presentTilesGiveBothLayersAsTheHeightsCallFor) {
  EXPECT_TRUE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 1);
  EXPECT_EQ(run.platform.beeps + run.platform.messages.size(), 0u);
  EXPECT_EQ(std::vector<std::string>(run.status.texts.end() - 2, run.status.texts.end()),
            (std::vector<std::string>{Msg(msgWritingShapefiles), Msg(msgHeightModelDone)}));
  EXPECT_EQ(run.LayerFault(window), "");
  // The stand keeps its 120 m2 clearing and gains the small clearing and the no-data patch; the
  // 100 m2 wood and the 4 m2 island are gone.
  std::vector<double> surfaces;
  for (const auto& record : ReadLayer(run.WoodedLayer())) surfaces.push_back(record.Surface);
  EXPECT_EQ(surfaces, (std::vector<double>{1200 - 120 - 28, 280}));
  EXPECT_FALSE(run.calc.PolygonMesh || run.calc.CrownCircles);
  EXPECT_TRUE(NoBuffers());
}

TEST_F(WholeRun, missingTilesAreReportedAndAskedForOnceUnlessAllAreMissing) {
  fs::remove(run.TileFile(0, 1));
  EXPECT_TRUE(run.Run());  // Yes: the missing tile reads as no-data
  ASSERT_EQ(run.platform.messages.size(), 2u);
  EXPECT_EQ(run.platform.messages[0].text, Texted(msgFileNotFound, run.TileFile(0, 1)));
  EXPECT_EQ(run.platform.messages[1].kind, TRecordedMessage::Kind::Question);
  EXPECT_EQ(run.LayerFault(WithNoData(window, 30, 59, 0, 19)), "");
  const auto layers = run.LayerFiles();
  for (const auto answer : {TQuestionResult::No, TQuestionResult::Cancel}) {
    run.platform.answers = {answer};
    run.status.texts.clear();
    EXPECT_FALSE(run.Run());
    EXPECT_EQ(run.calc.ResultStatus, 1);  // as it was, and so are the layers
    EXPECT_TRUE(run.LayerFiles() == layers);
    EXPECT_TRUE(run.status.texts.empty());
    EXPECT_FALSE(run.calc.PolygonMesh);
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

// A refused header fails its tile and the run, but the layers of what was built are written.
TEST_F(WholeRun, aHeaderRefusedInTheSecondTileStillWritesTheFirstTilesLayers) {
  EditHeader(run.TileFile(0, 1), "ncols", "ncols 0");
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 0);
  EXPECT_EQ(run.platform.Texts(),
            std::vector<std::string>{Texted(msgReadError, run.TileFile(0, 1))});
  EXPECT_EQ(run.status.texts.back(), Msg(msgTileProcessingError));
  EXPECT_EQ(run.LayerFault(window, 0, 27, 0, 17), "");
  // A value that is not a number throws out of the run, which writes nothing and keeps the status.
  EditHeader(run.TileFile(1, 0), "yllcorner", "yllcorner 25x");
  run.WriteTile(0, 1);
  const auto layers = run.LayerFiles();
  EXPECT_NE(NhmErrorOf([&] { run.Run(); }).find(run.TileFile(1, 0)), std::string::npos);
  EXPECT_EQ(run.calc.ResultStatus, 0);
  EXPECT_TRUE(run.LayerFiles() == layers);
  EXPECT_FALSE(run.calc.PolygonMesh || run.calc.CrownCircles);
  EXPECT_TRUE(NoBuffers());
  // After failures the next good run writes what a fresh object writes.
  run.WriteTile(1, 0);
  EXPECT_TRUE(run.Run());
  EXPECT_TRUE(run.LayerFiles() == FreshLayers());
}

TEST_F(WholeRun, aLayerOrDirectoryThatCannotBeWrittenFailsTheRunAndKeepsTheEarlierLayer) {
  ASSERT_TRUE(run.Run());
  const auto earlier = run.LayerFiles();
  // The host holds the earlier wooded layer open: it cannot be moved aside.
  run.platform.allowWrite = [&](const std::string& path) {
    return path != run.WoodedLayer() + ".qvold";
  };
  run.platform.Clear();
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 0);
  ASSERT_EQ(run.platform.messages.size(), 1u);
  EXPECT_EQ(run.platform.messages[0].kind, TRecordedMessage::Kind::Error);
  EXPECT_EQ(run.platform.messages[0].text, Msg(msgShapefileWriteError) + run.WoodedLayer());
  EXPECT_TRUE(run.LayerFiles() == earlier);

  run.calc.LayoutVersion = 9.5;  // the layers go to an Output subdirectory, which cannot be made
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
  EXPECT_EQ(run.status.texts.back(), Msg(msgTileProcessingError));
}

TEST_F(WholeRun, crownsWithoutRadiusAreLeftOutAndTheIncompleteLayerFailsTheRun) {
  run.calc.TreeRadiusParam0 = -3.0;  // R = 0.5 H - 3 is not positive up to 6 m
  run.calc.TreeRadiusParam1 = 0.5;
  const auto all = run.Crowns(window, 0, 59, 0, 39);
  std::vector<TCrown> kept;
  std::copy_if(all.begin(), all.end(), std::back_inserter(kept),
               [](const TCrown& c) { return c.H > 6.0; });
  ASSERT_TRUE(!kept.empty() && kept.size() < all.size());
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, 0);
  EXPECT_EQ(run.platform.Texts(),
            std::vector<std::string>{Format(
                Msg(msgLayerIncomplete),
                {std::int64_t(all.size() - kept.size()), std::string_view(run.CrownLayer())})});
  EXPECT_EQ(CrownLayerFault(ReadLayer(run.CrownLayer()), kept, -3.0, 0.5), "");
}

TEST_F(WholeRun, anUnknownFileTypeIsRefusedBeforeAnyFileIsOpened) {
  run.calc.NhmFiletype = 7;
  EXPECT_FALSE(run.Run());
  EXPECT_EQ(run.calc.ResultStatus, -1);
  EXPECT_EQ(run.platform.Texts(),
            std::vector<std::string>{Format(Msg(msgUnknownFiletype), {std::int64_t{7}})});
  EXPECT_TRUE(run.NothingWritten());
}

// The same heights from ASCII and from float grids give the same wooded layer, byte for byte but
// for the date, and the same crowns to float precision, whatever the no-data value.
TEST(WholeFloatRun, asciiAndFloatGridsGiveTheSameLayers) {
  for (const double noData : {-9999.0, 9999.9, -3.40282e+38}) {
    TWholeRun ascii(NhmAsciiGrid), binary(NhmFloatGrid);
    const THeightWindow window = PastureWindow(WestX12 - 30, NorthY13 + 20);
    for (TWholeRun* run : {&ascii, &binary}) {
      run->calc.MinTreeHeight = 3.5;
      run->noData = noData;
      run->Lay(window);
      run->WriteTiles();
      ASSERT_TRUE(run->Run());
      EXPECT_EQ(run->LayerFault(window), "") << noData;
    }
    auto a = ascii.LayerFiles(), b = binary.LayerFiles();
    a[2].replace(1, 3, "---");  // the date of writing
    b[2].replace(1, 3, "---");
    EXPECT_TRUE(std::equal(a.begin(), a.begin() + 3, b.begin())) << noData;
  }
}

// A 30 x 20 window inside tile 11: a 10 x 20 wood along its east side, exactly the wooded limit,
// its south-east pixel the last value of the file.
TEST(WholeFloatRun, aWoodOfExactlyTheLimitStaysAndAFltShortOfItsLastValueReadsItAsNoData) {
  THeightWindow w{WestX11 + 200, NorthY11 - 300, 30, 20, {}};
  for (int i = 0; i < 600; ++i)
    w.Values.push_back(i % 30 >= 20 ? 3.0 + 0.25 * ((i % 30 + i / 30) % 5) : 0.4);
  for (const std::size_t dropped : {0u, 4u, 1u}) {
    TWholeRun run(NhmFloatGrid);
    run.droppedBytes = dropped;
    run.Lay(w);
    run.WriteTiles();
    EXPECT_TRUE(run.Run());
    EXPECT_EQ(run.calc.ResultStatus, dropped ? 2 : 1);  // 199 m2 are below the limit
    EXPECT_EQ(run.LayerFault(dropped ? WithNoData(w, 29, 29, 19, 19) : w), "") << dropped;
  }
  // The file ends inside the rows to be skipped: the run ends with an error naming it.
  TWholeRun run(NhmFloatGrid);
  run.Lay(w);
  WriteText(run.TileFile(0, 0),
            Header(4375, 10, WestX11 - 0.5, NorthY11 - 9.5) + "byteorder lsbfirst\n");
  WriteFloats(ReplaceExtension(run.TileFile(0, 0), ".flt"), std::vector<float>(43750, 5.0f));
  EXPECT_EQ(NhmErrorOf([&] { run.Run(); }),
            Texted(msgUnexpectedEndOfData, ReplaceExtension(run.TileFile(0, 0), ".flt")));
  EXPECT_EQ(run.calc.ResultStatus, -1);
  EXPECT_TRUE(run.NothingWritten());
}

}  // namespace
}  // namespace qv::test
