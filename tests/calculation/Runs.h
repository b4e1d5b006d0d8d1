// What the computation's tests share: a window of heights written as the tile files that hold it
// in a project directory as the host has it ("shapes" with the host's shapefile, "nhm" beside it);
// the real tile pass with the row pass over them, or a whole run; and what comes out, judged by
// the oracle (Oracle.h): the live polygons of the mesh, the layers read back with shapelib.
//
// A window is given in metres: X0, Y0 is the centre of its north-west pixel. The extent is laid so
// that the pixels the row pass visits are exactly the window's: two pixels of margin on the west
// and north (the pass starts two columns and two rows inside), four on the east (the last ring
// position is the extent's right edge) and two on the south.
#pragma once

#include <shapefil.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <numbers>

#include "GeosJudge.h"
#include "Oracle.h"
#include "RecordingPlatform.h"
#include "TempDir.h"
#include "calculation/NhmError.h"
#include "calculation/WoodedAreaCalculation.h"
#include "catalogue/Languages.h"
#include "geometry/RingCheck.h"
#include "platform/Paths.h"

namespace qv::test {

// Map 1091: tile 11 has its north-west cell at (672500, 254000); 12 lies east, 13 south of it.
inline constexpr double WestX11 = 672500, NorthY11 = 254000;
inline constexpr double WestX12 = WestX11 + 4375, NorthY13 = NorthY11 - 3000, NoData = -9999;

inline std::string Number(double v) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
}

inline std::string Header(std::int64_t ncols, std::int64_t nrows, double xll, double yll,
                          double noData = NoData, const std::string& cellSize = "1") {
  return "ncols " + std::to_string(ncols) + "\nnrows " + std::to_string(nrows) + "\nxllcorner " +
         Number(xll) + "\nyllcorner " + Number(yll) + "\ncellsize " + cellSize + "\nnodata_value " +
         Number(noData) + "\n";
}

inline void WriteFloats(const std::string& path, const std::vector<float>& values,
                        std::size_t dropBytes = 0) {
  std::string bytes(values.size() * 4, '\0');  // little-endian, as on every machine we build for
  if (!values.empty()) std::memcpy(bytes.data(), values.data(), bytes.size());
  WriteText(path, bytes.substr(0, bytes.size() - dropBytes));
}

// The text of the ENhmError that `f` throws, or "no exception".
template <class F>
std::string NhmErrorOf(F&& f) {
  try {
    f();
  } catch (const ENhmError& e) {
    return e.what();
  }
  return "no exception";
}

struct THeightWindow {
  double X0 = 0, Y0 = 0;
  int Width = 0, Height = 0;
  std::vector<double> Values;  // row-major, north row first

  double& At(int c, int r) { return Values[static_cast<std::size_t>(r) * Width + c]; }
  double At(int c, int r) const { return Values[static_cast<std::size_t>(r) * Width + c]; }
  TRaster Classes(double minHeight = 2.0) const {
    TRaster w{Width, Height, X0, Y0, {}};
    for (const double v : Values) w.Wooded.push_back(v != NoData && v >= minHeight);
    return w;
  }
};

// A window drawn as text: '#' a tree of 5 m, '.' grass of 0.5 m, 'n' no-data.
inline THeightWindow Drawn(double x0, double y0, const std::vector<std::string>& rows) {
  THeightWindow w{x0, y0, static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), {}};
  for (const auto& row : rows) {
    for (const char ch : row) w.Values.push_back(ch == '#' ? 5.0 : ch == 'n' ? NoData : 0.5);
  }
  return w;
}

class TRun : public IStatusSink {
 public:
  explicit TRun(std::uint8_t filetype = NhmAsciiGrid) {
    SetLanguage(LanguageEnglish);
    std::filesystem::create_directories(dir.File("project/shapes"));
    std::filesystem::create_directories(dir.File("project/nhm"));
    calc.Settings.Files.NhmFiletype = filetype;
    calc.Settings.Files.NhmDir = "nhm";
    calc.Settings.Files.NhmPrefix = "mnh";
    calc.Settings.Files.NhmSeparator = "-";
    calc.Paths.NhmPath = dir.File("project/nhm/");
    calc.Settings.Files.NhmFileExt = filetype == NhmFloatGrid ? ".hdr" : ".txt";
    calc.StatusBar = this;
  }
  void SetText(std::string_view text) override { status.emplace_back(text); }

  int Lay(const THeightWindow& w) {
    window = w;
    calc.SetExtent(w.X0 - 2, w.Y0 + 2, w.X0 + w.Width - 1 + 4, w.Y0 - (w.Height - 1) - 2);
    return calc.Tiles.Count();
  }
  void WriteTiles() {
    for (int i = 0; i < calc.Tiles.Count(); ++i) {
      WriteTile(i / calc.Tiles.ColumnCount(), i % calc.Tiles.ColumnCount());
    }
  }
  // The files of a tile that holds part of the window, with just the window's cells. Varied files
  // differ in every way a delivery may: keys in either case and for corners or centres, a
  // position off by up to 0.4 m, a no-data value of their own (or nan), lines broken anywhere,
  // and cells beyond the tile's east and north edges, which must not be read.
  void WriteTile(int row, int column) {
    const TTile& tile = calc.Tiles.Get(row, column);
    const int c0 = std::max(0, static_cast<int>(tile.WestX - window.X0));
    const int c1 = std::min(window.Width - 1, static_cast<int>(tile.WestX + 4374 - window.X0));
    const int r0 = std::max(0, static_cast<int>(window.Y0 - tile.NorthY));
    const int r1 = std::min(window.Height - 1, static_cast<int>(window.Y0 - tile.NorthY + 2999));
    if (c0 > c1 || r0 > r1) return;
    const int v = varied ? tile.TileNumber + c1 + r1 : 0, east = v % 3 * (c1 < window.Width - 1);
    const int north = v % 4 * (r0 > 0), ncols = c1 - c0 + 1 + east, nrows = r1 - r0 + 1 + north;
    const double nd = varied ? std::vector{-9999.0, 9999.9, -1.0}[v % 3] : noData;
    const double centre = v % 2 * 0.5, off = varied ? v % 9 * 0.1 - 0.4 : 0;
    std::string text = "ncols " + std::to_string(ncols) + "\nnrows " + std::to_string(nrows) +
                       (centre ? "\nxllcenter " : "\nxllcorner ") +
                       Number(window.X0 + c0 - 0.5 + centre + off) +
                       (centre ? "\nyllcenter " : "\nyllcorner ") +
                       Number(window.Y0 - r1 - 0.5 + centre + off) + "\ncellsize " + cellSizeText +
                       "\nnodata_value " + Number(nd) + "\n";
    if (varied && v % 5 < 2) std::transform(text.begin(), text.end(), text.begin(), ::toupper);
    std::vector<float> floats;
    for (int i = 0; i < nrows * ncols; ++i) {
      const int c = c0 + i % ncols, r = r0 - north + i / ncols;
      const double h = c > c1 || r < r0 ? 77.7 : window.At(c, r);  // east and north: not read
      const double value = h != NoData || !varied || v % 7 ? (h != NoData ? h : nd) : double{NAN};
      floats.push_back(static_cast<float>(value));
      if (calc.Settings.Files.NhmFiletype == NhmFloatGrid) continue;
      text += (std::isnan(value) ? "nan" : Number(value)) + ((i + 1) % ncols ? " " : "\n");
      if (varied && i % 5 == 0) text += "\t\r\n";
    }
    const std::string file = TileFile(row, column);
    if (calc.Settings.Files.NhmFiletype != NhmFloatGrid) return WriteText(file, text);
    WriteText(file, text + "byteorder lsbfirst\n");
    WriteFloats(ReplaceExtension(file, ".flt"), floats, droppedBytes);
  }
  // The tile file as the run names it: the ASCII grid, or the .hdr of a float grid.
  std::string TileFile(int row, int column) const {
    const TTile& tile = calc.Tiles.Get(row, column);
    return calc.Paths.NhmPath + "mnh" + std::to_string(tile.MapNumber) + "-" +
           std::to_string(tile.TileNumber) + calc.Settings.Files.NhmSuffix +
           calc.Settings.Files.NhmFileExt;
  }

  // The tile pass with the row pass over the window's files (an earlier window's gone), on a
  // fresh mesh.
  bool BuildMesh(const THeightWindow& w, bool exactRingWalks = false) {
    platform.Clear();
    std::filesystem::remove_all(calc.Paths.NhmPath);
    std::filesystem::create_directory(calc.Paths.NhmPath);
    if (Lay(w) == 0) return false;
    if (writeFiles) WriteTiles();
    std::int32_t found = 0;
    if (!calc.TilePass().CheckTileFiles(found)) return false;
    calc.State.Begin();
    calc.State.PolygonMesh->SetExactRingWalks(exactRingWalks);
    return calc.TilePass().Run(calc.State, pass);
  }
  T2DPolygonMesh& Mesh() { return *calc.State.PolygonMesh; }
  // A whole run as the dialog starts it (with the tile pass's options a test gives).
  bool Run(const TTilePassOptions& options = {}) {
    calc.PrepareDirectories(dir.File("project/shapes/parcels.shp"));
    calc.SetShapePaths(dir.File("project/shapes/parcels.shp"));
    return calc.ComputeWoodedAreas(options);
  }
  // The bytes of the six files of both layers; empty for files that do not exist.
  std::vector<std::string> LayerFiles() const {
    std::vector<std::string> files;
    for (const auto& layer : {calc.Paths.WoodedShapePath, calc.Paths.CrownShapePath}) {
      for (const char* ext : {".shp", ".shx", ".dbf"}) {
        files.push_back(ReadFile(ReplaceExtension(layer, ext)));
      }
    }
    return files;
  }
  bool NothingWritten() const { return std::filesystem::is_empty(dir.File("project/shapes")); }

  RecordingPlatform platform;
  TTempDir dir;
  std::vector<std::string> status;  // the status bar's texts
  TWoodedAreaCalculation calc;
  TTilePassOptions pass{.CompactFinished = false};  // BuildMesh's: the whole mesh stays
  THeightWindow window;
  bool writeFiles = true;          // false: every tile is a dummy
  bool varied = false;             // files vary in form (WriteTile)
  std::string cellSizeText = "1";  // the headers' cellsize
  double noData = NoData;          // the files' no-data value, for the window's no-data cells
  std::size_t droppedBytes = 0;    // cut from the end of every .flt
};

inline TRing RingPoints(const T2DPolygonMesh& m, TRingId ring) {
  TRing points;
  TEdgeId e = m[ring].FirstEdge;
  for (int i = 0; i < m[ring].EdgeCount; ++i, e = m[e].Next) {
    points.emplace_back(m[m[e].Origin].X(), m[m[e].Origin].Y());
  }
  return points;
}

// The polygons of the mesh that are not flagged, with their rings as points, and the first one
// that the ring check refuses.
struct TLivePolygons {
  std::vector<TPolygonId> Ids;
  std::vector<TSeenPolygon> Polygons;
  std::string Fault;
};
inline TLivePolygons LivePolygons(const T2DPolygonMesh& m) {
  TLivePolygons live;
  for (int i = 0; i < m.PolygonCount(); ++i) {
    const TPolygonId p = m.Polygon(i);
    const TPolygonFault fault = m[p].Deleted ? TPolygonFault{} : CheckPolygon(m, p);
    if (fault && live.Fault.empty()) live.Fault = std::to_string(i) + ": " + DescribeFault(fault);
    if (fault || m[p].Deleted) continue;
    live.Ids.push_back(p);
    live.Polygons.push_back({m[p].IsWooded, m[p].Area, {RingPoints(m, m.OuterRing(p))}});
    for (int h = 0; h < m.InnerRingCount(p); ++h) {
      live.Polygons.back().Rings.push_back(RingPoints(m, m.InnerRing(p, h)));
    }
  }
  return live;
}

// Empty when the live polygons are those the oracle gives and every kept hole names a live
// polygon of the other class inside it; otherwise the first fault.
inline std::string MeshFault(const TRaster& w, const T2DPolygonMesh& m, const TRules& rules) {
  const TLivePolygons live = LivePolygons(m);
  if (!live.Fault.empty()) return live.Fault;
  if (std::string fault = PartitionFault(w, live.Polygons, rules); !fault.empty()) return fault;
  for (std::size_t k = 0; k < live.Ids.size(); ++k) {
    for (std::size_t h = 1; h < live.Polygons[k].Rings.size(); ++h) {
      const TRingId ring = m.InnerRing(live.Ids[k], static_cast<int>(h) - 1);
      const auto at = std::find(live.Ids.begin(), live.Ids.end(), m[ring].EnclosedPolygon);
      const auto* in = at == live.Ids.end() ? nullptr : &live.Polygons[at - live.Ids.begin()];
      const auto hole = PixelsInside(w, {live.Polygons[k].Rings[h]});
      const auto within = in ? PixelsInside(w, {in->Rings[0]}) : std::vector<int>{};
      if (!in || in->Wooded == live.Polygons[k].Wooded ||
          !std::includes(hole.begin(), hole.end(), within.begin(), within.end())) {
        return std::to_string(k) + ": hole " + std::to_string(h) + " names no polygon inside it";
      }
    }
  }
  return {};
}

// The live polygon that covers the pixel, or nil.
inline TPolygonId PolygonAt(const T2DPolygonMesh& m, const TRaster& w, int c, int r) {
  const TLivePolygons live = LivePolygons(m);
  for (std::size_t k = 0; k < live.Ids.size(); ++k) {
    const auto pixels = PixelsInside(w, live.Polygons[k].Rings);
    if (std::binary_search(pixels.begin(), pixels.end(), w.Index(c, r))) return live.Ids[k];
  }
  return {};
}

// A record of a layer as shapelib reads it: "boise" "T" is wooded, "Surface" the area, the rings
// without their closing points.
struct TRecord : TSeenPolygon {
  int Id = 0;
  double Height = -1;  // "Hauteur", where there is one
  bool Closed = true;  // every ring ended on its first point
};

inline std::vector<TRecord> ReadLayer(const std::string& shpPath) {
  std::vector<TRecord> records;
  SHPHandle shp = std::filesystem::exists(shpPath) ? SHPOpen(shpPath.c_str(), "rb") : nullptr;
  DBFHandle dbf = shp ? DBFOpen(shpPath.c_str(), "rb") : nullptr;
  for (int i = 0; dbf && i < DBFGetRecordCount(dbf); ++i) {
    const auto field = [&](const char* name) { return DBFGetFieldIndex(dbf, name); };
    TRecord& r = records.emplace_back();
    r.Wooded = std::string(DBFReadStringAttribute(dbf, i, field("boise"))) == "T";
    r.Area = DBFReadDoubleAttribute(dbf, i, field("Surface"));
    r.Id = DBFReadIntegerAttribute(dbf, i, field("id"));
    if (field("Hauteur") >= 0) r.Height = DBFReadDoubleAttribute(dbf, i, field("Hauteur"));
    SHPObject* o = SHPReadObject(shp, i);
    for (int part = 0; o && part < o->nParts; ++part) {
      const int first = o->panPartStart[part];
      const int end = part + 1 < o->nParts ? o->panPartStart[part + 1] : o->nVertices;
      r.Closed &= end - first >= 4 && o->padfX[first] == o->padfX[end - 1] &&
                  o->padfY[first] == o->padfY[end - 1];
      TRing& ring = r.Rings.emplace_back();
      for (int v = first; v + 1 < end; ++v) ring.emplace_back(o->padfX[v], o->padfY[v]);
    }
    if (o) SHPDestroyObject(o);
  }
  if (shp) SHPClose(shp);
  if (dbf) DBFClose(dbf);
  return records;
}

struct TCrown {
  double X = 0, Y = 0, H = 0;
};

// Tree tops among the window's cells c0..c1 x r0..r1: at least the minimum height, and no usable
// neighbour of the 5 x 5 square without its corners higher.
inline std::vector<TCrown> TreeTops(const THeightWindow& w, int c0, int c1, int r0, int r1,
                                    double minHeight = 2.0) {
  std::vector<TCrown> tops;
  for (int i = 0; i < (c1 - c0 + 1) * (r1 - r0 + 1); ++i) {
    const int c = c0 + i % (c1 - c0 + 1), r = r0 + i / (c1 - c0 + 1);
    const double h = w.At(c, r);
    bool top = h != NoData && h >= minHeight;
    for (int k = 0; k < 25 && top; ++k) {
      const int dx = k % 5 - 2, dy = k / 5 - 2, nc = c + dx, nr = r + dy;
      if (std::abs(dx * dy) == 4 || nc < 0 || nr < 0 || nc >= w.Width || nr >= w.Height) continue;
      top = w.At(nc, nr) == NoData || w.At(nc, nr) <= h;
    }
    if (top) tops.push_back({w.X0 + c, w.Y0 - r, h});
  }
  return tops;
}

// Empty when the crown layer holds exactly the expected crowns (in any order): records numbered
// from 1 of clockwise circles of 36 points starting due east, with the radius R = p1 * H + p0
// and the disc's area.
inline std::string CrownLayerFault(const std::vector<TRecord>& layer, std::vector<TCrown> crowns,
                                   double p0 = 2.6894, double p1 = 0.1117) {
  if (layer.size() != crowns.size()) return std::to_string(layer.size()) + " crowns";
  std::vector<std::pair<TCrown, const TRecord*>> written;
  for (std::size_t i = 0; i < layer.size(); ++i) {
    const TRecord& r = layer[i];
    if (r.Id != static_cast<int>(i) + 1 || !r.Wooded || !r.Closed || r.Rings.size() != 1 ||
        r.Rings[0].size() != 36 || SignedArea(r.Rings[0]) > 0) {
      return "crown record " + std::to_string(i);
    }
    TCrown centre{0, 0, r.Height};
    for (const auto& [x, y] : r.Rings[0]) centre.X += x / 36, centre.Y += y / 36;
    written.emplace_back(centre, &r);
  }
  const auto place = [](const TCrown& a) { return std::pair(-std::round(a.Y), std::round(a.X)); };
  std::sort(crowns.begin(), crowns.end(), [&](auto& a, auto& b) { return place(a) < place(b); });
  std::sort(written.begin(), written.end(),
            [&](auto& a, auto& b) { return place(a.first) < place(b.first); });
  for (std::size_t i = 0; i < crowns.size(); ++i) {
    const auto& [centre, record] = written[i];
    const double radius = p1 * crowns[i].H + p0;
    bool round = std::abs(record->Rings[0][0].second - centre.Y) < 1e-6;  // starts due east
    for (const auto& [x, y] : record->Rings[0]) {
      round &= std::abs(std::hypot(x - centre.X, y - centre.Y) - radius) < 1e-6;
    }
    if (std::abs(centre.X - crowns[i].X) > 1e-6 || std::abs(centre.Y - crowns[i].Y) > 1e-6 ||
        !round || std::abs(record->Height - crowns[i].H) > 0.005 + 1e-9 ||
        std::abs(record->Area - std::numbers::pi * radius * radius) > 0.5 + 1e-6) {
      return "the crown at " + Number(crowns[i].X) + ", " + Number(crowns[i].Y);
    }
  }
  return {};
}

// Empty when both layers of the run are what the window gives over its columns c0..c1 and rows
// r0..r1 (all of it by default), the heights as the run's files hold them.
inline std::string LayerFault(const TRun& run, THeightWindow w, int c0 = 0, int c1 = -1, int r0 = 0,
                              int r1 = -1) {
  if (c1 < 0) c1 = w.Width - 1, r1 = w.Height - 1;
  const TWoodedAreaCalculation& calc = run.calc;
  for (double& v : w.Values) {
    if (calc.Settings.Files.NhmFiletype == NhmFloatGrid && v != NoData) v = static_cast<float>(v);
  }
  const TRaster all = w.Classes(calc.Settings.Tree.MinTreeHeight);
  TRaster part{c1 - c0 + 1, r1 - r0 + 1, w.X0 + c0, w.Y0 - r0, {}};
  for (int i = 0; i < part.Width * part.Height; ++i) {
    part.Wooded.push_back(all.At(c0 + i % part.Width, r0 + i / part.Width));
  }
  const auto wooded = ReadLayer(calc.Paths.WoodedShapePath);
  for (std::size_t i = 0; i < wooded.size(); ++i) {
    const TRecord& r = wooded[i];
    bool turns = !r.Rings.empty() && SignedArea(r.Rings[0]) < 0;  // outer rings clockwise
    for (std::size_t h = 1; h < r.Rings.size(); ++h) turns &= SignedArea(r.Rings[h]) > 0;
    if (r.Id != static_cast<int>(i) + 1 || !r.Wooded || !r.Closed || !turns) {
      return "wooded record " + std::to_string(i);
    }
    if (auto fault = GeosPolygonFault(r.Rings); !fault.empty()) {
      return "wooded record " + std::to_string(i) + ": " + fault;
    }
  }
  const TAreaLimits& limits = calc.Settings.Limits;
  const TRules rules{limits.MinClearingArea, 0, true, limits.MinWoodedArea};
  if (auto fault = PartitionFault(part, {wooded.begin(), wooded.end()}, rules); !fault.empty()) {
    return fault;
  }
  const TTreeParameters& tree = calc.Settings.Tree;
  return CrownLayerFault(ReadLayer(calc.Paths.CrownShapePath),
                         TreeTops(w, c0, c1, r0, r1, tree.MinTreeHeight), tree.TreeRadiusParam0,
                         tree.TreeRadiusParam1);
}

}  // namespace qv::test
