// The independent reference for polygons of a classified raster: plain flood fills instead of
// joined rows, and an even-odd rasteriser that turns the polygons under test back into pixels.
//
// A region is a 4-connected set of pixels of one class. Its holes are the bounded 8-connected
// components of its complement: a region encloses whatever it separates from the outside, and two
// pockets that touch only where the region pinches are one hole. Holes are looked for within the
// region's bounding box grown by one pixel; that margin is outside the region and connected all
// round, so it stands for everything outside (beyond the raster too), and whole tiles stay
// affordable. Rings are rasterised at the pixel centres: pixel edges lie on half metres and
// centres on whole metres, so no scan line meets a vertex.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace qv::test {

struct TRaster {
  int Width = 0, Height = 0;
  double X0 = 0, Y0 = 0;             // centre of pixel (0, 0); rows go south
  std::vector<std::uint8_t> Wooded;  // row-major, 1 = wooded

  int Index(int c, int r) const { return r * Width + c; }
  bool At(int c, int r) const { return Wooded[static_cast<std::size_t>(Index(c, r))] != 0; }
};

// The pixels of a width x height grid reached from `start` through 4 (or 8) neighbours that
// `take` accepts; take claims what it accepts.
template <class F>
std::vector<int> Flood(int start, int width, int height, bool eight, F&& take) {
  std::vector<int> reached{start}, stack{start};
  while (!stack.empty()) {
    const int c = stack.back() % width, r = stack.back() / width;
    stack.pop_back();
    for (int dr = -1; dr <= 1; ++dr) {
      for (int dc = -1; dc <= 1; ++dc) {
        const int nc = c + dc, nr = r + dr, q = nr * width + nc;
        if ((eight ? dc || dr : !dc != !dr) && nc >= 0 && nr >= 0 && nc < width && nr < height &&
            take(q)) {
          reached.push_back(q);
          stack.push_back(q);
        }
      }
    }
  }
  std::sort(reached.begin(), reached.end());
  return reached;
}

struct TRegion {
  bool Wooded = false;
  std::vector<int> Pixels;              // sorted
  std::vector<std::vector<int>> Holes;  // each sorted
};

struct TRegions {
  std::vector<TRegion> List;
  std::vector<int> Of;  // the region of each pixel
};

inline TRegions FindRegions(const TRaster& w) {
  TRegions out;
  out.Of.assign(w.Wooded.size(), -1);
  for (int start = 0; start < static_cast<int>(w.Wooded.size()); ++start) {
    if (out.Of[start] >= 0) continue;
    const int id = static_cast<int>(out.List.size());
    const bool wooded = w.Wooded[start] != 0;
    out.Of[start] = id;
    const auto take = [&](int q) {
      if (out.Of[q] >= 0 || (w.Wooded[q] != 0) != wooded) return false;
      out.Of[q] = id;
      return true;
    };
    out.List.push_back({wooded, Flood(start, w.Width, w.Height, false, take), {}});
  }
  for (TRegion& region : out.List) {
    int c0 = w.Width, c1 = 0, r0 = w.Height, r1 = 0;
    for (const int p : region.Pixels) {
      c0 = std::min(c0, p % w.Width), c1 = std::max(c1, p % w.Width);
      r0 = std::min(r0, p / w.Width), r1 = std::max(r1, p / w.Width);
    }
    const int lw = c1 - c0 + 3, lh = r1 - r0 + 3;  // the box and its margin
    std::vector<std::uint8_t> seen(static_cast<std::size_t>(lw) * lh, 0);
    for (const int p : region.Pixels) seen[(p / w.Width - r0 + 1) * lw + p % w.Width - c0 + 1] = 1;
    const auto take = [&](int l) {
      if (seen[l]) return false;
      seen[l] = 1;
      return true;
    };
    for (int l = 0; l < lw * lh; ++l) {
      if (!take(l)) continue;
      std::vector<int> pixels = Flood(l, lw, lh, true, take);
      if (l == 0) continue;  // the outside
      for (int& p : pixels) p = w.Index(c0 + p % lw - 1, r0 + p / lw - 1);
      std::sort(pixels.begin(), pixels.end());
      region.Holes.push_back(std::move(pixels));
    }
  }
  return out;
}

using TRing = std::vector<std::pair<double, double>>;  // the last point joins the first

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
  static const TRing none;
  int r0 = w.Height, r1 = -1;  // the rows the outer ring reaches
  for (const auto& [x, y] : rings.empty() ? none : rings[0]) {
    r0 = std::max(0, std::min(r0, static_cast<int>(std::ceil(w.Y0 - y))));
    r1 = std::min(w.Height - 1, std::max(r1, static_cast<int>(std::floor(w.Y0 - y))));
  }
  std::vector<std::vector<double>> crossings(static_cast<std::size_t>(std::max(0, r1 - r0 + 1)));
  for (const auto& ring : rings) {
    for (std::size_t i = 0; i < ring.size(); ++i) {
      const auto [x1, y1] = ring[i];
      const auto [x2, y2] = ring[(i + 1) % ring.size()];
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
    std::vector<double>& xs = crossings[r - r0];
    std::sort(xs.begin(), xs.end());
    for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
      const int c1 = std::min(w.Width - 1, static_cast<int>(std::ceil(xs[k + 1] - w.X0)) - 1);
      for (int c = std::max(0, static_cast<int>(std::floor(xs[k] - w.X0)) + 1); c <= c1; ++c) {
        pixels.push_back(w.Index(c, r));
      }
    }
  }
  return pixels;
}

// The pixels of each hole of a polygon, sorted. A written hole may be several rings that touch at
// points (open cells meeting at a corner), and open land that reaches the outside only through a
// corner is a ring touching the shell: rings are grouped by the points they share, groups that
// touch the shell are no holes, and each other group is one hole.
inline std::vector<std::vector<int>> HolePixels(const TRaster& w, const std::vector<TRing>& rings) {
  const std::size_t n = rings.size();
  std::vector<std::size_t> group(n);
  for (std::size_t i = 0; i < n; ++i) group[i] = i;
  auto find = [&](std::size_t i) {
    while (group[i] != i) i = group[i] = group[group[i]];
    return i;
  };
  std::map<std::pair<double, double>, std::size_t> seen;
  for (std::size_t i = 0; i < n; ++i) {
    for (const auto& p : rings[i]) {
      const auto [at, fresh] = seen.emplace(p, i);
      if (!fresh) group[find(i)] = find(at->second);
    }
  }
  std::map<std::size_t, std::vector<int>> holes;
  for (std::size_t h = 1; h < n; ++h) {
    if (find(h) == find(0)) continue;
    const auto inside = PixelsInside(w, {rings[h]});
    auto& pixels = holes[find(h)];
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

// Which polygons a raster must give. A hole below the limit of its region's class is filled: the
// polygon covers it whole, islands included, and regions inside it need no polygon of their own
// (the row pass keeps some of them) unless only wooded polygons count.
struct TRules {
  double ClearingLimit = 0;  // for holes of wooded regions
  double OpenHoleLimit = 0;  // for holes of open regions
  bool WoodedOnly = false;   // a result layer: open regions have no polygon, nor have wooded ones
  double MinWoodedArea = 0;  // below this area, filled holes included
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
  std::vector<std::vector<int>> pixels(n);
  std::vector<std::vector<std::vector<int>>> kept(n);
  std::vector<bool> filledOver(w.Wooded.size(), false), absent(n), matched(n, false);
  for (std::size_t i = 0; i < n; ++i) {
    const TRegion& region = regions.List[i];
    pixels[i] = region.Pixels;
    for (const auto& hole : region.Holes) {
      if (hole.size() >= (region.Wooded ? rules.ClearingLimit : rules.OpenHoleLimit)) {
        kept[i].push_back(hole);
        continue;
      }
      pixels[i].insert(pixels[i].end(), hole.begin(), hole.end());
      for (const int p : hole) filledOver[p] = !rules.WoodedOnly;
    }
    std::sort(pixels[i].begin(), pixels[i].end());
    std::sort(kept[i].begin(), kept[i].end());
    absent[i] = rules.WoodedOnly && (!region.Wooded || pixels[i].size() < rules.MinWoodedArea);
  }
  for (std::size_t k = 0; k < seen.size(); ++k) {
    const std::string at = "polygon " + std::to_string(k) + ": ";
    const std::vector<int> covered = PixelsInside(w, seen[k].Rings);
    if (covered.empty()) return at + "covers no pixel";
    const auto i = static_cast<std::size_t>(regions.Of[covered.front()]);
    if (regions.List[i].Wooded != seen[k].Wooded || absent[i] || matched[i]) {
      return at + "of the other class, of a region without polygon, or a second one";
    }
    matched[i] = true;
    if (covered != pixels[i] || seen[k].Area != static_cast<double>(covered.size())) {
      return at + std::to_string(covered.size()) + " pixels, area " + std::to_string(seen[k].Area) +
             ", for " + std::to_string(pixels[i].size());
    }
    const auto holes = HolePixels(w, seen[k].Rings);
    if (holes != kept[i]) return at + std::to_string(holes.size()) + " holes or other pixels";
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (!matched[i] && !absent[i] && !filledOver[regions.List[i].Pixels.front()]) {
      return "the region at pixel " + std::to_string(regions.List[i].Pixels.front()) +
             " is missing";
    }
  }
  return {};
}

}  // namespace qv::test
