// An independent reference for polygon building: what the polygons of a classified raster must
// be, computed by plain flood fills rather than by joining rows.
//
// A region is a 4-connected set of pixels of one class. Its holes are the bounded 8-connected
// components of its complement (pixels of the other class, and pixels of its own class that
// belong to other regions): a region of 4-connected pixels encloses whatever it separates from
// the outside, and two pockets that touch only at a corner where the region pinches are one
// hole. Everything outside the window counts as outside.
//
// Polygons are checked by rasterising their rings back at the pixel centres with the even-odd
// rule: pixel edges lie on half metres and centres on whole metres, so no ray meets a vertex.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <set>
#include <vector>

namespace qv::test {

struct TRasterWindow {
  int Width = 0;
  int Height = 0;
  double X0 = 0.0;  // centre x of column 0
  double Y0 = 0.0;  // centre y of row 0 (rows go south)
  std::vector<std::uint8_t> Wooded;  // Width * Height, row-major, 1 = wooded

  bool At(int c, int r) const { return Wooded[static_cast<std::size_t>(r) * Width + c] != 0; }
  int Index(int c, int r) const { return r * Width + c; }
};

struct TRegion {
  bool Wooded = false;
  std::vector<int> Pixels;             // sorted pixel indexes
  std::vector<std::vector<int>> Holes;  // each sorted; bounded complement components
};

// 4-connected regions of equal class, with their holes.
inline std::vector<TRegion> FindRegions(const TRasterWindow& w) {
  const int n = w.Width * w.Height;
  std::vector<int> label(n, -1);
  std::vector<TRegion> regions;
  for (int start = 0; start < n; ++start) {
    if (label[start] >= 0) continue;
    const int id = static_cast<int>(regions.size());
    TRegion region;
    region.Wooded = w.Wooded[start] != 0;
    std::deque<int> queue{start};
    label[start] = id;
    while (!queue.empty()) {
      const int p = queue.front();
      queue.pop_front();
      region.Pixels.push_back(p);
      const int c = p % w.Width, r = p / w.Width;
      const int nc[4] = {c - 1, c + 1, c, c};
      const int nr[4] = {r, r, r - 1, r + 1};
      for (int k = 0; k < 4; ++k) {
        if (nc[k] < 0 || nr[k] < 0 || nc[k] >= w.Width || nr[k] >= w.Height) continue;
        const int q = w.Index(nc[k], nr[k]);
        if (label[q] < 0 && (w.Wooded[q] != 0) == region.Wooded) {
          label[q] = id;
          queue.push_back(q);
        }
      }
    }
    std::sort(region.Pixels.begin(), region.Pixels.end());
    regions.push_back(std::move(region));
  }
  // Holes: flood the complement of each region with 8-connectivity from the window border.
  for (std::size_t id = 0; id < regions.size(); ++id) {
    std::vector<std::uint8_t> seen(n, 0);
    for (int p : regions[id].Pixels) seen[p] = 1;  // the region itself blocks
    auto flood = [&](int s, std::vector<int>* out) {
      std::deque<int> queue{s};
      seen[s] = 1;
      bool touchesBorder = false;
      while (!queue.empty()) {
        const int p = queue.front();
        queue.pop_front();
        if (out) out->push_back(p);
        const int c = p % w.Width, r = p / w.Width;
        if (c == 0 || r == 0 || c == w.Width - 1 || r == w.Height - 1) touchesBorder = true;
        for (int dr = -1; dr <= 1; ++dr) {
          for (int dc = -1; dc <= 1; ++dc) {
            const int cc = c + dc, rr = r + dr;
            if (cc < 0 || rr < 0 || cc >= w.Width || rr >= w.Height) continue;
            const int q = w.Index(cc, rr);
            if (!seen[q]) {
              seen[q] = 1;
              queue.push_back(q);
            }
          }
        }
      }
      return touchesBorder;
    };
    for (int p = 0; p < n; ++p) {
      if (seen[p]) continue;
      std::vector<int> component;
      if (!flood(p, &component)) {
        std::sort(component.begin(), component.end());
        regions[id].Holes.push_back(std::move(component));
      }
    }
  }
  return regions;
}

struct TRingPoints {
  std::vector<std::pair<double, double>> Points;  // closed implicitly (last joins first)
};

// Pixels of the window whose centres lie inside the rings by the even-odd rule.
inline std::vector<int> RasterizeEvenOdd(const TRasterWindow& w,
                                         const std::vector<TRingPoints>& rings) {
  std::vector<std::uint8_t> inside(static_cast<std::size_t>(w.Width) * w.Height, 0);
  for (int r = 0; r < w.Height; ++r) {
    const double y = w.Y0 - r;
    std::vector<double> crossings;
    for (const auto& ring : rings) {
      const auto& pts = ring.Points;
      for (std::size_t i = 0; i < pts.size(); ++i) {
        const auto [x1, y1] = pts[i];
        const auto [x2, y2] = pts[(i + 1) % pts.size()];
        if ((y1 < y) != (y2 < y)) crossings.push_back(x1 + (y - y1) * (x2 - x1) / (y2 - y1));
      }
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
      for (int c = 0; c < w.Width; ++c) {
        const double x = w.X0 + c;
        if (x > crossings[k] && x < crossings[k + 1]) inside[w.Index(c, r)] ^= 1;
      }
    }
  }
  std::vector<int> pixels;
  for (int p = 0; p < w.Width * w.Height; ++p) {
    if (inside[p]) pixels.push_back(p);
  }
  return pixels;
}

// Signed area of a ring (counter-clockwise positive).
inline double SignedArea(const TRingPoints& ring) {
  double sum = 0.0;
  const auto& pts = ring.Points;
  for (std::size_t i = 0; i < pts.size(); ++i) {
    const auto [x1, y1] = pts[i];
    const auto [x2, y2] = pts[(i + 1) % pts.size()];
    sum += (x1 + x2) * (y2 - y1);
  }
  return sum / 2.0;
}

}  // namespace qv::test
