#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "Program.h"
#include "dialog/TestProject.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class Host : public ::testing::Test {
 protected:
  // The extent of the project's window and its shapefile after the options.
  test::TProgramResult Run(std::vector<std::string> args, const std::string& lang = "C.UTF-8",
                           bool withExtent = true) {
    if (withExtent) {
      for (const std::int32_t v : {window.XMin, window.XMax, window.YMin, window.YMax})
        args.push_back(std::to_string(v));
      args.push_back(project.Shapefile());
    }
    return test::RunProgram(QV_HOST_PATH, args, project.Dir().string(), lang);
  }

  test::TTestProject project;
  const test::TExtent window = test::WindowExtent(test::ProjectTile, test::ProjectWindow);
};

TEST_F(Host, commandLineMistakeIsOneLineNamingItAndExitsWithTwo) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> wrong = {
      {{}, "expected XMIN XMAX YMIN YMAX SHAPEFILE"},
      {{"1", "2", "3", "4"}, "expected XMIN XMAX YMIN YMAX SHAPEFILE, got 4 arguments"},
      {{"1", "2x", "3", "4", "a.shp"}, "XMAX must be a whole number"},
      {{"-", "2", "3", "4", "a.shp"}, "XMIN must be a whole number"},  // "-" is no option
      {{"1", "2", "3", "99999999999", "a.shp"}, "YMAX must be a whole number"},
      {{"1", "2", "3", "4", ""}, "SHAPEFILE is empty"},
      {{"--frobnicate", "1", "2", "3", "4", "a.shp"}, "unknown option --frobnicate"},
      {{"--set", "edtMinTreeHeight", "1", "2", "3", "4", "a.shp"}, "--set takes NAME=TEXT"},
      {{"--set", "btnCalculate=1", "1", "2", "3", "4", "a.shp"}, "btnCalculate is a button"},
      {{"--set", "rgNhmFiletype=5", "1", "2", "3", "4", "a.shp"}, "(0 ASCII, 1 binary)"},
      {{"--answer", "maybe", "1", "2", "3", "4", "a.shp"}, "--answer takes yes or no"},
      {{"demo", "a", "b"}, "demo takes at most one DIR"}};
  for (const auto& [args, problem] : wrong) {
    const auto r = Run(args, "C.UTF-8", false);
    EXPECT_EQ(r.Exit, 2) << problem;
    EXPECT_EQ(r.Err.rfind("quelvaris-host: ", 0), 0u) << r.Err;
    EXPECT_NE(r.Err.find(problem), std::string::npos) << r.Err;
    EXPECT_TRUE(r.Err.ends_with(" (try --help)\n") && r.Err.find('\n') + 1 == r.Err.size())
        << r.Err;
    EXPECT_EQ(r.Out, "");
  }
  const auto help = Run({"--help"}, "C.UTF-8", false);
  EXPECT_EQ(help.Exit, 0);
  EXPECT_NE(help.Out.find("demo [DIR]"), std::string::npos);
}

TEST_F(Host, setThatTheDialogWouldRefuseEndsWithTwoBeforeTheDialogRuns) {
  project.WriteTiles(test::ProjectTile, 1, 1);
  auto r = Run({"--set", "edNumCirclePoints=1000"});
  EXPECT_EQ(r.Exit, 2);
  EXPECT_EQ(r.Err, "quelvaris-host: Kreise als Polygone vom Grad: Ung\xC3\xBCltige Zahl (3 bis 360)\n");
  r = Run({"--cancel", "--set", "rgNhmFiletype=1", "--set", "cmbNhmFileExt=.asc"});
  EXPECT_EQ(r.Exit, 2);
  EXPECT_EQ(r.Err, "quelvaris-host: cmbNhmFileExt: the list is disabled\n");
  EXPECT_EQ(r.Out, "");
  EXPECT_FALSE(fs::exists(project.SettingsFile()));
  EXPECT_FALSE(fs::exists(project.Layer("_w1.shp")));
}

TEST_F(Host, storedValueThatCalculateRefusesIsNamedAndTheRunReturnsZero) {
  project.WriteSettings("[Parameters]\nNumber of points in circle=1000\n");
  const auto r = Run({}, "fr_CH.UTF-8");
  EXPECT_EQ(r.Exit, 0);
  EXPECT_NE(r.Err.find("\nOrdre des polygones approximant les cercles: Valeur num\xC3\xA9rique non "
                       "valide (3 \xC3\xA0 360)\n"),
            std::string::npos)
      << r.Err;
  EXPECT_EQ(r.Out, "quelvaris returned 0\n");
}

TEST_F(Host, completedRunPrintsItsSummary) {
  project.WriteTiles(test::ProjectTile, 1, 1);
  const auto r = Run({}, "fr_CH.UTF-8");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_TRUE(r.Err.ends_with(
      "\nTuile 1 ligne 0, 0%\nEcrire les shapefiles..\nTraitement du MNH termin\xC3\xA9\n"))
      << r.Err;
  const std::regex summary(
      "Tiles read: 1 of 1\nWooded polygons: [1-9][0-9]*, total area [1-9][0-9]* m2 "
      "\\([0-9]+\\.[0-9]{2} ha\\)\nCrown circles: [1-9][0-9]*\nElapsed time: [0-9]+\\.[0-9] s\n"
      "Wooded-area layer: " + project.Layer("_w1.shp") + "\nCrown-circle layer: " +
      project.Layer("_w2.shp") + "\nquelvaris returned 1\n");
  EXPECT_TRUE(std::regex_match(r.Out, summary)) << r.Out;
}

TEST_F(Host, relativeShapefileIsTakenFromTheWorkingDirectory) {
  // A negative coordinate is no option either.
  const auto r = Run({"--set", "edtMinTreeHeight=3.5", "--cancel", "-5", "-1", "-9", "-2",
                      "shapes/../shapes/parcels.shp"},
                     "C.UTF-8", false);
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Out, "quelvaris returned -1\n");
  EXPECT_NE(project.ReadSettings().find("Minimum tree height=3.5"), std::string::npos);
}

TEST_F(Host, numbersAreTypedInTheLocalesFormat) {
  // fr_FR writes decimals with a comma, and so does the settings file there.
  const auto r = Run({"--set", "edtMinTreeHeight=2,5", "--cancel"}, "fr_FR.UTF-8");
  EXPECT_EQ(r.Out, "quelvaris returned -1\n");
  EXPECT_NE(project.ReadSettings().find("Minimum tree height=2,5"), std::string::npos);
  EXPECT_EQ(Run({"--set", "edtMinTreeHeight=2.5"}, "fr_FR.UTF-8").Exit, 2);
}

TEST_F(Host, deleteTempFilesPrintsTheCount) {
  const std::string base = (project.Dir() / "tmp").string();
  for (const char* name : {"_comb.shp", "_comb.dbf", "_merg.shx"})
    std::ofstream(base + name) << "x";
  const auto r = Run({"--delete-temp-files", "tmp.shp"}, "C.UTF-8", false);
  EXPECT_EQ(r.Exit, 0);
  EXPECT_EQ(r.Out, "delete_temp_files returned 3\n");
}

TEST_F(Host, demoWritesBothLayersAndSummarises) {
  const auto r = Run({"demo", "demo"}, "C.UTF-8", false);
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Out.rfind("Height model: tiles 1091-11, 1091-12, 1091-13, 1091-14 (", 0), 0u);
  EXPECT_NE(r.Out.find("\nTiles read: 4 of 4\nWooded polygons: "), std::string::npos) << r.Out;
  const fs::path shapes = project.Dir() / "demo" / "shapes";
  EXPECT_NE(r.Out.find("Crown-circle layer: " + (shapes / "parcels_w2.shp").string()),
            std::string::npos);
  EXPECT_EQ(r.LastLine(), "quelvaris returned 1");
  EXPECT_TRUE(fs::exists(shapes / "parcels_w1.shp"));
}

}  // namespace
}  // namespace qv
