#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Program.h"
#include "dialog/TestProject.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

class Host : public ::testing::Test {
 protected:
  test::TProgramResult Run(std::vector<std::string> args, const std::string& lang = "C.UTF-8") {
    return test::RunProgram(QV_HOST_PATH, args, project.Dir().string(), lang);
  }
  // The coordinates of an extent, then the shapefile.
  static std::vector<std::string> Extent(const test::TExtent& e, const std::string& shapefile) {
    return {std::to_string(e.XMin), std::to_string(e.XMax), std::to_string(e.YMin),
            std::to_string(e.YMax), shapefile};
  }
  static std::vector<std::string> Join(std::vector<std::string> a,
                                       const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  }

  test::TTestProject project;
  const test::TExtent window = test::WindowExtent(test::ProjectTile, test::ProjectWindow);
};

TEST_F(Host, usageErrorsExitWithTwoAndTheUsageText) {
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"1", "2", "3", "4"},
      {"1", "2", "3", "4", "a.shp", "extra"},
      {"1", "2x", "3", "4", "a.shp"},
      {"1", "2", "3", "99999999999", "a.shp"},
      {"1", "2", "3", "4", ""},
      {"--frobnicate", "1", "2", "3", "4", "a.shp"},
      {"--set", "edtMinTreeHeight", "1", "2", "3", "4", "a.shp"},
      {"--set", "edtNoSuchField=1", "1", "2", "3", "4", "a.shp"},
      {"--set", "btnCalculate=1", "1", "2", "3", "4", "a.shp"},
      {"--set", "rgNhmFiletype=binary", "1", "2", "3", "4", "a.shp"},
      {"--set", "rgNhmFiletype=5", "1", "2", "3", "4", "a.shp"},
      {"--answer", "maybe", "1", "2", "3", "4", "a.shp"},
      {"1", "2", "3", "4", "a.shp", "--answer"},
      {"--delete-temp-files"},
      {"demo", "a", "b"},
  };
  for (const auto& args : wrong) {
    std::string joined;
    for (const auto& a : args) joined += "[" + a + "]";
    const auto r = Run(args);
    EXPECT_EQ(r.Exit, 2) << joined;
    EXPECT_NE(r.Err.find("usage: quelvaris-host"), std::string::npos) << joined;
    EXPECT_EQ(r.Out, "") << joined;
  }
  EXPECT_FALSE(fs::exists(project.Dir() / "a.shp"));
  const auto help = Run({"--help"});
  EXPECT_EQ(help.Exit, 0);
  EXPECT_NE(help.Out.find("demo [DIR]"), std::string::npos);
}

TEST_F(Host, relativeShapefileIsTakenFromTheWorkingDirectory) {
  const auto r = Run(Join({"--set", "edtMinTreeHeight=3.5", "--cancel"},
                          Extent(window, "shapes/../shapes/parcels.shp")));
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.LastLine(), "quelvaris returned -1");
  EXPECT_NE(project.ReadSettings().find("Minimum tree height=3.5"), std::string::npos);
}

TEST_F(Host, negativeCoordinatesAreNoOptions) {
  const auto r = Run({"--cancel", "-5", "-1", "-9", "-2", "x.shp"});
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.LastLine(), "quelvaris returned -1");
}

TEST_F(Host, deleteTempFilesPrintsTheCount) {
  const std::string base = (project.Dir() / "tmp").string();
  for (const char* name : {"_comb.shp", "_comb.dbf", "_merg.shx"})
    std::ofstream(base + name) << "x";
  const auto r = Run({"--delete-temp-files", "tmp.shp"});
  EXPECT_EQ(r.Exit, 0);
  EXPECT_EQ(r.Out, "delete_temp_files returned 3\n");
}

TEST_F(Host, frenchRunAsksInFrenchAndStopsAtNo) {
  project.WriteTiles(test::ProjectTile, 1, 1);
  test::TExtent twoTiles = window;
  twoTiles.XMax += 4375;
  const auto r = Run(Join({"--answer", "no"}, Extent(twoTiles, project.Shapefile())),
                     "fr_CH.UTF-8");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_NE(r.Err.find("109112_dhm_grid1.txt\" n'existe pas\n"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("Fichiers manquants: Seulement 1 de 2 fichiers MNH sont disponibles.\n"
                       "Utiliser des fichiers \"dummy\" pour les tuiles manquantes? -> Non\n"),
            std::string::npos)
      << r.Err;
  EXPECT_EQ(r.LastLine(), "quelvaris returned 0");
  EXPECT_FALSE(fs::exists(project.Layer("_w2.shp")));
}

TEST_F(Host, numbersAreTypedInTheLocalesFormat) {
  // fr_FR writes decimals with a comma, and so does the settings file there.
  auto r = Run(Join({"--set", "edtMinTreeHeight=2,5", "--cancel"},
                    Extent(window, project.Shapefile())),
               "fr_FR.UTF-8");
  EXPECT_EQ(r.LastLine(), "quelvaris returned -1");
  EXPECT_NE(project.ReadSettings().find("Minimum tree height=2,5"), std::string::npos);
  r = Run(Join({"--set", "edtMinTreeHeight=2.5"}, Extent(window, project.Shapefile())),
          "fr_FR.UTF-8");
  EXPECT_EQ(r.Err, "Valeur num\xC3\xA9rique non valide\n");
  EXPECT_EQ(r.LastLine(), "quelvaris returned 0");
}

TEST_F(Host, calculationPrintsSparseProgressAndReturnsTheStatus) {
  project.WriteTiles(test::ProjectTile, 1, 1);
  const auto r = Run(Extent(window, project.Shapefile()), "fr_CH.UTF-8");
  EXPECT_EQ(r.Exit, 0) << r.Err;
  EXPECT_EQ(r.Err,
            "Tuile 1 ligne 0, 0%\nEcrire les shapefiles..\nTraitement du MNH termin\xC3\xA9\n");
  EXPECT_EQ(r.LastLine(), "quelvaris returned 1");
  EXPECT_TRUE(fs::exists(project.Layer("_w1.shp")));
  EXPECT_TRUE(fs::exists(project.Layer("_w2.dbf")));
}

TEST_F(Host, demoWritesBothLayersAndSummarises) {
  const auto r = Run({"demo", "demo"});
  EXPECT_EQ(r.Exit, 0) << r.Err;
  const fs::path shapes = project.Dir() / "demo" / "shapes";
  EXPECT_NE(r.Out.find("Tiles: 4\n"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("Wooded polygons: "), std::string::npos) << r.Out;
  EXPECT_EQ(r.Out.find("none (layer not written)"), std::string::npos) << r.Out;
  EXPECT_NE(r.Out.find("Wooded-area layer: " + (shapes / "parcels_w1.shp").string()),
            std::string::npos);
  EXPECT_EQ(r.LastLine(), "quelvaris returned 1");
  EXPECT_TRUE(fs::exists(shapes / "parcels_w1.shp"));
  EXPECT_TRUE(fs::exists(shapes / "parcels_w2.shp"));
  for (const char* tile : {"109111", "109112", "109113", "109114"}) {
    EXPECT_TRUE(fs::exists(project.Dir() / "demo" / "MNA_Laser" / "MNH" /
                           (std::string(tile) + "_dhm_grid1.txt")));
  }
}

}  // namespace
}  // namespace qv
