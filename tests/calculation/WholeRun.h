// Whole runs: a project directory as the host has it (the shapefile's directory, the height-model
// directory beside it), a window of heights written as the tile files that hold it (ASCII grids or
// .hdr/.flt pairs), a run as the dialog starts it, and the two layers read back with shapelib and
// judged against what the heights alone give: the wooded layer by the oracle (Oracle.h), the crown
// layer by a plain scan for tree tops.
#pragma once

#include <shapefil.h>

#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "RowPassRun.h"
#include "platform/Paths.h"

namespace qv::test {

struct TLayerRecord {
  int Id = 0;
  std::string Boise;
  double Surface = 0, Height = 0;
  std::vector<TRing> Rings;  // without the closing point
  bool Closed = true;        // every ring ended on its first point
};

inline std::vector<TLayerRecord> ReadLayer(const std::string& shpPath) {
  std::vector<TLayerRecord> records;
  if (!std::filesystem::exists(shpPath)) return records;
  SHPHandle shp = SHPOpen(shpPath.c_str(), "rb");
  DBFHandle dbf = DBFOpen(shpPath.c_str(), "rb");
  for (int i = 0; shp && dbf && i < DBFGetRecordCount(dbf); ++i) {
    TLayerRecord& record = records.emplace_back();
    record.Id = DBFReadIntegerAttribute(dbf, i, DBFGetFieldIndex(dbf, "id"));
    record.Boise = DBFReadStringAttribute(dbf, i, DBFGetFieldIndex(dbf, "boise"));
    record.Surface = DBFReadDoubleAttribute(dbf, i, DBFGetFieldIndex(dbf, "Surface"));
    const int height = DBFGetFieldIndex(dbf, "Hauteur");
    record.Height = height >= 0 ? DBFReadDoubleAttribute(dbf, i, height) : -1;
    SHPObject* o = SHPReadObject(shp, i);
    for (int part = 0; o && part < o->nParts; ++part) {
      const int first = o->panPartStart[part];
      const int end = part + 1 < o->nParts ? o->panPartStart[part + 1] : o->nVertices;
      record.Closed &= end - first >= 4 && o->padfX[first] == o->padfX[end - 1] &&
                       o->padfY[first] == o->padfY[end - 1];
      TRing& ring = record.Rings.emplace_back();
      for (int v = first; v + 1 < end; ++v) ring.emplace_back(o->padfX[v], o->padfY[v]);
    }
    if (o) SHPDestroyObject(o);
  }
  if (shp) SHPClose(shp);
  if (dbf) DBFClose(dbf);
  return records;
}

// Empty when the wooded layer holds exactly the polygons the oracle gives under the limits,
// numbered from 1, outer rings clockwise and holes counter-clockwise as the format wants.
inline std::string WoodedLayerFault(const TRaster& w, const std::vector<TLayerRecord>& layer,
                                    double minClearingArea, double minWoodedArea) {
  std::vector<TSeenPolygon> seen;
  for (std::size_t i = 0; i < layer.size(); ++i) {
    const TLayerRecord& r = layer[i];
    bool turns = !r.Rings.empty() && SignedArea(r.Rings[0]) < 0;
    for (std::size_t h = 1; h < r.Rings.size(); ++h) turns &= SignedArea(r.Rings[h]) > 0;
    if (r.Id != static_cast<int>(i) + 1 || r.Boise != "T" || !r.Closed || !turns) {
      return "record " + std::to_string(i) + ": id, boise or rings";
    }
    seen.push_back({true, r.Surface, r.Rings});
  }
  return PartitionFault(w, seen, {minClearingArea, 0, true, minWoodedArea});
}

struct TCrown {
  double X = 0, Y = 0, H = 0;
};

// Tree tops among the window's cells c0..c1 x r0..r1, north to south and west to east: at least
// the minimum height, and no neighbour of the 5 x 5 square without its corners higher (no-data and
// cells outside the window do not count).
inline std::vector<TCrown> TreeTops(const THeightWindow& w, int c0, int c1, int r0, int r1,
                                    double minHeight) {
  std::vector<TCrown> tops;
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) {
      const double h = w.At(c, r);
      bool top = h != NoData && h >= minHeight;
      for (int dy = -2; dy <= 2 && top; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
          const int nc = c + dx, nr = r + dy;
          if (std::abs(dx * dy) == 4 || nc < 0 || nr < 0 || nc >= w.Width || nr >= w.Height)
            continue;
          top &= w.At(nc, nr) == NoData || w.At(nc, nr) <= h;
        }
      }
      if (top) tops.push_back({w.X0 + c, w.Y0 - r, h});
    }
  }
  return tops;
}

// Empty when the crown layer holds exactly the expected crowns (in any order): clockwise circles
// of the model's points starting due east, with the radius R = p1 * H + p0 and the disc's area.
inline std::string CrownLayerFault(const std::vector<TLayerRecord>& layer,
                                   std::vector<TCrown> crowns, double p0 = 2.6894,
                                   double p1 = 0.1117, std::size_t points = 36) {
  if (layer.size() != crowns.size()) {
    return std::to_string(layer.size()) + " crowns for " + std::to_string(crowns.size());
  }
  std::vector<std::pair<TCrown, const TLayerRecord*>> written;
  for (std::size_t i = 0; i < layer.size(); ++i) {
    const TLayerRecord& r = layer[i];
    if (r.Id != static_cast<int>(i) + 1 || r.Boise != "T" || !r.Closed || r.Rings.size() != 1 ||
        r.Rings[0].size() != points || SignedArea(r.Rings[0]) > 0) {
      return "crown record " + std::to_string(i);
    }
    TCrown centre{0, 0, r.Height};
    for (const auto& [x, y] : r.Rings[0])
      centre.X += x / static_cast<double>(points), centre.Y += y / static_cast<double>(points);
    written.emplace_back(centre, &r);
  }
  const auto byPlace = [](const TCrown& a, const TCrown& b) {
    return std::pair(-std::round(a.Y), std::round(a.X)) <
           std::pair(-std::round(b.Y), std::round(b.X));
  };
  std::sort(crowns.begin(), crowns.end(), byPlace);
  std::sort(written.begin(), written.end(),
            [&](const auto& a, const auto& b) { return byPlace(a.first, b.first); });
  for (std::size_t i = 0; i < crowns.size(); ++i) {
    const auto& [centre, record] = written[i];
    const double radius = p1 * crowns[i].H + p0;
    const std::string at =
        "crown at (" + std::to_string(crowns[i].X) + ", " + std::to_string(crowns[i].Y) + "): ";
    if (std::abs(centre.X - crowns[i].X) > 1e-6 || std::abs(centre.Y - crowns[i].Y) > 1e-6)
      return at + "elsewhere";
    if (std::abs(record->Rings[0][0].second - centre.Y) > 1e-6)
      return at + "does not start due east";
    for (const auto& [x, y] : record->Rings[0]) {
      if (std::abs(std::hypot(x - centre.X, y - centre.Y) - radius) > 1e-6) return at + "radius";
    }
    if (std::abs(record->Height - crowns[i].H) > 0.005 + 1e-9) return at + "Hauteur";
    if (std::abs(record->Surface - std::numbers::pi * radius * radius) > 0.5 + 1e-6)
      return at + "Surface";
  }
  return {};
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
    calc.NhmFileExt = ".txt";
    calc.StatusBar = &status;
  }

  int Lay(const THeightWindow& w) {
    window = w;
    LayExtent(calc, w);
    return calc.Tiles.Count();
  }
  void WriteTiles() {
    for (int r = 0; r < calc.Tiles.RowCount(); ++r) {
      for (int k = 0; k < calc.Tiles.ColumnCount(); ++k) WriteTile(r, k);
    }
  }
  // The files of one tile holding part of the window: an ASCII grid, or a .hdr and a .flt.
  void WriteTile(int row, int column) {
    const auto part = TilePartOf(window, calc.Tiles.Get(row, column), cellSizeText, noData);
    if (!part) return;
    if (calc.NhmFiletype != NhmFloatGrid)
      return WriteText(TileFile(row, column), part->AsciiText());
    WriteText(TileFile(row, column), part->Header + "byteorder lsbfirst\n");
    WriteFloats(ReplaceExtension(TileFile(row, column), ".flt"),
                std::vector<float>(part->Values.begin(), part->Values.end()), droppedBytes);
  }
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
  // The bytes of the six files of both layers; empty for files that do not exist.
  std::vector<std::string> LayerFiles() const {
    std::vector<std::string> files;
    for (const auto& layer : {WoodedLayer(), CrownLayer()}) {
      for (const char* ext : {".shp", ".shx", ".dbf"})
        files.push_back(ReadFile(ReplaceExtension(layer, ext)));
    }
    return files;
  }
  bool NothingWritten() const { return std::filesystem::is_empty(dir.File("project/shapes")); }

  // Empty when both layers are what the window gives over its columns c0..c1 and rows r0..r1.
  std::string LayerFault(const THeightWindow& w, int c0, int c1, int r0, int r1) const {
    THeightWindow part{w.X0 + c0, w.Y0 - r0, c1 - c0 + 1, r1 - r0 + 1, {}};
    for (int r = r0; r <= r1; ++r) {
      for (int c = c0; c <= c1; ++c) part.Values.push_back(w.At(c, r));
    }
    const std::string fault =
        WoodedLayerFault(part.Classes(calc.MinTreeHeight), ReadLayer(WoodedLayer()),
                         calc.MinClearingArea, calc.MinWoodedArea);
    if (!fault.empty()) return "wooded layer: " + fault;
    return CrownLayerFault(ReadLayer(CrownLayer()), Crowns(w, c0, c1, r0, r1),
                           calc.TreeRadiusParam0, calc.TreeRadiusParam1);
  }
  std::string LayerFault(const THeightWindow& w) const {
    return LayerFault(w, 0, w.Width - 1, 0, w.Height - 1);
  }
  std::vector<TCrown> Crowns(THeightWindow w, int c0, int c1, int r0, int r1) const {
    if (calc.NhmFiletype == NhmFloatGrid) {
      for (double& v : w.Values) v = static_cast<double>(static_cast<float>(v));
    }
    return TreeTops(w, c0, c1, r0, r1, calc.MinTreeHeight);
  }

  RecordingPlatform platform;
  TTempDir dir;
  TRecordingStatus status;
  TWoodedAreaCalculation calc;
  THeightWindow window;
  std::string cellSizeText = "1";
  double noData = NoData;        // the files' no-data value; the window's no-data cells get it
  std::size_t droppedBytes = 0;  // cut from the end of every .flt
};

// A piece of wooded pasture, 60 x 40 pixels with heights in whole centimetres:
// - a stand (columns 2-41, rows 2-31) with a clearing of 120 m2 that stays, a wooded island of
//   4 m2 in it, a clearing of 12 m2 and a no-data patch of 6 m2 that are filled, and a notch
//   open to the outside that is no hole;
// - a wood of 100 m2 that is dropped and one of 280 m2 that stays;
// - open ground between 0.3 and 1.2 m, a canopy with many distinct tops between 2 and 14 m.
inline THeightWindow PastureWindow(double x0, double y0) {
  THeightWindow w{x0, y0, 60, 40, {}};
  const auto in = [](int c, int r, int c0, int c1, int r0, int r1) {
    return c >= c0 && c <= c1 && r >= r0 && r <= r1;
  };
  for (int r = 0; r < w.Height; ++r) {
    for (int c = 0; c < w.Width; ++c) {
      double v = 0.3 + ((c * 7 + r * 13) % 10) * 0.1;
      if (in(c, r, 2, 41, 2, 31))
        v = 8.0 + 5.5 * std::sin(0.9 * c) * std::cos(0.7 * r) + ((c * 31 + r * 17) % 7) * 0.13;
      if (in(c, r, 8, 19, 6, 15) || in(c, r, 28, 31, 20, 22) || in(c, r, 2, 5, 25, 31)) v = 0.5;
      if (in(c, r, 12, 13, 9, 10)) v = 4.25 + 0.5 * (c - 12) + 0.25 * (r - 9);
      if (in(c, r, 46, 55, 4, 13)) v = 3.0 + 0.2 * ((c + r) % 9);
      if (in(c, r, 45, 58, 18, 37)) v = 2.0 + 0.31 * ((c * 5 + r * 3) % 23);
      w.Values.push_back(in(c, r, 34, 36, 8, 9) ? NoData : std::round(v * 100.0) / 100.0);
    }
  }
  return w;
}

}  // namespace qv::test
