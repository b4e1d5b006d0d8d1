#include <gtest/gtest.h>

#include <sstream>

#include "RecordingPlatform.h"
#include "dialog/Run.h"
#include "dialog/TestProject.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class Run : public ::testing::Test {
 protected:
  std::int32_t Call(const test::TExtent& e, const char* path) {
    options.Output = &output;
    return RunQuelvaris(e.XMin, e.XMax, e.YMin, e.YMax, path, options);
  }
  std::int32_t Call(const test::TExtent& e) { return Call(e, project.Shapefile().c_str()); }
  std::optional<std::string> Check() {
    const auto& e = window;
    return CheckBatchEdits(e.XMin, e.XMax, e.YMin, e.YMax, project.Shapefile().c_str(), options);
  }
  bool Printed(std::string_view text) const {
    return output.str().find(text) != std::string::npos;
  }

  test::RecordingPlatform platform;  // inside the batch platform: German, "." and ","
  test::TTestProject project;
  TBatchOptions options;
  std::ostringstream output;
  const test::TExtent window = test::Window;
};

TEST_F(Run, setUpPrintsTheInformationLinesAndWhyAnExtentHasNoTiles) {
  options.Press = TBatchButton::Cancel;
  EXPECT_EQ(Call(window), -1);
  EXPECT_EQ(output.str(), "x: 672500 - 672659\ny: 253881 - 254000\nShapefile: " +
                              project.Shapefile() +
                              "\nEcke links oben: Kachel Nr 109111\nKacheln 1091-11,\n");
  output.str("");
  EXPECT_EQ(Call({2672500, 2672659, 1253881, 1254000}), -1);
  EXPECT_TRUE(Printed("\nEcke links oben: Kachel Nr 109111 (LV95)\nKacheln 1091-11,\n"));
  options.Press = TBatchButton::Calculate;
  const std::pair<test::TExtent, std::string> cases[] = {
      {test::ExtentWestOfGrid, "Die linke obere Ecke des Ausschnitts liegt ausserhalb"},
      {{672500, 670000, 253881, 254000}, "Der Ausschnitt ist vertauscht"},
      {{672500, 672659, -2000000000, 254000}, "Der Ausschnitt umfasst mehr Kacheln"},
      {{672500, 672659, 1253881, 1254000}, "Der Ausschnitt liegt teils in LV03- und teils"}};
  for (const auto& [extent, reason] : cases) {
    output.str("");
    EXPECT_EQ(Call(extent), 0);
    EXPECT_TRUE(Printed("\n" + reason)) << output.str();
  }
}

TEST_F(Run, editsAreMadeInOrderAsTheUserWouldTypeThem) {
  project.WriteTiles(1);
  options.Edits = {{"edtMinTreeHeight", "2.5"}, {"edtMinTreeHeight", "3.25"},
                   {"cmbNhmSeparator", "~"},    {"edtNhmPrefix", "mnh"},
                   {"edtNhmSuffix", "_s"},      {"edtNhmDir", "dhm\\2024"},
                   {"cmbNhmFileExt", ".asc"},   {"cmbNhmSeparator", "-"}};
  EXPECT_EQ(Call(window), 4);  // no file found: every tile reads as no-data
  EXPECT_TRUE(Printed("mnh1091-11_s.asc\" nicht gefunden")) << output.str();
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "3.25");

  // A typed text that is no item of the list has no position to store.
  options.Press = TBatchButton::Cancel;
  options.Edits = {{"cmbNhmSeparator", "~"}, {"rgNhmFiletype", "1"}, {"edNumCirclePoints", "24"}};
  EXPECT_EQ(Call(window), -1);
  EXPECT_EQ(project.Stored("Files", "NHM separator"), "-1");
  EXPECT_EQ(project.Stored("Files", "file type"), "1");
  EXPECT_EQ(project.Stored("Parameters", "Number of points in circle"), "24");

  // An edit that cannot be made stops the script before Calculate.
  options.Press = TBatchButton::Calculate;
  options.Edits = {{"cmbNhmFileExt", ".asc"}, {"edtMinTreeHeight", "5"}};
  output.str("");
  EXPECT_EQ(Call(window), -1);
  EXPECT_TRUE(Printed("\ncmbNhmFileExt: the list is disabled\n")) << output.str();
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "3.25");
  EXPECT_FALSE(fs::exists(project.Layer("_w2.shp")));
}

TEST_F(Run, missingTilesPromptIsAnsweredFromTheOptionsAndTheReportCountsTheTilesRead) {
  project.WriteTiles(1);
  test::TExtent twoTiles = window;
  twoTiles.XMax += 4375;
  options.Answer = TQuestionResult::No;
  EXPECT_EQ(Call(twoTiles), 0);
  EXPECT_TRUE(Printed("Fehlende Dateien: Nur 1 von 2 NHM Dateien vorhanden.\n"
                      "F\xC3\xBCr fehlende Kacheln \"Dummy\"-Dateien verwenden? -> Nein\n"))
      << output.str();
  EXPECT_FALSE(fs::exists(project.Layer("_w1.shp")));

  TRunReport report;
  options.Report = &report;
  options.Answer = TQuestionResult::Yes;
  output.str("");
  EXPECT_EQ(Call(twoTiles), 1);
  EXPECT_TRUE(Printed("-> Ja\n")) << output.str();
  EXPECT_EQ(report.Tiles, 2);
  EXPECT_EQ(report.TilesRead, 1);
  EXPECT_EQ(report.WoodedShapePath + report.CrownShapePath,
            project.Layer("_w1.shp") + project.Layer("_w2.shp"));
  // Sparse progress: the first text of each tile, then the last ones.
  EXPECT_TRUE(Printed("\nKachel 1 Zeile 0, 0%\nKachel 2 Zeile 0, 0%\nShapefiles schreiben...\n"
                      "Verarbeitung des NHM beendet\n"))
      << output.str();
}

TEST_F(Run, nullPathCountsAsEmptyAndAnExceptionAtTheEntryGivesTheLibraryErrorAndZero) {
  // The settings would go to the root directory; the test keeps them from being written there.
  platform.allowWrite = [](const std::string&) { return false; };
  options.Press = TBatchButton::Cancel;
  EXPECT_EQ(Call(test::ExtentWestOfGrid, nullptr), -1);
  EXPECT_TRUE(Printed("\nShapefile: \n")) << output.str();

  output.str("");
  platform.failNumberFormat = true;  // the dialog cannot even be created
  EXPECT_EQ(Call(window), 0);
  EXPECT_EQ(output.str(), "Erreur dans le DLL quelvaris\n");
  EXPECT_EQ(Check(), std::nullopt);  // the run meets it and reports it
}

TEST_F(Run, editsAreCheckedBeforeTheRunWithoutShowingOrWritingAnything) {
  EXPECT_EQ(Check(), std::nullopt);
  options.Edits = {{"edtMinTreeHeight", "3"}, {"edNumCirclePoints", "1000"}};
  EXPECT_EQ(Check(), "Kreise als Polygone vom Grad: Ung\xC3\xBCltige Zahl (3 bis 360)");
  options.Edits = {{"rgNhmFiletype", "1"}, {"cmbNhmFileExt", ".asc"}};
  EXPECT_EQ(Check(), "cmbNhmFileExt: the list is disabled");
  // A stored value that Calculate refuses is the run's to report, not the edits'.
  project.WriteSettings("[Parameters]\nNumber of points in circle=1000\n");
  options.Edits = {{"edtMinTreeHeight", "3"}};
  EXPECT_EQ(Check(), std::nullopt);
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "<absent>");
  EXPECT_TRUE(platform.messages.empty());
}

// On a terminal the progress is one line that messages end first.
TEST(ConsoleOutput, progressIsRewrittenInPlaceOnATerminal) {
  std::ostringstream out;
  {
    TConsoleOutput console(out, TProgressStyle::InPlace);
    for (const char* status : {"Tile 1", "Tile 1 line 50"}) console.Status(status, std::nullopt);
    console.Message("Error\rsecond line");
    console.Status("Tile 2", std::nullopt);
  }
  EXPECT_EQ(out.str(), "\rTile 1\x1b[K\rTile 1 line 50\x1b[K\nError\nsecond line\n\rTile 2\x1b[K\n");
}

}  // namespace
}  // namespace qv
