// What the computation's tests share: the test tiles of map 1091, small grid files, a window of
// heights written as the tile files that hold it, the real tile pass with the row pass over it,
// and the live polygons of the mesh as the oracle (Oracle.h) judges them.
//
// A window is given in metres: X0, Y0 is the centre of its north-west pixel. The extent is laid so
// that the pixels the row pass visits are exactly the window's: two pixels of margin on the west
// and north (the pass starts two columns and two rows inside), four on the east (the last ring
// position is the extent's right edge) and two on the south.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "Oracle.h"
#include "RecordingPlatform.h"
#include "TempDir.h"
#include "calculation/NhmError.h"
#include "calculation/WoodedAreaCalculation.h"
#include "dialog/languages/Languages.h"
#include "geometry/RingCheck.h"

namespace qv::test {

// Map 1091: tile 11 has its north-west cell at (672500, 254000); 12 lies east, 13 south of it.
inline constexpr double WestX11 = 672500, NorthY11 = 254000;
inline constexpr double WestX12 = WestX11 + 4375, NorthY13 = NorthY11 - 3000;
inline constexpr double NoData = -9999;

inline std::string Number(double v) {
  char buffer[64];
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, v).ptr);
}

// The six usual header lines.
inline std::string Header(std::int64_t ncols, std::int64_t nrows, double xll, double yll,
                          double noData = NoData, const std::string& cellSize = "1") {
  return "ncols " + std::to_string(ncols) + "\nnrows " + std::to_string(nrows) + "\nxllcorner " +
         Number(xll) + "\nyllcorner " + Number(yll) + "\ncellsize " + cellSize + "\nnodata_value " +
         Number(noData) + "\n";
}

inline void WriteFloats(const std::string& path, const std::vector<float>& values,
                        std::size_t dropBytes = 0) {
  std::string bytes(values.size() * 4, '\0');
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &values[i], 4);
    for (int k = 0; k < 4; ++k) bytes[i * 4 + k] = static_cast<char>((bits >> (8 * k)) & 0xFF);
  }
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

class TRecordingStatus final : public IStatusSink {
 public:
  void SetText(std::string_view text) override { texts.emplace_back(text); }
  std::vector<std::string> texts;
};

// Points the calculation at tile files named <prefix><map>-<tile><ext> in the directory.
inline void UseTileFiles(TWoodedAreaCalculation& calc, const std::string& dir,
                         const std::string& prefix, bool binary) {
  calc.NhmFiletype = binary ? NhmFloatGrid : NhmAsciiGrid;
  calc.NhmPath = dir;
  calc.NhmPrefix = prefix;
  calc.NhmSeparator = "-";
  calc.NhmFileExt = binary ? ".hdr" : ".txt";
}

struct THeightWindow {
  double X0 = 0, Y0 = 0;
  int Width = 0, Height = 0;
  std::vector<double> Values;  // row-major, north row first

  double& At(int c, int r) { return Values[static_cast<std::size_t>(r) * Width + c]; }
  double At(int c, int r) const { return Values[static_cast<std::size_t>(r) * Width + c]; }
  TRaster Classes(double minHeight = 2.0) const {
    TRaster w{Width, Height, X0, Y0, {}};
    for (const double v : Values) w.Wooded.push_back(v != NoData && v >= minHeight ? 1 : 0);
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

// The window's cells inside a tile: the header of a grid holding exactly them, and the cells.
struct TTilePart {
  std::string Header;
  int Columns = 0;
  std::vector<double> Values;
  std::string AsciiText() const {
    std::string text = Header;
    for (std::size_t i = 0; i < Values.size(); ++i) {
      text += Number(Values[i]) + ((i + 1) % static_cast<std::size_t>(Columns) ? " " : "\n");
    }
    return text;
  }
};

inline std::optional<TTilePart> TilePartOf(const THeightWindow& w, const TTile& tile,
                                           const std::string& cellSize = "1",
                                           double noData = NoData) {
  const int c0 = std::max(0, static_cast<int>(tile.WestX - w.X0));
  const int c1 = std::min(w.Width - 1, static_cast<int>(tile.WestX + 4374 - w.X0));
  const int r0 = std::max(0, static_cast<int>(w.Y0 - tile.NorthY));
  const int r1 = std::min(w.Height - 1, static_cast<int>(w.Y0 - (tile.NorthY - 2999)));
  if (c0 > c1 || r0 > r1) return std::nullopt;
  TTilePart part;
  part.Columns = c1 - c0 + 1;
  part.Header =
      Header(part.Columns, r1 - r0 + 1, w.X0 + c0 - 0.5, w.Y0 - r1 - 0.5, noData, cellSize);
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c)
      part.Values.push_back(w.At(c, r) != NoData ? w.At(c, r) : noData);
  }
  return part;
}

// The extent around a window (see the top of this file).
inline void LayExtent(TWoodedAreaCalculation& calc, const THeightWindow& w) {
  calc.SetExtent(w.X0 - 2, w.Y0 + 2, w.X0 + w.Width - 1 + 4, w.Y0 - (w.Height - 1) - 2);
}

// The real tile pass with the row pass over a window of ASCII tile files, on a fresh mesh.
class TRowPassRun {
 public:
  TRowPassRun() {
    SetLanguage(LanguageEnglish);
    UseTileFiles(calc, dir.Prefix(), "t", false);
  }

  bool Run(const THeightWindow& w, bool exactRingWalks = false) {
    LayExtent(calc, w);
    for (int r = 0; r < calc.Tiles.RowCount() && writeFiles; ++r) {
      for (int k = 0; k < calc.Tiles.ColumnCount(); ++k) {
        const TTile& tile = calc.Tiles.Get(r, k);
        if (const auto part = TilePartOf(w, tile, cellSizeText)) {
          WriteText(dir.Prefix() + "t" + std::to_string(tile.MapNumber) + "-" +
                        std::to_string(tile.TileNumber) + ".txt",
                    part->AsciiText());
        }
      }
    }
    std::int32_t found = 0;
    if (!calc.LayoutReady || !calc.CheckTileFiles(found)) return false;
    calc.BeginRun();
    calc.PolygonMesh->SetExactRingWalks(exactRingWalks);
    return calc.RunTilePass();
  }
  T2DPolygonMesh& Mesh() { return *calc.PolygonMesh; }
  // What the run showed, less the notes on tiles without a file (they read as no-data).
  std::vector<std::string> Complaints() const {
    std::vector<std::string> texts;
    for (const auto& text : platform.Texts()) {
      if (text.find("File not found") == std::string::npos) texts.push_back(text);
    }
    return texts;
  }

  RecordingPlatform platform;
  TTempDir dir;
  TWoodedAreaCalculation calc;
  bool writeFiles = true;          // false: every tile is a dummy
  std::string cellSizeText = "1";  // the header's cellsize
};

inline TRing RingPoints(const T2DPolygonMesh& m, TRingId ring) {
  TRing points;
  TEdgeId e = m[ring].FirstEdge;
  for (int i = 0; i < m[ring].EdgeCount; ++i, e = m[e].Next) {
    points.emplace_back(m[m[e].Origin].X(), m[m[e].Origin].Y());
  }
  return points;
}

struct TLivePolygons {
  std::vector<TPolygonId> Ids;
  std::vector<TSeenPolygon> Polygons;
  std::string Fault;  // the first ring that the ring check refuses
};

// The polygons of the mesh that are not flagged, with their rings as points.
inline TLivePolygons LivePolygons(const T2DPolygonMesh& m) {
  TLivePolygons live;
  for (int i = 0; i < m.PolygonCount(); ++i) {
    const TPolygonId p = m.Polygon(i);
    if (m[p].Deleted) continue;
    const TPolygonFault fault = CheckPolygon(m, p);
    if (fault && live.Fault.empty())
      live.Fault = "polygon " + std::to_string(p.Index) + ": " + DescribeFault(fault);
    if (fault) continue;
    live.Ids.push_back(p);
    TSeenPolygon& seen = live.Polygons.emplace_back(TSeenPolygon{m[p].IsWooded, m[p].Area, {}});
    seen.Rings.push_back(RingPoints(m, m.OuterRing(p)));
    for (int h = 0; h < m.InnerRingCount(p); ++h)
      seen.Rings.push_back(RingPoints(m, m.InnerRing(p, h)));
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
      const std::string at = "polygon " + std::to_string(k) + ", hole " + std::to_string(h) + ": ";
      const TPolygonId inside =
          m[m.InnerRing(live.Ids[k], static_cast<int>(h) - 1)].EnclosedPolygon;
      const auto found = std::find(live.Ids.begin(), live.Ids.end(), inside);
      if (found == live.Ids.end()) return at + "its enclosed polygon is not live";
      const TSeenPolygon& enclosed =
          live.Polygons[static_cast<std::size_t>(found - live.Ids.begin())];
      const auto hole = PixelsInside(w, {live.Polygons[k].Rings[h]});
      const auto within = PixelsInside(w, {enclosed.Rings[0]});
      if (enclosed.Wooded == live.Polygons[k].Wooded ||
          !std::includes(hole.begin(), hole.end(), within.begin(), within.end())) {
        return at + "its enclosed polygon is not the other class inside it";
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

}  // namespace qv::test
