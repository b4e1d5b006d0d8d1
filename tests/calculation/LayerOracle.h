// What the two result layers of a run must hold, worked out from the heights alone, and the
// layers as shapelib reads them back.
//
// Wooded layer: the 4-connected wooded regions of the classes (as in RasterOracle.h), each with
// its holes, the bounded 8-connected components of its complement. A hole below the clearing
// limit belongs to the polygon (islands inside it included); a region whose pixels and filled
// holes stay below the wooded limit is dropped; open regions never appear. Holes are found
// within each region's bounding box grown by one pixel: that margin is outside the region and
// connected all round, so it stands for everything outside, and whole tiles stay affordable.
//
// Crown layer: every visited pixel at least the minimum height that no neighbour of the 5 x 5
// square without its corners beats (no-data neighbours and neighbours outside the heights do
// not count), with the crown radius of the linear model.
//
// A written polygon is compared pixel for pixel: its rings are rasterised at the pixel centres
// by the even-odd rule (edges lie on half metres, centres on whole metres). GEOS judges each
// written polygon's validity on its own.
#pragma once

#include <shapefil.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "GeosJudge.h"
#include "RasterOracle.h"

namespace qv::test {

// --- the wooded layer expected ---

struct TExpectedPolygon {
  std::vector<int> Pixels;                  // the region and its filled holes, sorted
  std::vector<std::vector<int>> KeptHoles;  // each sorted
  bool Kept = false;                        // it reaches the wooded limit
};

struct TExpectedLayer {
  std::vector<int> RegionOf;               // per pixel: index into Polygons, -1 for open pixels
  std::vector<TExpectedPolygon> Polygons;  // one per wooded region
  int KeptCount() const {
    return static_cast<int>(std::count_if(Polygons.begin(), Polygons.end(),
                                          [](const TExpectedPolygon& p) { return p.Kept; }));
  }
};

namespace oracle_detail {

struct TBox {
  int C0 = 1 << 30, C1 = -1, R0 = 1 << 30, R1 = -1;
  void Add(int c, int r) {
    C0 = std::min(C0, c);
    C1 = std::max(C1, c);
    R0 = std::min(R0, r);
    R1 = std::max(R1, r);
  }
};

// The holes of one region: complement components of its box grown by one that the flood from
// the margin does not reach.
inline std::vector<std::vector<int>> HolesOf(const TRasterWindow& w,
                                             const std::vector<int>& regionOf, int region,
                                             const TBox& box) {
  const int lw = box.C1 - box.C0 + 3, lh = box.R1 - box.R0 + 3;
  std::vector<std::uint8_t> state(static_cast<std::size_t>(lw) * lh, 0);  // 1 region, 2 seen
  for (int lr = 1; lr < lh - 1; ++lr) {
    for (int lc = 1; lc < lw - 1; ++lc) {
      if (regionOf[w.Index(box.C0 + lc - 1, box.R0 + lr - 1)] == region) state[lr * lw + lc] = 1;
    }
  }
  auto flood = [&](int start, std::vector<int>* pixels) {
    std::deque<int> queue{start};
    state[start] = 2;
    while (!queue.empty()) {
      const int l = queue.front();
      queue.pop_front();
      const int lc = l % lw, lr = l / lw;
      if (pixels) pixels->push_back(w.Index(box.C0 + lc - 1, box.R0 + lr - 1));
      for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
          const int nc = lc + dc, nr = lr + dr;
          if (nc < 0 || nr < 0 || nc >= lw || nr >= lh || state[nr * lw + nc] != 0) continue;
          state[nr * lw + nc] = 2;
          queue.push_back(nr * lw + nc);
        }
      }
    }
  };
  flood(0, nullptr);
  std::vector<std::vector<int>> holes;
  for (int l = 0; l < lw * lh; ++l) {
    if (state[l] != 0) continue;
    holes.emplace_back();
    flood(l, &holes.back());
    std::sort(holes.back().begin(), holes.back().end());
  }
  return holes;
}

}  // namespace oracle_detail

inline TExpectedLayer ExpectedWoodedLayer(const TRasterWindow& w, double minClearingArea,
                                          double minWoodedArea) {
  const int n = w.Width * w.Height;
  TExpectedLayer layer;
  layer.RegionOf.assign(n, -1);
  std::vector<oracle_detail::TBox> boxes;
  for (int start = 0; start < n; ++start) {
    if (w.Wooded[start] == 0 || layer.RegionOf[start] >= 0) continue;
    const int id = static_cast<int>(layer.Polygons.size());
    layer.Polygons.emplace_back();
    boxes.emplace_back();
    std::deque<int> queue{start};
    layer.RegionOf[start] = id;
    while (!queue.empty()) {
      const int p = queue.front();
      queue.pop_front();
      const int c = p % w.Width, r = p / w.Width;
      layer.Polygons[id].Pixels.push_back(p);
      boxes[id].Add(c, r);
      const int nc[4] = {c - 1, c + 1, c, c};
      const int nr[4] = {r, r, r - 1, r + 1};
      for (int k = 0; k < 4; ++k) {
        if (nc[k] < 0 || nr[k] < 0 || nc[k] >= w.Width || nr[k] >= w.Height) continue;
        const int q = w.Index(nc[k], nr[k]);
        if (w.Wooded[q] != 0 && layer.RegionOf[q] < 0) {
          layer.RegionOf[q] = id;
          queue.push_back(q);
        }
      }
    }
  }
  for (std::size_t id = 0; id < layer.Polygons.size(); ++id) {
    TExpectedPolygon& polygon = layer.Polygons[id];
    for (auto& hole : oracle_detail::HolesOf(w, layer.RegionOf, static_cast<int>(id), boxes[id])) {
      if (static_cast<double>(hole.size()) < minClearingArea) {
        polygon.Pixels.insert(polygon.Pixels.end(), hole.begin(), hole.end());
      } else {
        polygon.KeptHoles.push_back(std::move(hole));
      }
    }
    std::sort(polygon.Pixels.begin(), polygon.Pixels.end());
    std::sort(polygon.KeptHoles.begin(), polygon.KeptHoles.end());
    polygon.Kept = static_cast<double>(polygon.Pixels.size()) >= minWoodedArea;
  }
  return layer;
}

// The part of a window from column c0 to c1 and row r0 to r1.
inline TRasterWindow Crop(const TRasterWindow& w, int c0, int c1, int r0, int r1) {
  TRasterWindow out;
  out.Width = c1 - c0 + 1;
  out.Height = r1 - r0 + 1;
  out.X0 = w.X0 + c0;
  out.Y0 = w.Y0 - r0;
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) out.Wooded.push_back(w.At(c, r) ? 1 : 0);
  }
  return out;
}

// --- the crown layer expected ---

struct THeightGrid {
  double X0 = 0;  // centre of the north-west cell
  double Y0 = 0;
  int Width = 0;
  int Height = 0;
  double NoData = -9999;
  std::vector<double> Values;  // row-major, north row first

  double At(int c, int r) const { return Values[static_cast<std::size_t>(r) * Width + c]; }
};

struct TExpectedCrown {
  double X = 0;
  double Y = 0;
  double H = 0;
};

// Tree tops among the cells c0..c1 x r0..r1, row by row from the north, west to east.
inline std::vector<TExpectedCrown> ScanTreeTops(const THeightGrid& g, int c0, int c1, int r0,
                                                int r1, double minHeight) {
  std::vector<TExpectedCrown> tops;
  for (int r = r0; r <= r1; ++r) {
    for (int c = c0; c <= c1; ++c) {
      const double h = g.At(c, r);
      if (h == g.NoData || h < minHeight) continue;
      bool top = true;
      for (int dy = -2; dy <= 2 && top; ++dy) {
        for (int dx = -2; dx <= 2 && top; ++dx) {
          if ((dx == 0 && dy == 0) || (std::abs(dx) == 2 && std::abs(dy) == 2)) continue;
          const int nc = c + dx, nr = r + dy;
          if (nc < 0 || nr < 0 || nc >= g.Width || nr >= g.Height) continue;
          const double v = g.At(nc, nr);
          if (v != g.NoData && v > h) top = false;
        }
      }
      if (top) tops.push_back({g.X0 + c, g.Y0 - r, h});
    }
  }
  return tops;
}

// --- the layers as written ---

struct TLayerRecord {
  int Id = 0;
  std::string Boise;
  double Surface = 0;
  double Height = 0;  // crown layer only
  std::vector<TRingPoints> Rings;
  bool Closed = true;  // every ring ends on its first point
  double XMin = 0, XMax = 0, YMin = 0, YMax = 0;
};

struct TLayer {
  bool Exists = false;
  bool HasHeights = false;
  std::vector<TLayerRecord> Records;
};

inline TLayer ReadLayer(const std::string& shpPath) {
  TLayer layer;
  if (!std::filesystem::exists(shpPath)) return layer;
  SHPHandle shp = SHPOpen(shpPath.c_str(), "rb");
  DBFHandle dbf = DBFOpen(shpPath.c_str(), "rb");
  if (shp != nullptr && dbf != nullptr) {
    layer.Exists = true;
    int count = 0;
    SHPGetInfo(shp, &count, nullptr, nullptr, nullptr);
    const int id = DBFGetFieldIndex(dbf, "id"), boise = DBFGetFieldIndex(dbf, "boise");
    const int surface = DBFGetFieldIndex(dbf, "Surface"), height = DBFGetFieldIndex(dbf, "Hauteur");
    layer.HasHeights = height >= 0;
    for (int i = 0; i < count; ++i) {
      TLayerRecord record;
      record.Id = DBFReadIntegerAttribute(dbf, i, id);
      record.Boise = DBFReadStringAttribute(dbf, i, boise);
      record.Surface = DBFReadDoubleAttribute(dbf, i, surface);
      if (height >= 0) record.Height = DBFReadDoubleAttribute(dbf, i, height);
      SHPObject* o = SHPReadObject(shp, i);
      if (o != nullptr) {
        for (int part = 0; part < o->nParts; ++part) {
          const int end = part + 1 < o->nParts ? o->panPartStart[part + 1] : o->nVertices;
          const int first = o->panPartStart[part];
          record.Closed &= end - first >= 4 && o->padfX[first] == o->padfX[end - 1] &&
                           o->padfY[first] == o->padfY[end - 1];
          TRingPoints ring;
          // Rings here are closed implicitly: the closing point is dropped.
          for (int v = first; v + 1 < end; ++v) ring.Points.emplace_back(o->padfX[v], o->padfY[v]);
          record.Rings.push_back(std::move(ring));
        }
        record.XMin = o->dfXMin;
        record.XMax = o->dfXMax;
        record.YMin = o->dfYMin;
        record.YMax = o->dfYMax;
        SHPDestroyObject(o);
      }
      layer.Records.push_back(std::move(record));
    }
  }
  if (shp != nullptr) SHPClose(shp);
  if (dbf != nullptr) DBFClose(dbf);
  return layer;
}

// Pixels of the window inside the rings (even-odd), looking only inside the record's box.
inline std::vector<int> PixelsInside(const TRasterWindow& w, const TLayerRecord& record) {
  std::vector<int> pixels;
  const int r0 = std::max(0, static_cast<int>(std::ceil(w.Y0 - record.YMax)));
  const int r1 = std::min(w.Height - 1, static_cast<int>(std::floor(w.Y0 - record.YMin)));
  std::vector<double> crossings;
  for (int r = r0; r <= r1; ++r) {
    const double y = w.Y0 - r;
    crossings.clear();
    for (const auto& ring : record.Rings) {
      const auto& pts = ring.Points;
      for (std::size_t i = 0; i < pts.size(); ++i) {
        const auto [x1, y1] = pts[i];
        const auto [x2, y2] = pts[(i + 1) % pts.size()];
        if ((y1 < y) != (y2 < y)) crossings.push_back(x1 + (y - y1) * (x2 - x1) / (y2 - y1));
      }
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
      const int c0 = std::max(0, static_cast<int>(std::ceil(crossings[k] - w.X0)));
      const int c1 = std::min(w.Width - 1, static_cast<int>(std::floor(crossings[k + 1] - w.X0)));
      for (int c = c0; c <= c1; ++c) pixels.push_back(w.Index(c, r));
    }
  }
  return pixels;
}

// The pixels of each hole of a record. A hole's boundary may be written as several rings that
// touch at points (open cells meeting at a corner), and open land that reaches the outside only
// through a corner is written as a ring touching the shell: rings are grouped by the points they
// share, groups touching the shell are no holes, and each other group is one hole.
inline std::vector<std::vector<int>> HolePixels(const TRasterWindow& w,
                                                const TLayerRecord& record) {
  const std::size_t n = record.Rings.size();
  std::vector<std::size_t> group(n);
  for (std::size_t i = 0; i < n; ++i) group[i] = i;
  auto find = [&](std::size_t i) {
    while (group[i] != i) i = group[i] = group[group[i]];
    return i;
  };
  std::map<std::pair<double, double>, std::size_t> seen;
  for (std::size_t i = 0; i < n; ++i) {
    for (const auto& p : record.Rings[i].Points) {
      const auto [at, fresh] = seen.emplace(p, i);
      if (!fresh) group[find(i)] = find(at->second);
    }
  }
  std::map<std::size_t, std::vector<int>> holes;
  for (std::size_t h = 1; h < n; ++h) {
    if (find(h) == find(0)) continue;
    TLayerRecord one = record;
    one.Rings = {record.Rings[h]};
    auto& pixels = holes[find(h)];
    const auto inside = PixelsInside(w, one);
    pixels.insert(pixels.end(), inside.begin(), inside.end());
  }
  std::vector<std::vector<int>> result;
  for (auto& [g, pixels] : holes) {
    std::sort(pixels.begin(), pixels.end());
    result.push_back(std::move(pixels));
  }
  std::sort(result.begin(), result.end());
  return result;
}

// Empty when the written wooded layer is exactly the expected one; otherwise the first fault.
inline std::string WoodedLayerFault(const TRasterWindow& w, const TLayer& layer,
                                    const TExpectedLayer& expected) {
  std::vector<bool> matched(expected.Polygons.size(), false);
  for (std::size_t i = 0; i < layer.Records.size(); ++i) {
    const TLayerRecord& record = layer.Records[i];
    const std::string at = "record " + std::to_string(i) + ": ";
    if (record.Id != static_cast<int>(i) + 1 || record.Boise != "T") return at + "id or boise";
    if (!record.Closed) return at + "a ring that is not closed";
    if (record.Rings.empty() || !(SignedArea(record.Rings[0]) < 0)) return at + "outer ring";
    if (const std::string fault = GeosPolygonFault(record.Rings); !fault.empty()) {
      return at + fault;
    }
    const std::vector<int> pixels = PixelsInside(w, record);
    if (pixels.empty()) return at + "covers no pixel";
    const int region = expected.RegionOf[pixels.front()];
    if (region < 0) return at + "its first pixel is open";
    const TExpectedPolygon& polygon = expected.Polygons[region];
    if (!polygon.Kept) return at + "a region below the wooded limit";
    if (matched[region]) return at + "a second record of a region";
    matched[region] = true;
    if (pixels != polygon.Pixels) {
      return at + std::to_string(pixels.size()) + " pixels for a region of " +
             std::to_string(polygon.Pixels.size());
    }
    if (record.Surface != static_cast<double>(pixels.size())) return at + "Surface";
    const std::vector<std::vector<int>> holes = HolePixels(w, record);
    if (holes != polygon.KeptHoles) {
      return at + std::to_string(holes.size()) + " holes for " +
             std::to_string(polygon.KeptHoles.size()) + ", or other pixels";
    }
  }
  if (static_cast<int>(layer.Records.size()) != expected.KeptCount()) {
    return std::to_string(layer.Records.size()) + " records for " +
           std::to_string(expected.KeptCount()) + " regions";
  }
  return {};
}

struct TCrownModel {
  double Param0 = 2.6894;  // intercept
  double Param1 = 0.1117;  // slope
  int Points = 36;
  double Radius(double h) const { return Param1 * h + Param0; }
};

// A crown record as written: centre, radius and shape.
struct TWrittenCrown {
  double X = 0, Y = 0, R = 0;
  std::string Fault;
};

inline TWrittenCrown CrownOf(const TLayerRecord& record, int points) {
  TWrittenCrown crown;
  if (!record.Closed || record.Rings.size() != 1 ||
      static_cast<int>(record.Rings[0].Points.size()) != points) {
    crown.Fault = "not one ring of " + std::to_string(points) + " points";
    return crown;
  }
  const auto& pts = record.Rings[0].Points;
  for (const auto& [x, y] : pts) {
    crown.X += x / points;
    crown.Y += y / points;
  }
  crown.R = std::hypot(pts[0].first - crown.X, pts[0].second - crown.Y);
  if (!(SignedArea(record.Rings[0]) < 0)) crown.Fault = "not clockwise";
  if (std::abs(pts[0].second - crown.Y) > 1e-6) crown.Fault = "does not start due east";
  for (const auto& [x, y] : pts) {
    if (std::abs(std::hypot(x - crown.X, y - crown.Y) - crown.R) > 1e-6) crown.Fault = "no circle";
  }
  return crown;
}

// Empty when the crown layer holds exactly the expected crowns (in that order when `ordered`,
// otherwise as a set); otherwise the first fault.
inline std::string CrownLayerFault(const TLayer& layer, std::vector<TExpectedCrown> expected,
                                   const TCrownModel& model, bool ordered) {
  if (!layer.HasHeights && !layer.Records.empty()) return "no Hauteur field";
  if (layer.Records.size() != expected.size()) {
    return std::to_string(layer.Records.size()) + " crowns for " + std::to_string(expected.size());
  }
  std::vector<std::pair<TWrittenCrown, const TLayerRecord*>> written;
  for (std::size_t i = 0; i < layer.Records.size(); ++i) {
    const TLayerRecord& record = layer.Records[i];
    if (record.Id != static_cast<int>(i) + 1 || record.Boise != "T") {
      return "crown " + std::to_string(i) + ": id or boise";
    }
    written.emplace_back(CrownOf(record, model.Points), &record);
  }
  if (!ordered) {
    auto byPlace = [](double x, double y) { return std::make_pair(-std::round(y), std::round(x)); };
    std::sort(expected.begin(), expected.end(),
              [&](const auto& a, const auto& b) { return byPlace(a.X, a.Y) < byPlace(b.X, b.Y); });
    std::sort(written.begin(), written.end(), [&](const auto& a, const auto& b) {
      return byPlace(a.first.X, a.first.Y) < byPlace(b.first.X, b.first.Y);
    });
  }
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const TExpectedCrown& e = expected[i];
    const auto& [crown, record] = written[i];
    const std::string at = "crown at (" + std::to_string(e.X) + ", " + std::to_string(e.Y) + "): ";
    if (!crown.Fault.empty()) return at + crown.Fault;
    if (std::abs(crown.X - e.X) > 1e-6 || std::abs(crown.Y - e.Y) > 1e-6) {
      return at + "written at (" + std::to_string(crown.X) + ", " + std::to_string(crown.Y) + ")";
    }
    const double r = model.Radius(e.H);
    if (std::abs(crown.R - r) > 1e-6) return at + "radius " + std::to_string(crown.R);
    if (std::abs(record->Height - e.H) > 0.005 + 1e-9) return at + "Hauteur";
    if (std::abs(record->Surface - std::numbers::pi * r * r) > 0.5 + 1e-6) return at + "Surface";
  }
  return {};
}

}  // namespace qv::test
