#include <gtest/gtest.h>

#include <sstream>

#include "RecordingPlatform.h"
#include "dialog/Run.h"
#include "dialog/TestProject.h"

namespace qv {
namespace {

class Run : public ::testing::Test {
 protected:
  std::int32_t Call(const test::TExtent& e, const char* path) {
    options.Output = &output;
    return RunQuelvaris(e.XMin, e.XMax, e.YMin, e.YMax, path, options);
  }
  std::int32_t Call(const test::TExtent& e) { return Call(e, project.Shapefile().c_str()); }
  bool Printed(std::string_view text) const {
    return output.str().find(text) != std::string::npos;
  }

  test::RecordingPlatform platform;  // inside the batch platform: German, "." and ","
  test::TTestProject project;
  TBatchOptions options;
  std::ostringstream output;
  const test::TExtent window = test::WindowExtent(test::ProjectTile, test::ProjectWindow);
};

TEST_F(Run, invalidNumberThenCancelReturnsZeroAndKeepsTheStoredValue) {
  project.WriteSettings("[Parameters]\nMinimum tree height=3\n");
  options.Edits = {{"edtMinTreeHeight", "abc"}};
  EXPECT_EQ(Call(window), 0);
  EXPECT_EQ(output.str(), "Ung\xC3\xBCltige Zahl\n");
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "3");
  EXPECT_EQ(project.Stored("Parameters", "Minimum wooded area"), "200");
}

TEST_F(Run, editsAreMadeInOrderAsTheUserWouldTypeThem) {
  options.Press = TBatchButton::Cancel;
  options.Edits = {{"edtMinTreeHeight", "2.5"},  {"edtMinTreeHeight", "3.25"},
                   {"cmbNhmSeparator", "-"},     {"edtNhmPrefix", "mnh"},
                   {"edtNhmDir", "dhm\\2024"},   {"rgNhmFiletype", "1"},
                   {"cmbNhmFileExt", ".asc"},  // disabled for binary files: refused
                   {"edNumCirclePoints", "24"}};
  EXPECT_EQ(Call(window), -1);
  EXPECT_EQ(project.Stored("Parameters", "Minimum tree height"), "3.25");
  EXPECT_EQ(project.Stored("Parameters", "Number of points in circle"), "24");
  EXPECT_EQ(project.Stored("Files", "NHM separator"), "1");
  EXPECT_EQ(project.Stored("Files", "NHM prefix"), "mnh");
  EXPECT_EQ(project.Stored("Files", "NHM directory"), "dhm\\2024");
  EXPECT_EQ(project.Stored("Files", "file type"), "1");
  EXPECT_EQ(output.str(), "cmbNhmFileExt: the list is disabled\n");
}

TEST_F(Run, textThatIsNoItemIsTypedIntoTheList) {
  options.Press = TBatchButton::Cancel;
  options.Edits = {{"cmbNhmSeparator", "~"}};
  EXPECT_EQ(Call(window), -1);
  // The list's position is what the file keeps, and a typed text has none.
  EXPECT_EQ(project.Stored("Files", "NHM separator"), "-1");
}

TEST_F(Run, typedSeparatorAndExtensionNameTheTileFiles) {
  project.WriteTiles(test::ProjectTile, 1, 1);
  const std::string expected = "1091~11_dhm_grid1.asc";
  options.Edits = {{"cmbNhmSeparator", "~"}, {"cmbNhmFileExt", ".asc"}};
  EXPECT_EQ(Call(window), 4);  // no file found: every tile reads as no-data
  EXPECT_TRUE(Printed(expected + "\" nicht gefunden")) << output.str();
}

TEST_F(Run, missingTilesPromptIsAnsweredFromTheOptions) {
  project.WriteTiles(test::ProjectTile, 1, 1);
  // Two tiles side by side, only the west one delivered.
  test::TExtent twoTiles = window;
  twoTiles.XMax += 4375;
  options.Answer = TQuestionResult::No;
  EXPECT_EQ(Call(twoTiles), 0);
  EXPECT_TRUE(Printed("Fehlende Dateien: Nur 1 von 2 NHM Dateien vorhanden.\n"
                      "F\xC3\xBCr fehlende Kacheln \"Dummy\"-Dateien verwenden? -> Nein\n"))
      << output.str();
  EXPECT_FALSE(project.Exists(project.Layer("_w1.shp")));
}

TEST_F(Run, exceptionInAnEventIsShownAndTheDialogStaysOpenUntilCancel) {
  project.WriteTiles(test::ProjectTile, 1, 1);
  std::ofstream(project.NhmDir() + "/109111_dhm_grid1.txt", std::ios::binary)
      << "ncols 3\nnrows 3\nxllcorner 0\nyllcorner 0\ncellsize 1x\nnodata_value -9999\n";
  options.Edits = {{"edtMinClearingArea", "70"}};
  EXPECT_EQ(Call(window), 0);
  EXPECT_TRUE(Printed("1x")) << output.str();
  EXPECT_FALSE(platform.busy);
  EXPECT_EQ(project.Stored("Parameters", "Minimum clearing area"), "70");
}

TEST_F(Run, nullPathCountsAsEmpty) {
  // The settings would go to the root directory; the test keeps them from being written there.
  platform.allowWrite = [](const std::string&) { return false; };
  options.Press = TBatchButton::Cancel;
  EXPECT_EQ(Call(test::ExtentWestOfGrid, nullptr), -1);
  EXPECT_TRUE(Printed("quelvaris.ini")) << output.str();
}

TEST_F(Run, successfulRunReturnsOneAndShowsProgressOncePerTile) {
  project.WriteTiles(test::ProjectTile, 2, 1);
  test::TExtent twoTiles = window;
  twoTiles.XMax += 4375;
  EXPECT_EQ(Call(twoTiles), 1);
  EXPECT_EQ(output.str(),
            "Kachel 1 Zeile 0, 0%\n"
            "Kachel 2 Zeile 0, 0%\n"
            "Shapefiles schreiben...\n"
            "Verarbeitung des NHM beendet\n");
  EXPECT_TRUE(project.Exists(project.Layer("_w1.shp")));
  EXPECT_TRUE(project.Exists(project.Layer("_w2.shp")));
}

}  // namespace
}  // namespace qv
