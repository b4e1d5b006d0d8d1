// The independent reference for polygons of a classified raster: plain flood fills instead of
// joined rows, and an even-odd rasteriser that turns the polygons under test back into pixels.
//
// A region is a 4-connected set of pixels of one class. Its holes are the bounded 8-connected
// components of its complement: a region encloses whatever it separates from the outside, and two
// pockets that touch only where the region pinches are one hole. Holes are looked for within the
// region's bounding box grown by one pixel; that margin is outside the region and connected all
// round, so it stands for everything outside (beyond the raster too), and whole tiles stay
// affordable.
//
// Rings are rasterised at the pixel centres: pixel edges lie on half metres and centres on whole
// metres, so no scan line meets a vertex.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qv::test {

struct TRaster {
  int Width = 0;
  int Height = 0;
  double X0 = 0;  // centre of pixel (0, 0); rows go south
  double Y0 = 0;
  std::vector<std::uint8_t> Wooded;  // row-major, 1 = wooded

  int Index(int c, int r) const { return r * Width + c; }
  bool At(int c, int r) const { return Wooded[static_cast<std::size_t>(Index(c, r))] != 0; }
};

struct TRegion {
  bool Wooded = false;
  std::vector<int> Pixels;              // sorted
  std::vector<std::vector<int>> Holes;  // each sorted, in the order of their first pixel
};

struct TRegions {
  std::vector<TRegion> List;
  std::vector<int> Of;  // the region of each pixel
};

inline TRegions FindRegions(const TRaster& w) {
  TRegions out;
  out.Of.assign(w.Wooded.size(), -1);
  std::vector<int> queue;
  std::vector<std::array<int, 4>> boxes;  // c0, c1, r0, r1
  for (int start = 0; start < static_cast<int>(w.Wooded.size()); ++start) {
    if (out.Of[start] >= 0) continue;
    const int id = static_cast<int>(out.List.size());
    TRegion& region = out.List.emplace_back();
    region.Wooded = w.Wooded[start] != 0;
    std::array<int, 4> box{w.Width, -1, w.Height, -1};
    queue = {start};
    out.Of[start] = id;
    while (!queue.empty()) {
      const int p = queue.back(), c = p % w.Width, r = p / w.Width;
      queue.pop_back();
      region.Pixels.push_back(p);
      box = {std::min(box[0], c), std::max(box[1], c), std::min(box[2], r), std::max(box[3], r)};
      for (const auto& [nc, nr] : {std::pair{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}}) {
        if (nc < 0 || nr < 0 || nc >= w.Width || nr >= w.Height) continue;
        const int q = w.Index(nc, nr);
        if (out.Of[q] < 0 && (w.Wooded[q] != 0) == region.Wooded) {
          out.Of[q] = id;
          queue.push_back(q);
        }
      }
    }
    std::sort(region.Pixels.begin(), region.Pixels.end());
    boxes.push_back(box);
  }
  for (std::size_t id = 0; id < out.List.size(); ++id) {
    const auto [c0, c1, r0, r1] = boxes[id];
    const int lw = c1 - c0 + 3, lh = r1 - r0 + 3;  // the box with its margin
    std::vector<std::uint8_t> seen(static_cast<std::size_t>(lw) * lh, 0);
    for (const int p : out.List[id].Pixels)
      seen[(p / w.Width - r0 + 1) * lw + p % w.Width - c0 + 1] = 1;
    auto flood = [&](int start, std::vector<int>* pixels) {
      queue = {start};
      seen[start] = 1;
      while (!queue.empty()) {
        const int l = queue.back(), lc = l % lw, lr = l / lw;
        queue.pop_back();
        if (pixels) pixels->push_back(w.Index(c0 + lc - 1, r0 + lr - 1));
        for (int dr = -1; dr <= 1; ++dr) {
          for (int dc = -1; dc <= 1; ++dc) {
            const int nc = lc + dc, nr = lr + dr;
            if (nc < 0 || nr < 0 || nc >= lw || nr >= lh || seen[nr * lw + nc]) continue;
            seen[nr * lw + nc] = 1;
            queue.push_back(nr * lw + nc);
          }
        }
      }
    };
    flood(0, nullptr);
    for (int l = 0; l < lw * lh; ++l) {
      if (seen[l]) continue;
      auto& hole = out.List[id].Holes.emplace_back();
      flood(l, &hole);
      std::sort(hole.begin(), hole.end());
    }
  }
  return out;
}

using TRing =
    std::vector<std::pair<double, double>>;  // closed implicitly: the last joins the first

inline double SignedArea(const TRing& ring) {
  double sum = 0;
  for (std::size_t i = 0; i < ring.size(); ++i) {
    const auto [x1, y1] = ring[i];
    const auto [x2, y2] = ring[(i + 1) % ring.size()];
    sum += (x1 + x2) * (y2 - y1);
  }
  return sum / 2;
}

// The pixels whose centres lie inside the rings by the even-odd rule, sorted.
inline std::vector<int> PixelsInside(const TRaster& w, const std::vector<TRing>& rings) {
  double yMin = HUGE_VAL, yMax = -HUGE_VAL;
  for (const auto& ring : rings) {
    for (const auto& [x, y] : ring) yMin = std::min(yMin, y), yMax = std::max(yMax, y);
  }
  const int r0 = std::max(0, static_cast<int>(std::ceil(w.Y0 - yMax)));
  const int r1 = std::min(w.Height - 1, static_cast<int>(std::floor(w.Y0 - yMin)));
  if (r0 > r1) return {};
  std::vector<std::vector<double>> crossings(static_cast<std::size_t>(r1 - r0 + 1));
  for (const auto& ring : rings) {
    for (std::size_t i = 0; i < ring.size(); ++i) {
      const auto [x1, y1] = ring[i];
      const auto [x2, y2] = ring[(i + 1) % ring.size()];
      if (y1 == y2) continue;
      const int a = std::max(r0, static_cast<int>(std::ceil(w.Y0 - std::max(y1, y2))));
      const int b = std::min(r1, static_cast<int>(std::floor(w.Y0 - std::min(y1, y2))));
      for (int r = a; r <= b; ++r) {
        const double y = w.Y0 - r;
        if ((y1 < y) != (y2 < y))
          crossings[r - r0].push_back(x1 + (y - y1) * (x2 - x1) / (y2 - y1));
      }
    }
  }
  std::vector<int> pixels;
  for (int r = r0; r <= r1; ++r) {
    auto& xs = crossings[r - r0];
    std::sort(xs.begin(), xs.end());
    for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
      const int c0 = std::max(0, static_cast<int>(std::floor(xs[k] - w.X0)) + 1);
      const int c1 = std::min(w.Width - 1, static_cast<int>(std::ceil(xs[k + 1] - w.X0)) - 1);
      for (int c = c0; c <= c1; ++c) pixels.push_back(w.Index(c, r));
    }
  }
  return pixels;
}

// Which polygons a raster must give. A hole below the limit of its region's class is filled: the
// polygon covers it whole, islands included, and regions inside it need no polygon of their own
// (the row pass keeps some of them) unless only wooded polygons count.
struct TRules {
  double ClearingLimit = 0;  // for holes of wooded regions
  double OpenHoleLimit = 0;  // for holes of open regions
  bool WoodedOnly = false;   // a result layer: open regions have no polygon ...
  double MinWoodedArea = 0;  // ... and wooded ones below this area, filled holes included, neither
};

struct TSeenPolygon {  // a polygon as the code under test gave it
  bool Wooded = false;
  double Area = 0;
  std::vector<TRing> Rings;  // the outer ring first
};

// Empty when the polygons are exactly those the rules give; otherwise the first difference.
inline std::string PartitionFault(const TRaster& w, const std::vector<TSeenPolygon>& seen,
                                  const TRules& rules) {
  const TRegions regions = FindRegions(w);
  const std::size_t n = regions.List.size();
  struct TExpected {
    std::vector<int> Pixels;  // the region and its filled holes
    std::vector<std::vector<int>> KeptHoles;
    bool Absent = false;    // no polygon allowed
    bool Optional = false;  // inside a hole that is filled: a polygon or none
  };
  std::vector<TExpected> expected(n);
  std::vector<bool> filledOver(w.Wooded.size(), false);
  for (std::size_t i = 0; i < n; ++i) {
    const TRegion& region = regions.List[i];
    const double limit = region.Wooded ? rules.ClearingLimit : rules.OpenHoleLimit;
    expected[i].Pixels = region.Pixels;
    for (const auto& hole : region.Holes) {
      auto& into = static_cast<double>(hole.size()) < limit ? expected[i].Pixels
                                                            : expected[i].KeptHoles.emplace_back();
      into.insert(into.end(), hole.begin(), hole.end());
      if (&into == &expected[i].Pixels && !rules.WoodedOnly) {
        for (const int p : hole) filledOver[static_cast<std::size_t>(p)] = true;
      }
    }
    std::sort(expected[i].Pixels.begin(), expected[i].Pixels.end());
    std::sort(expected[i].KeptHoles.begin(), expected[i].KeptHoles.end());
    expected[i].Absent =
        rules.WoodedOnly &&
        (!region.Wooded || static_cast<double>(expected[i].Pixels.size()) < rules.MinWoodedArea);
  }
  for (std::size_t i = 0; i < n; ++i)
    expected[i].Optional = filledOver[regions.List[i].Pixels.front()];
  std::vector<bool> matched(n, false);
  for (std::size_t k = 0; k < seen.size(); ++k) {
    const TSeenPolygon& polygon = seen[k];
    const std::string at = "polygon " + std::to_string(k) + ": ";
    const std::vector<int> pixels = PixelsInside(w, polygon.Rings);
    if (pixels.empty()) return at + "covers no pixel";
    const auto i = static_cast<std::size_t>(regions.Of[pixels.front()]);
    if (regions.List[i].Wooded != polygon.Wooded) return at + "of the other class";
    if (expected[i].Absent) return at + "a region that has no polygon";
    if (matched[i]) return at + "a second polygon of a region";
    matched[i] = true;
    if (pixels != expected[i].Pixels) {
      return at + std::to_string(pixels.size()) + " pixels for " +
             std::to_string(expected[i].Pixels.size());
    }
    if (polygon.Area != static_cast<double>(pixels.size()))
      return at + "area " + std::to_string(polygon.Area);
    std::vector<std::vector<int>> holes;
    for (std::size_t h = 1; h < polygon.Rings.size(); ++h)
      holes.push_back(PixelsInside(w, {polygon.Rings[h]}));
    std::sort(holes.begin(), holes.end());
    if (holes != expected[i].KeptHoles) {
      return at + std::to_string(holes.size()) + " holes for " +
             std::to_string(expected[i].KeptHoles.size());
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (!matched[i] && !expected[i].Absent && !expected[i].Optional) {
      return "the region at pixel " + std::to_string(regions.List[i].Pixels.front()) +
             " has no polygon";
    }
  }
  return {};
}

}  // namespace qv::test
