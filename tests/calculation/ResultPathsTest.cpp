#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "RecordingPlatform.h"
#include "calculation/ResultPaths.h"
#include "dialog/languages/Languages.h"

namespace qv {
namespace {

constexpr auto W = TPathRules::Windows;
constexpr auto P = TPathRules::Posix;

TEST(RunDirectories, heightModelSitsBesideTheShapefilesDirectory) {
  const auto d = DeriveRunDirectories("D:\\project\\shapes\\parcels.shp", "MNA_Laser\\MNH\\", 0,
                                      ".asc", 3.3, W);
  EXPECT_EQ(d.NhmDir, "MNA_Laser\\MNH");
  EXPECT_EQ(d.ShapefileDir, "D:\\project\\shapes\\");
  EXPECT_EQ(d.NhmPath, "D:\\project\\MNA_Laser\\MNH\\");
  EXPECT_EQ(d.OutputDir, "D:\\project\\shapes\\");
  EXPECT_EQ(d.NhmFileExt, ".asc");
  // A drive letter in the entered directory is not recognised: it is appended all the same.
  EXPECT_EQ(DeriveRunDirectories("D:\\project\\shapes\\parcels.shp", "E:\\nhm", 0, ".asc", 3.3, W)
                .NhmPath,
            "D:\\project\\E:\\nhm\\");
  const auto p = DeriveRunDirectories("/home/u/project/shapes/parcels.shp", "MNA_Laser\\MNH/", 0,
                                      ".asc", 3.3, P);
  EXPECT_EQ(p.ShapefileDir, "/home/u/project/shapes/");
  EXPECT_EQ(p.NhmPath, "/home/u/project/MNA_Laser/MNH/");  // one separator throughout
  EXPECT_EQ(p.OutputDir, "/home/u/project/shapes/");
}

TEST(RunDirectories, shapefileInADriveRootKeepsTheRoot) {
  const auto d = DeriveRunDirectories("C:\\parcels.shp", "MNA_Laser\\MNH", 0, ".asc", 3.3, W);
  EXPECT_EQ(d.ShapefileDir, "C:\\");
  EXPECT_EQ(d.NhmPath, "C:\\MNA_Laser\\MNH\\");
  EXPECT_EQ(d.OutputDir, "C:\\");
  EXPECT_EQ(DeriveLayerPaths("C:\\parcels.shp", d.OutputDir, W).WoodedShapePath, "C:\\parcels_w1.shp");
  const auto p = DeriveRunDirectories("/parcels.shp", "MNA_Laser/MNH", 0, ".asc", 3.3, P);
  EXPECT_EQ(p.ShapefileDir, "/");
  EXPECT_EQ(p.NhmPath, "/MNA_Laser/MNH/");
  EXPECT_EQ(DeriveLayerPaths("/parcels.shp", p.OutputDir, P).CrownShapePath, "/parcels_w2.shp");
}

TEST(RunDirectories, layoutsAbove9GoToTheOutputSubdirectory) {
  EXPECT_EQ(DeriveRunDirectories("D:\\p\\s\\x.shp", "n", 0, ".asc", 9.0, W).OutputDir, "D:\\p\\s\\");
  EXPECT_EQ(DeriveRunDirectories("D:\\p\\s\\x.shp", "n", 0, ".asc", 9.5, W).OutputDir,
            "D:\\p\\s\\Output\\");
  EXPECT_EQ(DeriveRunDirectories("/p/s/x.shp", "n", 0, ".asc", 9.5, P).OutputDir, "/p/s/Output/");
  const auto layers = DeriveLayerPaths("D:\\p\\s\\x.shp", "D:\\p\\s\\Output\\", W);
  EXPECT_EQ(layers.ShapefilePath, "D:\\p\\s\\x.shp");
  EXPECT_EQ(layers.WoodedShapePath, "D:\\p\\s\\Output\\x_w1.shp");
  EXPECT_EQ(layers.CrownShapePath, "D:\\p\\s\\Output\\x_w2.shp");
}

TEST(RunDirectories, floatGridsAreFoundThroughTheirHeaderFiles) {
  EXPECT_EQ(DeriveRunDirectories("D:\\p\\s\\x.shp", "n", 1, ".asc", 3.3, W).NhmFileExt, ".hdr");
}

TEST(RunDirectories, emptyPathGivesSeparatorRootedNames) {
  const auto d = DeriveRunDirectories("", "MNA_Laser\\MNH", 0, ".asc", 3.3, W);
  EXPECT_EQ(d.ShapefileDir, "\\");
  EXPECT_EQ(d.NhmPath, "\\MNA_Laser\\MNH\\");
  const auto layers = DeriveLayerPaths("", d.OutputDir, W);
  EXPECT_EQ(layers.ShapefilePath, "");
  EXPECT_EQ(layers.WoodedShapePath, "\\_w1.shp");
  EXPECT_EQ(layers.CrownShapePath, "\\_w2.shp");
}

TEST(LayerPaths, onlyADotInTheFileNameIsAnExtension) {
  EXPECT_EQ(DeriveLayerPaths("D:\\x\\parcels", "D:\\x\\", W).WoodedShapePath, "D:\\x\\parcels_w1.shp");
  EXPECT_EQ(DeriveLayerPaths("D:\\data.old\\parcels", "D:\\data.old\\", W).WoodedShapePath,
            "D:\\data.old\\parcels_w1.shp");
  EXPECT_EQ(DeriveLayerPaths("/data.old/parcels", "/data.old/", P).CrownShapePath,
            "/data.old/parcels_w2.shp");
  EXPECT_EQ(DeriveLayerPaths("/d/parcels.v2.shp", "/d/", P).WoodedShapePath, "/d/parcels.v2_w1.shp");
}

TEST(OutputDir, isCreatedOneLevelOrReportedWhenItCannotBe) {
  SetLanguage(LanguageEnglish);
  test::RecordingPlatform platform;
  const auto base = std::filesystem::temp_directory_path() / ("qv_outdir_" + std::to_string(::getpid()));
  std::filesystem::create_directories(base);
  const std::string existing = base.string() + "/";
  EXPECT_TRUE(EnsureOutputDir(existing));
  const std::string output = existing + "Output/";
  EXPECT_TRUE(EnsureOutputDir(output));
  EXPECT_TRUE(std::filesystem::is_directory(output));
  EXPECT_TRUE(platform.messages.empty());
  const std::string deep = existing + "a/Output/";
  EXPECT_FALSE(EnsureOutputDir(deep));
  EXPECT_FALSE(std::filesystem::exists(existing + "a"));
  EXPECT_EQ(platform.beeps, 1);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Plain);
  EXPECT_EQ(platform.messages[0].text, deep + "\rError: Cannot create directory");
  std::filesystem::remove_all(base);
}

}  // namespace
}  // namespace qv
