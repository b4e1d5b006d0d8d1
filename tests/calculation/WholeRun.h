// Test support for whole runs: a project directory as the host has it (the shapefile's
// directory, the height-model directory beside it), a window of heights written as the tile
// files that hold it (ASCII grids or .hdr/.flt pairs covering only their part of the window, the
// rest of each tile no-data), and a run as the dialog starts it: PrepareDirectories,
// SetShapePaths, ComputeWoodedAreas.
#pragma once

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "LayerOracle.h"
#include "RecordingPlatform.h"
#include "RowPassRun.h"
#include "TileFiles.h"
#include "calculation/WoodedAreaCalculation.h"
#include "dialog/languages/Languages.h"
#include "platform/Paths.h"

namespace qv::test {

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return {};
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

// Replaces the header line starting with `key` by `line` (or appends a line for a missing key).
inline void EditHeaderLine(const std::string& path, const std::string& key,
                           const std::string& line) {
  std::string text = ReadFile(path);
  const auto at = text.find(key);
  if (at == std::string::npos) {
    text += line + "\n";
  } else {
    text.replace(at, text.find('\n', at) - at, line);
  }
  WriteText(path, text);
}

class TWholeRun {
 public:
  explicit TWholeRun(std::uint8_t filetype = NhmAsciiGrid) {
    SetLanguage(LanguageEnglish);
    std::filesystem::create_directories(dir.File("project/shapes"));
    std::filesystem::create_directories(dir.File("project/nhm"));
    calc.NhmFiletype = filetype;
    calc.NhmDir = "nhm";
    calc.NhmPrefix = "mnh";
    calc.NhmSeparator = "-";
    calc.NhmSuffix = "";
    calc.NhmFileExt = ".txt";
    calc.StatusBar = &status;
  }

  // Lays the extent around the window so that the pixels visited are exactly the window's (see
  // RowPassRun.h) and remembers the window for the files.
  int Lay(const THeightWindow& w) {
    window = w;
    return calc.SetExtent(w.X0 - 2, w.Y0 + 2, w.X0 + w.Width - 1 + 4, w.Y0 - (w.Height - 1) - 2);
  }

  // The files of every tile that holds part of the window.
  void WriteTiles() {
    for (int r = 0; r < calc.Tiles.RowCount(); ++r) {
      for (int k = 0; k < calc.Tiles.ColumnCount(); ++k) WriteTile(r, k);
    }
  }

  // The file of one tile (the .hdr for float grids); false when the tile holds none of the window.
  bool WriteTile(int row, int column) {
    const auto part =
        TilePartOf(window, calc.Tiles.Get(row, column), cellSizeText, noData, noDataText);
    if (!part) return false;
    const std::string name = TileFile(row, column);
    if (calc.NhmFiletype != NhmFloatGrid) {
      WriteText(name, part->AsciiText());
      return true;
    }
    std::vector<float> values;
    for (const double v : part->Values) values.push_back(static_cast<float>(v));
    WriteText(name, part->Header + byteOrderLine + "\n");
    WriteFloats(ReplaceExtension(name, ".flt"), values, droppedBytes);
    return true;
  }

  // The tile file as the run names it: the ASCII grid, or the .hdr of a float grid.
  std::string TileFile(int row, int column) const {
    const TTile& tile = calc.Tiles.Get(row, column);
    return dir.File("project/nhm/mnh" + std::to_string(tile.MapNumber) + "-" +
                    std::to_string(tile.TileNumber) +
                    (calc.NhmFiletype == NhmFloatGrid ? ".hdr" : ".txt"));
  }

  // A run as the dialog starts it.
  bool Run() {
    calc.PrepareDirectories(Shapefile());
    calc.SetShapePaths(Shapefile());
    return calc.ComputeWoodedAreas();
  }

  std::string Shapefile() const { return dir.File("project/shapes/parcels.shp"); }
  std::string WoodedLayer() const { return dir.File("project/shapes/parcels_w1.shp"); }
  std::string CrownLayer() const { return dir.File("project/shapes/parcels_w2.shp"); }
  // The six files of both layers, in a fixed order; empty texts for files that do not exist.
  std::vector<std::string> LayerFiles() const {
    std::vector<std::string> files;
    for (const auto& layer : {WoodedLayer(), CrownLayer()}) {
      for (const char* ext : {".shp", ".shx", ".dbf"}) {
        files.push_back(ReadFile(ReplaceExtension(layer, ext)));
      }
    }
    return files;
  }
  std::vector<std::string> OutputEntries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.File("project/shapes"))) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // The layers expected from the window with the run's parameters, over window columns c0..c1
  // and rows r0..r1 (the part the run built).
  TExpectedLayer ExpectedWooded(const THeightWindow& w, int c0, int c1, int r0, int r1) const {
    return ExpectedWoodedLayer(Crop(w.Classes(calc.MinTreeHeight), c0, c1, r0, r1),
                               calc.MinClearingArea, calc.MinWoodedArea);
  }
  std::vector<TExpectedCrown> ExpectedCrowns(const THeightWindow& w, int c0, int c1, int r0,
                                             int r1) const {
    THeightGrid grid{w.X0, w.Y0, w.Width, w.Height, NoData, w.Values};
    if (calc.NhmFiletype == NhmFloatGrid) {
      for (double& v : grid.Values) v = static_cast<double>(static_cast<float>(v));
    }
    return ScanTreeTops(grid, c0, c1, r0, r1, calc.MinTreeHeight);
  }
  // Empty when both layers are what the window gives over the given part.
  std::string LayerFault(const THeightWindow& w, int c0, int c1, int r0, int r1) const {
    const TRasterWindow classes = Crop(w.Classes(calc.MinTreeHeight), c0, c1, r0, r1);
    std::string fault =
        WoodedLayerFault(classes, ReadLayer(WoodedLayer()), ExpectedWooded(w, c0, c1, r0, r1));
    if (!fault.empty()) return "wooded layer: " + fault;
    const TCrownModel model{calc.TreeRadiusParam0, calc.TreeRadiusParam1, calc.NumCirclePoints};
    fault =
        CrownLayerFault(ReadLayer(CrownLayer()), ExpectedCrowns(w, c0, c1, r0, r1), model, false);
    return fault.empty() ? fault : "crown layer: " + fault;
  }
  std::string LayerFault(const THeightWindow& w) const {
    return LayerFault(w, 0, w.Width - 1, 0, w.Height - 1);
  }

  RecordingPlatform platform;
  TTempDir dir;
  TRecordingStatus status;
  TWoodedAreaCalculation calc;
  THeightWindow window;
  std::string cellSizeText = "1";
  std::string byteOrderLine = "byteorder lsbfirst";
  std::size_t droppedBytes = 0;  // cut from the end of every .flt
  // The no-data value of the files, as the header states it; the window's no-data cells get it.
  double noData = NoData;
  std::string noDataText = "-9999";
};

// Heights in whole hundredths of a metre, as the files of a delivery carry them.
inline double Hundredths(double metres) { return std::round(metres * 100.0) / 100.0; }

// A piece of wooded pasture, 60 x 40 pixels, north-west pixel centre at (x0, y0):
// - a stand (columns 2-41, rows 2-31) with a clearing of 120 m2 that stays, a wooded island of
//   4 m2 in it, a clearing of 12 m2 and a no-data patch of 6 m2 that are filled, and a notch
//   open to the outside that is no hole;
// - a wood of 100 m2 that is dropped and one of 280 m2 that stays;
// - open ground between 0.3 and 1.2 m, a canopy with many distinct tops between about 2 and 14 m.
inline THeightWindow PastureWindow(double x0, double y0) {
  THeightWindow w{x0, y0, 60, 40, {}};
  auto in = [](int c, int r, int c0, int c1, int r0, int r1) {
    return c >= c0 && c <= c1 && r >= r0 && r <= r1;
  };
  for (int r = 0; r < w.Height; ++r) {
    for (int c = 0; c < w.Width; ++c) {
      const double ground = 0.3 + ((c * 7 + r * 13) % 10) * 0.1;
      const double canopy =
          8.0 + 5.5 * std::sin(0.9 * c) * std::cos(0.7 * r) + ((c * 31 + r * 17) % 7) * 0.13;
      double v = ground;
      if (in(c, r, 2, 41, 2, 31)) v = canopy;
      if (in(c, r, 8, 19, 6, 15) || in(c, r, 28, 31, 20, 22) || in(c, r, 2, 5, 25, 31)) v = ground;
      if (in(c, r, 12, 13, 9, 10)) v = 4.25 + 0.5 * (c - 12) + 0.25 * (r - 9);
      if (in(c, r, 34, 36, 8, 9)) v = NoData;
      if (in(c, r, 46, 55, 4, 13)) v = 3.0 + 0.2 * ((c + r) % 9);
      if (in(c, r, 45, 58, 18, 37)) v = 2.0 + 0.31 * ((c * 5 + r * 3) % 23);
      w.Values.push_back(v == NoData ? v : Hundredths(v));
    }
  }
  return w;
}

}  // namespace qv::test
