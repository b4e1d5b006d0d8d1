// Judges the live polygons of a row pass run against the flood-fill reference (RasterOracle.h).
//
// Every live polygon is rasterised at the pixel centres (even-odd over its outer ring and its
// holes). With hole limits of 0 the polygons must be the 4-connected regions exactly, one each,
// with Area the pixel count and one hole ring per hole of the region. With limits above 0 a
// polygon covers its region plus every hole below the limit of its class (the whole hole,
// islands included); regions inside such a filled hole may have lost their polygon, all others
// keep exactly one; every kept hole reaches the limit.
#pragma once

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "RasterOracle.h"
#include "RowPassRun.h"

namespace qv::test {

struct THoleLimits {
  double Clearing = 0;  // for holes of wooded polygons
  double Wooded = 0;    // for holes of open polygons
  double For(bool wooded) const { return wooded ? Clearing : Wooded; }
};

class TPartitionCheck {
 public:
  TPartitionCheck(const TRasterWindow& window, const T2DPolygonMesh& mesh, THoleLimits limits)
      : w_(window), mesh_(mesh), limits_(limits), regions_(FindRegions(window)) {
    regionOf_.assign(static_cast<std::size_t>(w_.Width) * w_.Height, -1);
    for (std::size_t i = 0; i < regions_.size(); ++i) {
      for (const int p : regions_[i].Pixels) regionOf_[p] = static_cast<int>(i);
    }
  }

  // Empty when the mesh is right; otherwise the first thing found wrong.
  std::string Fault() {
    const auto live = LivePolygons(mesh_);
    std::vector<int> owner(regions_.size(), -1);
    for (std::size_t i = 0; i < live.size(); ++i) {
      const std::string fault = CheckPolygon(live[i], static_cast<int>(i), owner);
      if (!fault.empty()) return "polygon " + std::to_string(live[i].Id.Index) + ": " + fault;
    }
    for (std::size_t r = 0; r < regions_.size(); ++r) {
      if (owner[r] < 0 && !InsideFilledHole(static_cast<int>(r))) {
        return "region " + std::to_string(r) + " at pixel " +
               std::to_string(regions_[r].Pixels[0]) + " has no polygon";
      }
    }
    return {};
  }

 private:
  std::vector<int> Expected(int region) const {
    std::vector<int> pixels = regions_[region].Pixels;
    const double limit = limits_.For(regions_[region].Wooded);
    for (const auto& hole : regions_[region].Holes) {
      if (static_cast<double>(hole.size()) < limit)
        pixels.insert(pixels.end(), hole.begin(), hole.end());
    }
    std::sort(pixels.begin(), pixels.end());
    return pixels;
  }

  bool InsideFilledHole(int region) const {
    const int pixel = regions_[region].Pixels[0];
    for (const auto& r : regions_) {
      for (const auto& hole : r.Holes) {
        if (static_cast<double>(hole.size()) < limits_.For(r.Wooded) &&
            std::binary_search(hole.begin(), hole.end(), pixel)) {
          return true;
        }
      }
    }
    return false;
  }

  std::string CheckPolygon(const TLivePolygon& p, int index, std::vector<int>& owner) const {
    if (!p.Fault.empty()) return p.Fault;
    std::vector<TRingPoints> rings{p.Outer};
    rings.insert(rings.end(), p.Holes.begin(), p.Holes.end());
    const std::vector<int> pixels = RasterizeEvenOdd(w_, rings);
    if (pixels.empty()) return "covers no pixel";
    if (p.Area != static_cast<double>(pixels.size())) {
      return "Area " + std::to_string(p.Area) + " for " + std::to_string(pixels.size()) + " pixels";
    }
    int match = -1;
    for (const int px : pixels) {
      const int r = regionOf_[px];
      if ((w_.Wooded[px] != 0) == p.Wooded && Expected(r) == pixels) {
        match = r;
        break;
      }
    }
    if (match < 0) return "pixels are no region (first pixel " + std::to_string(pixels[0]) + ")";
    if (owner[match] >= 0) return "second polygon of region " + std::to_string(match);
    owner[match] = index;
    return CheckHoles(p, match);
  }

  std::string CheckHoles(const TLivePolygon& p, int region) const {
    std::vector<std::vector<int>> kept;
    const double limit = limits_.For(p.Wooded);
    for (const auto& hole : regions_[region].Holes) {
      if (static_cast<double>(hole.size()) >= limit) kept.push_back(hole);
    }
    std::vector<std::vector<int>> found;
    for (std::size_t h = 0; h < p.Holes.size(); ++h) {
      found.push_back(RasterizeEvenOdd(w_, {p.Holes[h]}));
      if (static_cast<double>(found.back().size()) < limit) return "kept hole below the limit";
      const std::string enclosed = CheckEnclosed(p, p.HoleIds[h], found.back());
      if (!enclosed.empty()) return enclosed;
    }
    std::sort(kept.begin(), kept.end());
    std::sort(found.begin(), found.end());
    if (kept != found) {
      return std::to_string(found.size()) + " hole rings for " + std::to_string(kept.size()) +
             " holes, or other pixels";
    }
    return {};
  }

  // A kept hole names a live polygon of the other class inside it.
  std::string CheckEnclosed(const TLivePolygon& p, TRingId hole,
                            const std::vector<int>& pixels) const {
    const TPolygonId enclosed = mesh_[hole].EnclosedPolygon;
    if (!enclosed) return "hole without enclosed polygon";
    if (mesh_[enclosed].Deleted) return "hole names a flagged polygon";
    if (mesh_[enclosed].IsWooded == p.Wooded) return "hole names a polygon of its own class";
    const TRingId outer = mesh_.OuterRing(enclosed);
    const auto inside = RasterizeEvenOdd(w_, {RingPointsOf(mesh_, outer)});
    for (const int px : inside) {
      if (!std::binary_search(pixels.begin(), pixels.end(), px)) {
        return "hole names a polygon outside it";
      }
    }
    return {};
  }

  const TRasterWindow& w_;
  const T2DPolygonMesh& mesh_;
  THoleLimits limits_;
  std::vector<TRegion> regions_;
  std::vector<int> regionOf_;
};

inline std::string Picture(const TRasterWindow& w) {
  std::ostringstream out;
  for (int r = 0; r < w.Height; ++r) {
    for (int c = 0; c < w.Width; ++c) out << (w.At(c, r) ? '#' : '.');
    out << '\n';
  }
  return out.str();
}

}  // namespace qv::test
