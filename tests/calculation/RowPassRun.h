// Test support for the row pass: a window of heights written as small ASCII tiles, the real tile
// pass over it with the row pass on a fresh mesh, and readers of what the mesh holds.
//
// The window is given in metres: X0, Y0 is the centre of its north-west pixel. The extent is laid
// so that the pixels the row pass visits are exactly the window's: two pixels of margin on the
// west and north (the row pass starts two columns and two rows inside), four on the east (the
// last ring position is the extent's right edge) and two on the south.
#pragma once

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "RasterOracle.h"
#include "RecordingPlatform.h"
#include "TileFiles.h"
#include "calculation/WoodedAreaCalculation.h"
#include "dialog/languages/Languages.h"
#include "geometry/PolygonMesh.h"

namespace qv::test {

struct THeightWindow {
  double X0 = 0;
  double Y0 = 0;
  int Width = 0;
  int Height = 0;
  std::vector<double> Values;  // row-major, north row first

  double At(int c, int r) const { return Values[static_cast<std::size_t>(r) * Width + c]; }
  // The classes as the oracle sees them (wooded: at least minHeight and not no-data).
  TRasterWindow Classes(double minHeight = 2.0) const {
    TRasterWindow w;
    w.Width = Width;
    w.Height = Height;
    w.X0 = X0;
    w.Y0 = Y0;
    for (const double v : Values) {
      w.Wooded.push_back(std::isfinite(v) && v != NoData && v >= minHeight ? 1 : 0);
    }
    return w;
  }
};

// The window's cells inside a tile as a grid file holding exactly them: the six header lines and
// the cells row by row, the window's no-data written as `noData`. None when the tile holds none.
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
                                           double noData = NoData,
                                           const std::string& noDataText = "-9999") {
  const int c0 = std::max(0, static_cast<int>(tile.WestX - w.X0));
  const int c1 = std::min(w.Width - 1, static_cast<int>(tile.WestX + 4374 - w.X0));
  const int r0 = std::max(0, static_cast<int>(w.Y0 - tile.NorthY));
  const int r1 = std::min(w.Height - 1, static_cast<int>(w.Y0 - (tile.NorthY - 2999)));
  if (c0 > c1 || r0 > r1) return std::nullopt;
  TTilePart part;
  part.Columns = c1 - c0 + 1;
  part.Header = "ncols " + std::to_string(part.Columns) + "\nnrows " + std::to_string(r1 - r0 + 1) +
                "\nxllcorner " + Number(w.X0 + c0 - 0.5) + "\nyllcorner " +
                Number(w.Y0 - r1 - 0.5) + "\ncellsize " + cellSize + "\nnodata_value " +
                noDataText + "\n";
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) {
      part.Values.push_back(w.At(c, r) != NoData ? w.At(c, r) : noData);
    }
  }
  return part;
}

class TRowPassRun {
 public:
  TRowPassRun() {
    SetLanguage(LanguageEnglish);
    UseTileFiles(calc, dir.Prefix(), "t", false);
  }

  // Lays the extent around the window, writes the part of the window each tile holds, and runs
  // the tile pass with the row pass.
  bool Run(const THeightWindow& w) {
    window = w;
    const double left = w.X0 - 2, top = w.Y0 + 2;
    const double right = w.X0 + w.Width - 1 + 4, bottom = w.Y0 - (w.Height - 1) - 2;
    if (calc.SetExtent(left, top, right, bottom) == 0) return false;
    for (int r = 0; r < calc.Tiles.RowCount() && writeFiles; ++r) {
      for (int k = 0; k < calc.Tiles.ColumnCount(); ++k) WriteTile(calc.Tiles.Get(r, k));
    }
    std::int32_t found = 0;
    if (!calc.CheckTileFiles(found)) return false;
    calc.BeginRun();
    return calc.RunTilePass();
  }

  T2DPolygonMesh& Mesh() { return *calc.PolygonMesh; }

  // What the run showed, less the notes on tiles that hold none of the window (they have no
  // file and read as no-data).
  std::vector<std::string> Complaints() const {
    std::vector<std::string> texts;
    for (const auto& m : platform.messages) {
      if (m.text.find("File not found") == std::string::npos) texts.push_back(m.text);
    }
    return texts;
  }

  RecordingPlatform platform;
  TTempDir dir;
  TWoodedAreaCalculation calc;
  THeightWindow window;
  bool writeFiles = true;          // false: every tile is a dummy
  std::string cellSizeText = "1";  // the header's cellsize

 private:
  void WriteTile(const TTile& tile) {
    if (const auto part = TilePartOf(window, tile, cellSizeText)) {
      WriteText(dir.Prefix() + "t" + std::to_string(tile.MapNumber) + "-" +
                    std::to_string(tile.TileNumber) + ".txt",
                part->AsciiText());
    }
  }
};

// Empty when the ring is one Next cycle of exactly EdgeCount edges that all resolve to it, Prev
// mirrors Next and each edge ends where its successor starts; otherwise the first fault.
inline std::string RingFault(const T2DPolygonMesh& mesh, TRingId ring) {
  const T2DRing& r = mesh[ring];
  if (!r.FirstEdge) return "no FirstEdge";
  if (r.EdgeCount < 3) return "ring of " + std::to_string(r.EdgeCount) + " edges";
  TEdgeId e = r.FirstEdge;
  for (int i = 0; i < r.EdgeCount; ++i) {
    if (mesh.IncidentRing(e) != ring) return "edge " + std::to_string(e.Index) + " not in ring";
    if (mesh[e].Deleted) return "flagged edge " + std::to_string(e.Index) + " in cycle";
    const TEdgeId next = mesh[e].Next;
    if (!next) return "nil Next at edge " + std::to_string(e.Index);
    if (mesh[next].Prev != e) return "Prev does not mirror Next at " + std::to_string(e.Index);
    if (mesh[e].Destination != mesh[next].Origin) return "gap after " + std::to_string(e.Index);
    e = next;
    if (e == r.FirstEdge && i + 1 < r.EdgeCount) return "cycle shorter than EdgeCount";
  }
  if (e != r.FirstEdge) return "cycle longer than EdgeCount";
  return {};
}

inline TRingPoints RingPointsOf(const T2DPolygonMesh& mesh, TRingId ring) {
  TRingPoints points;
  TEdgeId e = mesh[ring].FirstEdge;
  for (int i = 0; i < mesh[ring].EdgeCount && e; ++i) {
    const T2DPoint& p = mesh[mesh[e].Origin].Point;
    points.Points.emplace_back(p.X, p.Y);
    e = mesh[e].Next;
  }
  return points;
}

struct TLivePolygon {
  TPolygonId Id;
  bool Wooded = false;
  double Area = 0;
  TRingPoints Outer;
  std::vector<TRingId> HoleIds;
  std::vector<TRingPoints> Holes;
  std::string Fault;  // the first ring fault, with the ring named
};

// Every polygon of the mesh that is not flagged, with its rings checked.
inline std::vector<TLivePolygon> LivePolygons(const T2DPolygonMesh& mesh) {
  std::vector<TLivePolygon> live;
  for (int i = 0; i < mesh.PolygonCount(); ++i) {
    const TPolygonId id = mesh.Polygon(i);
    if (mesh[id].Deleted) continue;
    TLivePolygon p;
    p.Id = id;
    p.Wooded = mesh[id].IsWooded;
    p.Area = mesh[id].Area;
    const TRingId outer = mesh.OuterRing(id);
    p.Fault = RingFault(mesh, outer);
    if (!p.Fault.empty()) p.Fault = "outer ring: " + p.Fault;
    if (p.Fault.empty()) {
      p.Outer = RingPointsOf(mesh, outer);
      if (!(SignedArea(p.Outer) > 0)) p.Fault = "outer ring not counter-clockwise";
    }
    for (int h = 0; h < mesh.InnerRingCount(id); ++h) {
      const TRingId ring = mesh.InnerRing(id, h);
      p.HoleIds.push_back(ring);
      const std::string fault = RingFault(mesh, ring);
      if (!fault.empty() && p.Fault.empty()) p.Fault = "hole " + std::to_string(h) + ": " + fault;
      if (!fault.empty()) continue;
      p.Holes.push_back(RingPointsOf(mesh, ring));
      if (!(SignedArea(p.Holes.back()) < 0) && p.Fault.empty()) p.Fault = "hole not clockwise";
    }
    live.push_back(std::move(p));
  }
  return live;
}

}  // namespace qv::test
