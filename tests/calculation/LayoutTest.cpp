// Where things are: tile numbers and neighbours on the sheet grid, the layout of an extent, the
// file rows a tile reads, skips or fills, and the directories and layer paths of a run.
#include <gtest/gtest.h>

#include "Runs.h"
#include "calculation/ResultPaths.h"
#include "calculation/RowWindow.h"
#include "calculation/TileGrid.h"
#include "nhmgen/GridFiles.h"
#include "shapefile/Projection.h"

namespace qv::test {
namespace {

TEST(TileGrid, numbersTilesFromTheNorthWestOfTheSheetGridAndPlacesThem) {
  const std::tuple<double, double, std::int32_t> points[] = {
      {480000, 302000, 100011}, {672600, 253900, 109111}, {676876, 253999, 109112},
      {681250, 253999, 109121}, {685625, 245000, 109144}, {672600, 251000, 109113},
      {672600, 248000, 109131}, {497500, 302000, 100111}, {497499.9, 302000, 100022},
      {829999, 301999, 101922}, {830000, 301999, 0},      {479999.9, 301999, 0},
      {NAN, 301999, 0},         {500000, HUGE_VAL, 0},    {500000, -1e300, 0},
      {480000, 302000.5, 98033}, {480000, 314000, 98011}, {567500, 1022000, 0},
      {2480000, 1302000, 100011}, {2685625, 1245000, 109144}, {2685625, 245000, 0}};
  for (const auto& [x, y, number] : points) EXPECT_EQ(TileNumberAt(x, y), number) << x << " " << y;
  for (const auto& [from, right, below] : {std::tuple{11, 12, 13}, {12, 21, 14}, {13, 14, 31},
       {14, 23, 32}, {21, 22, 23}, {32, 41, 34}, {23, 24, 41}, {34, 43, 12}, {43, 44, 21}}) {
    EXPECT_EQ(RightNeighborId({1091, from}), (TTileId{1091, right})) << from;
    EXPECT_EQ(BelowNeighborId({1091, from}), (TTileId{from >= 33 ? 1111 : 1091, below})) << from;
  }
  EXPECT_EQ(RightNeighborId({1091, 22}), (TTileId{1092, 11}));
  EXPECT_EQ(RightNeighborId({1091, 44}), (TTileId{1092, 33}));
  EXPECT_EQ(RightNeighborId({1091, 15}), (TTileId{1091, 15}));
  EXPECT_EQ(BelowNeighborId({1091, 45}), (TTileId{1091, 45}));
  // Negative sheet rows too (a truncating division or remainder would misplace them).
  for (const auto& [map, tile, west, north] : {std::tuple{1091, 44, 685625.0, 245000.0},
       {985, 11, 567500.0, 314000.0}, {-195, 11, 567500.0, 1022000.0}}) {
    EXPECT_EQ(TileWestX({map, tile}), west);
    EXPECT_EQ(TileNorthY({map, tile}), north);
  }
  constexpr std::int64_t Max = std::int64_t{1} << 53;
  for (const auto& [x, rounded] : {std::pair{0.5, std::int64_t{0}}, {1.5, 2}, {2.5, 2},
       {2.5000001, 3}, {-0.5, 0}, {-1.5, -2}, {-2.6, -3}, {1e300, Max}, {NAN, 0},
       {-HUGE_VAL, -Max}}) {
    EXPECT_EQ(RoundHalfEven(x), rounded) << x;
  }
}

// Where each tile lies and who its neighbours are shows in the runs across tile corners.
TEST(TileGrid, laysOutTheTilesOfAnExtent) {
  const std::tuple<std::array<double, 4>, std::string> extents[] = {
      {{672600, 253900, 673000, 253000}, "1091-11,"},
      {{672500, 254000, 676875, 253000}, "1091-11,1091-12,"},  // exactly one tile's width
      {{672500, 254000, 676874.9, 253000}, "1091-11,"},
      {{685700, 244990, 690010, 241995}, "1091-44,1092-33,1111-22,1112-11,"},
      {{685700, 253900, 690000, 253000}, "1091-22,1092-11,"},
      {{480000, 302500, 480100, 301000}, "980-33,1000-11,"},
      {{825700, 301000, 840000, 300000}, "1019-22,"},  // nothing east of sheet column 19
      {{479999, 301000, 480100, 300000}, ""}, {{672600, 253900, 672400, 253000}, ""},
      {{672600, 253900, 673000, 254100}, ""}, {{672600, NAN, 673000, 253000}, ""},
      {{672600, 253900, 673000, -1e12}, ""},  // absurd extents are refused, not laid out
      // LV95: the same sheets shifted; an extent in both frames has no layout.
      {{2685700, 1244990, 2690010, 1241995}, "1091-44,1092-33,1111-22,1112-11,"},
      {{2672600, 1253900, 2673000, 253000}, ""}, {{672600, 1253900, 673000, 253000}, ""},
      {{672600, 253900, 2673000, 253000}, ""}, {{672600, 1253900, 2673000, 1253000}, ""}};
  TWoodedAreaCalculation calc;
  for (const auto& [e, list] : extents) {
    EXPECT_EQ(calc.SetExtent(e[0], e[1], e[2], e[3]), std::count(list.begin(), list.end(), ','));
    EXPECT_EQ(calc.Tiles.TileList, list);
    if (calc.LayoutReady) {
      const bool lv95 = e[0] > 2e6;
      EXPECT_EQ(calc.Tiles.Frame, lv95 ? TFrame::LV95 : TFrame::LV03);
      const TTile& first = calc.Tiles.Get(0, 0);
      const TTileId id{first.MapNumber, first.TileNumber};
      EXPECT_EQ(first.WestX, TileWestX(id) + (lv95 ? 2e6 : 0));
      EXPECT_EQ(first.NorthY, TileNorthY(id) + (lv95 ? 1e6 : 0));
    }
    EXPECT_EQ(calc.LayoutReady, !list.empty());
    EXPECT_EQ(calc.Extent.Left + calc.Extent.Right, e[0] + e[2]);
  }
}

// Which rows are skipped, filled or read shows in the oracle runs across tile corners (files start
// north and south of a tile's first row); not there: extents ending between cell centres, and
// absurd headers, which are clamped rather than overflowed.
TEST(RowWindow, roundsTheLastRowAndClampsAbsurdHeaders) {
  const auto window = [](bool top, double bottom, int nRows, double cellSize, double yll) {
    return TRowWindow::For(NorthY11, top, NorthY11, NorthY11 - bottom, nRows, cellSize, yll);
  };
  for (const auto& [bottom, last] : {std::pair{10.5, 10}, {11.5, 12}, {0.4, 0}, {-7.0, -1}}) {
    EXPECT_EQ(window(true, bottom, 3000, 1, NorthY11 - 2999.5).LastRow, last) << bottom;
  }
  EXPECT_EQ(window(false, 9, 3000, 1, NorthY11 - 2997).FileRowsAbove +  // 2.5 and 3.5 rows north
                window(false, 9, 3000, 1, NorthY11 - 2996).FileRowsAbove,
            6);
  const auto far = window(false, 10, 2000000000, 1e300, 0);
  EXPECT_EQ(far.FileRowsAbove, std::int64_t{1} << 53);
  EXPECT_EQ(far.FillRows, 0);
  EXPECT_EQ(window(true, 10, 1, 1, -1e300).FillRows, std::int64_t{1} << 53);
}

TEST(ResultPaths, theHeightModelSitsBesideTheShapefilesDirectoryAndLayersBesideTheShapefile) {
  constexpr auto W = TPathRules::Windows, P = TPathRules::Posix;
  using TCase = std::tuple<std::string, std::string, double, TPathRules, std::string, std::string>;
  const TCase cases[] = {
      {"D:\\p\\s\\x.shp", "MNA\\MNH\\", 3.3, W, "D:\\p\\MNA\\MNH\\", "D:\\p\\s\\x_w1.shp"},
      {"D:\\p\\s\\x.shp", "E:\\nhm", 9.0, W, "D:\\p\\E:\\nhm\\", "D:\\p\\s\\x_w1.shp"},
      {"D:\\p\\s\\x.shp", "n", 9.5, W, "D:\\p\\n\\", "D:\\p\\s\\Output\\x_w1.shp"},
      {"C:\\x.shp", "MNA\\MNH", 3.3, W, "C:\\MNA\\MNH\\", "C:\\x_w1.shp"},
      {"", "MNA\\MNH", 3.3, W, "\\MNA\\MNH\\", "\\_w1.shp"},
      {"D:\\data.old\\x", "n", 3.3, W, "D:\\n\\", "D:\\data.old\\x_w1.shp"},
      {"/h/p/s/x.shp", "MNA\\MNH/", 3.3, P, "/h/p/MNA/MNH/", "/h/p/s/x_w1.shp"},
      {"/x.shp", "MNA/MNH", 9.5, P, "/MNA/MNH/", "/Output/x_w1.shp"},
      {"/d/x.v2.shp", "n", 3.3, P, "/n/", "/d/x.v2_w1.shp"}};
  for (const auto& [shapefile, nhmDir, layout, rules, nhmPath, wooded] : cases) {
    const auto d = DeriveRunDirectories(shapefile, nhmDir, 0, ".asc", layout, rules);
    EXPECT_EQ(d.NhmPath, nhmPath) << shapefile;
    EXPECT_EQ(d.NhmFileExt, ".asc");
    const auto layers = DeriveLayerPaths(shapefile, d.OutputDir, rules);
    EXPECT_EQ(layers.WoodedShapePath, wooded) << shapefile;
    EXPECT_EQ(layers.CrownShapePath, wooded.substr(0, wooded.size() - 6) + "w2.shp");
    const std::string output = layout <= 9 ? "" : rules == W ? "Output\\" : "Output/";
    EXPECT_EQ(d.OutputDir, d.ShapefileDir + output);
  }
  EXPECT_EQ(DeriveRunDirectories("D:\\p\\x.shp", "n", 1, ".asc", 3.3, W).NhmFileExt, ".hdr");
  TRun run;  // the output directory is made one level deep, or its failure reported
  EXPECT_TRUE(EnsureOutputDir(run.dir.File("Output/")));
  EXPECT_FALSE(EnsureOutputDir(run.dir.File("a/Output/")));
  EXPECT_TRUE(std::filesystem::is_directory(run.dir.File("Output")));
  EXPECT_FALSE(std::filesystem::exists(run.dir.File("a")));
  EXPECT_EQ(run.platform.Texts(),
            std::vector{run.dir.File("a/Output/") + "\rError: Cannot create directory"});
}

// The same canopy around the corner of four tiles, once with LV03 headers and once with LV95
// ones: the LV95 run's layers are the LV03 run's shifted, the woods exactly (half metres), the
// crowns' computed points within a micrometre, the attribute tables byte for byte. LV03 tiles
// given to an LV95 run are named, not read as no-data.
TEST(Frames, anLv95RunGivesTheLv03LayersShifted) {
  const auto run = [](TRun& r, nhmgen::Frame frame, double sx, double sy) {
    r.calc.Settings.Limits = {0, 0};
    r.calc.SetExtent(WestX12 - 200 + sx, NorthY13 + 150 + sy, WestX12 + 199 + sx, NorthY13 - 149 + sy);
    std::vector<std::string> written;
    for (int i = 0; i < 4; ++i) {
      const nhmgen::DataWindow window{i < 2 ? 2850 : 0, i % 2 ? 0 : 4175, 150, 200};
      const TTile& t = r.calc.Tiles.Get(i / 2, i % 2);
      nhmgen::WriteTileFiles(3, {t.MapNumber, t.TileNumber}, window, nhmgen::GridFormat::Flt,
                             r.TileFile(i / 2, i % 2), written, frame);
    }
    return r.Run();
  };
  TRun lv03(NhmFloatGrid), lv95(NhmFloatGrid);
  ASSERT_TRUE(run(lv03, nhmgen::Frame::LV03, 0, 0));
  EXPECT_FALSE(run(lv95, nhmgen::Frame::LV03, 2e6, 1e6));
  EXPECT_EQ(lv95.platform.Texts().at(0),
            "The height-model file \"" + lv95.TileFile(0, 0) +
                "\" has LV03 coordinates, the extent LV95 coordinates: give the height model in "
                "the frame of the extent.");
  ASSERT_TRUE(run(lv95, nhmgen::Frame::LV95, 2e6, 1e6));
  for (const auto& path : {&TRunPaths::WoodedShapePath, &TRunPaths::CrownShapePath}) {
    const auto a = ReadLayer(lv03.calc.Paths.*path), b = ReadLayer(lv95.calc.Paths.*path);
    const double tolerance = path == &TRunPaths::CrownShapePath ? 1e-6 : 0;
    ASSERT_EQ(a.size(), b.size());
    EXPECT_GT(a.size(), 10u);
    for (std::size_t i = 0; i < a.size(); ++i) {
      ASSERT_EQ(a[i].Rings.size(), b[i].Rings.size());
      for (std::size_t k = 0; k < a[i].Rings.size(); ++k) {
        ASSERT_EQ(a[i].Rings[k].size(), b[i].Rings[k].size());
        for (std::size_t v = 0; v < a[i].Rings[k].size(); ++v) {
          EXPECT_LE(std::abs(b[i].Rings[k][v].first - 2e6 - a[i].Rings[k][v].first), tolerance);
          EXPECT_LE(std::abs(b[i].Rings[k][v].second - 1e6 - a[i].Rings[k][v].second), tolerance);
        }
      }
    }
    const auto bytes = [](const std::string& shp, const char* ext) {
      return ReadFile(ReplaceExtension(shp, ext));
    };
    EXPECT_EQ(bytes(lv03.calc.Paths.*path, ".dbf"), bytes(lv95.calc.Paths.*path, ".dbf"));
    EXPECT_EQ(bytes(lv03.calc.Paths.*path, ".prj"), LayerProjectionWkt);
    EXPECT_EQ(bytes(lv95.calc.Paths.*path, ".prj"), Lv95ProjectionWkt);
  }
}

}  // namespace
}  // namespace qv::test
