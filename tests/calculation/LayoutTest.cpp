// Where things are: tile numbers and neighbours on the sheet grid, the layout of an extent, the
// file rows a tile reads, skips or fills, and the directories and layer paths of a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "RowPassRun.h"
#include "calculation/ResultPaths.h"
#include "calculation/RowWindow.h"
#include "calculation/TileGrid.h"

namespace qv::test {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();

TEST(TileGrid, numbersTilesFromTheNorthWestOfTheSheetGrid) {
  const std::tuple<double, double, std::int32_t> points[] = {
      {480000, 302000, 100011},
      {672600, 253900, 109111},
      {672500 + 4376, 253999, 109112},
      {672500 + 8750, 253999, 109121},
      {685625, 245000, 109144},
      {672600, 251000, 109113},
      {672600, 248000, 109131},
      {497500, 302000, 100111},
      {497499.9, 302000, 100022},
      {829999, 301999, 101922},
      {830000, 301999, 0},
      {479999.9, 301999, 0},
      {std::nan(""), 301999, 0},
      {500000, Inf, 0},
      {500000, -1e300, 0},
      {480000, 302000.5, 98033},
      {480000, 314000, 98011},
      {480000 + 5 * 17500, 302000 + 60 * 12000, -19489}};
  for (const auto& [x, y, number] : points) EXPECT_EQ(TileNumberAt(x, y), number) << x << " " << y;
  for (const auto& [from, right, below] : {std::tuple{11, 12, 13},
                                           {12, 21, 14},
                                           {13, 14, 31},
                                           {14, 23, 32},
                                           {21, 22, 23},
                                           {32, 41, 34},
                                           {23, 24, 41},
                                           {34, 43, 12},
                                           {43, 44, 21}}) {
    EXPECT_EQ(RightNeighborId({1091, from}), (TTileId{1091, right})) << from;
    EXPECT_EQ(BelowNeighborId({1091, from}), (TTileId{from >= 33 ? 1111 : 1091, below})) << from;
  }
  EXPECT_EQ(RightNeighborId({1091, 22}), (TTileId{1092, 11}));
  EXPECT_EQ(RightNeighborId({1091, 44}), (TTileId{1092, 33}));
  EXPECT_EQ(RightNeighborId({1091, 15}), (TTileId{1091, 15}));
  EXPECT_EQ(BelowNeighborId({1091, 45}), (TTileId{1091, 45}));
  // Positions follow the numbers, negative sheet rows too (a truncating division would not).
  for (const auto& [map, tile, west, north] : {std::tuple{1091, 11, 672500.0, 254000.0},
                                               {1091, 44, 685625.0, 245000.0},
                                               {985, 11, 567500.0, 314000.0},
                                               {-195, 11, 567500.0, 1022000.0}}) {
    EXPECT_EQ(TileWestX({map, tile}), west);
    EXPECT_EQ(TileNorthY({map, tile}), north);
  }
  constexpr std::int64_t Max = std::int64_t{1} << 53;
  for (const auto& [x, rounded] : {std::pair{0.5, std::int64_t{0}},
                                   {1.5, 2},
                                   {2.5, 2},
                                   {2.5000001, 3},
                                   {-0.5, 0},
                                   {-1.5, -2},
                                   {-2.6, -3},
                                   {1e300, Max},
                                   {std::nan(""), 0},
                                   {-Inf, -Max}}) {
    EXPECT_EQ(RoundHalfEven(x), rounded) << x;
  }
}

TEST(TileGrid, laysOutTheTilesOfAnExtentWithTheirNeighbours) {
  const std::tuple<std::array<double, 4>, std::string> extents[] = {
      {{672600, 253900, 673000, 253000}, "1091-11,"},
      {{672500, 254000, 672500 + 4375, 253000}, "1091-11,1091-12,"},  // exactly one tile's width
      {{672500, 254000, 672500 + 4374.9, 253000}, "1091-11,"},
      {{685700, 244990, 690010, 241995}, "1091-44,1092-33,1111-22,1112-11,"},
      {{685700, 253900, 690000, 253000}, "1091-22,1092-11,"},
      {{480000, 302500, 480100, 301000}, "980-33,1000-11,"},
      {{825700, 301000, 840000, 300000}, "1019-22,"},  // nothing east of sheet column 19
      {{479999, 301000, 480100, 300000}, ""},
      {{672600, 253900, 672400, 253000}, ""},
      {{672600, 253900, 673000, 254100}, ""},
      {{672600, std::nan(""), 673000, 253000}, ""},
      {{672600, 253900, 673000, -1e12}, ""}};  // absurd extents are refused, not laid out
  for (const auto& [e, list] : extents) {
    TWoodedAreaCalculation calc;
    EXPECT_EQ(calc.SetExtent(e[0], e[1], e[2], e[3]), std::count(list.begin(), list.end(), ','));
    EXPECT_EQ(calc.Tiles.TileList, list);
    EXPECT_EQ(calc.LayoutReady, !list.empty());
    if (list.empty()) continue;
    EXPECT_EQ(TWoodedAreaCalculation::TileNumberAt(e[0], e[1]),
              calc.Tiles.Get(0, 0).MapNumber * 100 + calc.Tiles.Get(0, 0).TileNumber);
    for (int r = 0; r < calc.Tiles.RowCount(); ++r) {
      for (int k = 0; k < calc.Tiles.ColumnCount(); ++k) {
        TTile& t = calc.Tiles.Get(r, k);
        EXPECT_EQ(t.WestX, TileWestX({t.MapNumber, t.TileNumber}));
        EXPECT_EQ(t.NorthY, TileNorthY({t.MapNumber, t.TileNumber}));
        EXPECT_EQ(t.TopNeighbor, r > 0 ? &calc.Tiles.Get(r - 1, k) : nullptr);
        EXPECT_EQ(t.LeftNeighbor, k > 0 ? &calc.Tiles.Get(r, k - 1) : nullptr);
        EXPECT_EQ(t.RightNeighbor,
                  k + 1 < calc.Tiles.ColumnCount() ? &calc.Tiles.Get(r, k + 1) : nullptr);
      }
    }
  }
  TWoodedAreaCalculation calc;  // a later good extent lays out again
  calc.SetExtent(672600, 253900, 672400, 253000);
  EXPECT_EQ(calc.SetExtent(672600, 253900, 673000, 253000), 1);
  EXPECT_EQ(calc.Extent.Left, 672600);
  EXPECT_EQ(calc.Extent.Bottom, 253000);
}

// One letter per row: '.' pass over, 's' skip, 'f' fill, 'R' read. The file has nRows rows, its
// first `north` metres north of the tile's first row; the extent starts `top` rows into the tile.
std::string Actions(double north, bool hasTop, double top, int count, std::int32_t nRows = 3000) {
  const TRowWindow w = TRowWindow::For(NorthY11, hasTop, NorthY11 - top, NorthY11 - 5000, nRows,
                                       1.0, NorthY11 + north - (nRows - 0.5));
  std::string out;
  for (int r = 0; r < count; ++r) out += ".sfR"[static_cast<int>(w.ActionFor(r))];
  return out;
}

TEST(RowWindow, skipsFillsAndReadsTheFileRowsOfTheExtent) {
  EXPECT_EQ(Actions(0, false, 3, 6), "sssRRR");
  EXPECT_EQ(Actions(0, true, 3, 4), "RRRR");
  EXPECT_EQ(Actions(5, false, 2, 4),
            "ssRR");  // starting north of the tile: its northern rows first
  EXPECT_EQ(Actions(-3, true, 0, 5), "fffRR");
  EXPECT_EQ(Actions(-4, false, 2, 6), "..ffRR");  // read from the file's first row, never shifted
  EXPECT_EQ(Actions(-2, false, 5, 7), "..sssRR");
  EXPECT_EQ(Actions(-3, false, 3, 5), "...RR");
  const auto window = [](double north, double bottom, std::int32_t nRows = 3000) {
    return TRowWindow::For(NorthY11, false, NorthY11, NorthY11 - bottom, nRows, 1.0,
                           NorthY11 + north - (nRows - 0.5));
  };
  EXPECT_EQ(window(2.5, 0).FileRowsAbove, 2);  // halves to even
  EXPECT_EQ(window(3.5, 0).FileRowsAbove, 4);
  for (const auto& [bottom, last] :
       {std::pair{10.0, 10}, {10.5, 10}, {11.5, 12}, {0.4, 0}, {-7.0, -1}, {5000.0, 2999}}) {
    EXPECT_EQ(window(0, bottom).LastRow, last) << bottom;
  }
  EXPECT_EQ(window(0, 5000, 2000000000).FileRowsAbove, 0);
  const TRowWindow far =
      TRowWindow::For(NorthY11, false, NorthY11, NorthY11 - 10, 2000000000, 1e300, 0);
  EXPECT_EQ(far.FileRowsAbove, std::int64_t{1} << 53);
  EXPECT_EQ(far.FillRows, 0);
  const TRowWindow south = TRowWindow::For(NorthY11, true, NorthY11, NorthY11 - 10, 1, 1, -1e300);
  EXPECT_EQ(south.FillRows, std::int64_t{1} << 53);
}

TEST(ResultPaths, theHeightModelSitsBesideTheShapefilesDirectoryAndLayersBesideTheShapefile) {
  constexpr auto W = TPathRules::Windows, P = TPathRules::Posix;
  struct TCase {
    std::string Shapefile, NhmDir;
    double Layout;
    TPathRules Rules;
    std::string ShapefileDir, NhmPath, Wooded;
  } cases[] = {
      {"D:\\p\\s\\x.shp", "MNA_Laser\\MNH\\", 3.3, W, "D:\\p\\s\\", "D:\\p\\MNA_Laser\\MNH\\",
       "D:\\p\\s\\x_w1.shp"},
      {"D:\\p\\s\\x.shp", "E:\\nhm", 9.0, W, "D:\\p\\s\\", "D:\\p\\E:\\nhm\\",
       "D:\\p\\s\\x_w1.shp"},
      {"D:\\p\\s\\x.shp", "n", 9.5, W, "D:\\p\\s\\", "D:\\p\\n\\", "D:\\p\\s\\Output\\x_w1.shp"},
      {"C:\\x.shp", "MNA_Laser\\MNH", 3.3, W, "C:\\", "C:\\MNA_Laser\\MNH\\", "C:\\x_w1.shp"},
      {"", "MNA_Laser\\MNH", 3.3, W, "\\", "\\MNA_Laser\\MNH\\", "\\_w1.shp"},
      {"D:\\data.old\\x", "n", 3.3, W, "D:\\data.old\\", "D:\\n\\", "D:\\data.old\\x_w1.shp"},
      {"/h/p/s/x.shp", "MNA_Laser\\MNH/", 3.3, P, "/h/p/s/", "/h/p/MNA_Laser\\MNH/",
       "/h/p/s/x_w1.shp"},
      {"/x.shp", "MNA_Laser/MNH", 9.5, P, "/", "/MNA_Laser/MNH/", "/Output/x_w1.shp"},
      {"/d/x.v2.shp", "n", 3.3, P, "/d/", "/n/", "/d/x.v2_w1.shp"}};
  for (const TCase& c : cases) {
    const auto d = DeriveRunDirectories(c.Shapefile, c.NhmDir, 0, ".asc", c.Layout, c.Rules);
    EXPECT_EQ(d.ShapefileDir, c.ShapefileDir) << c.Shapefile;
    EXPECT_EQ(d.NhmPath, c.NhmPath) << c.Shapefile;
    EXPECT_EQ(d.NhmFileExt, ".asc");
    const auto layers = DeriveLayerPaths(c.Shapefile, d.OutputDir, c.Rules);
    EXPECT_EQ(layers.WoodedShapePath, c.Wooded) << c.Shapefile;
    EXPECT_EQ(layers.CrownShapePath, c.Wooded.substr(0, c.Wooded.size() - 6) + "w2.shp");
  }
  EXPECT_EQ(DeriveRunDirectories("D:\\p\\x.shp", "n", 1, ".asc", 3.3, W).NhmFileExt, ".hdr");
  // The output directory is made one level deep, or its failure reported.
  RecordingPlatform platform;
  SetLanguage(LanguageEnglish);
  TTempDir dir;
  EXPECT_TRUE(EnsureOutputDir(dir.Prefix()) && EnsureOutputDir(dir.Prefix() + "Output/"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("Output")));
  EXPECT_FALSE(EnsureOutputDir(dir.Prefix() + "a/Output/"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("a")));
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{dir.Prefix() + "a/Output/\rError: Cannot create directory"});
  EXPECT_EQ(platform.beeps, 1);
}

}  // namespace
}  // namespace qv::test
