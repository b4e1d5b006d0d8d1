#include "calculation/SmallAreaElimination.h"

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace qv {

namespace {

constexpr std::string_view kRecursiveLoop =
    "Error: Recursive loop in CheckHoleOnSmallNonWoodedAreas";

// Every level of a real nesting lies inside the one before and is at least a pixel wide, so
// 1000 levels need a clearing limit of several square kilometres. The cap keeps a damaged mesh
// from running the recursion through a small host thread stack.
constexpr std::size_t kMaxNestingDepth = 1000;

// Hole lists are walked from the last index down. Filling or moving a hole removes only the
// one at the current index and appends elsewhere, so the lower indexes keep their rings; the
// clamp to the current count only matters when a damaged mesh lets the recursion shorten a
// list that is being walked, and keeps every index in range while still strictly descending.
int NextLower(int index, int count) { return std::min(index, count) - 1; }

// One examination of holes: the holes on the way down from the outermost one, so that a hole
// met again inside itself is recognised as a loop and not examined a second time.
class TClearingFill {
 public:
  TClearingFill(T2DPolygonMesh& mesh, const TAreaLimits& limits)
      : mesh_(mesh),
        limits_(limits),
        maxDepth_(std::min(static_cast<std::size_t>(mesh.PolygonCount()), kMaxNestingDepth)) {}

  bool CheckHole(TPolygonId p, int h, TRingId guard) {
    const TRingId r = mesh_.InnerRing(p, h);
    const double a = -mesh_.Area(r);
    if (limits_.HoleIsKept(true, a)) return false;  // a clearing in a wooded polygon
    path_.push_back(r);
    const bool filled = FillIslandHoles(p, mesh_[r].EnclosedPolygon, guard);
    path_.pop_back();
    if (!filled) return false;
    mesh_.SetArea(p, mesh_[p].Area + a);
    const int at = IndexOfHole(p, r, h);
    if (at >= 0) mesh_.ExtractInnerRing(p, at);
    mesh_.DiscardRing(r);
    return true;
  }

 private:
  // The clearings of the islands inside the open polygon of p's clearing: each is filled, or,
  // when kept, handed to p, which is about to cover the island's surroundings. False when a
  // loop was met: p's clearing is then kept.
  bool FillIslandHoles(TPolygonId p, TPolygonId open, TRingId guard) {
    if (!Live(open)) return true;  // nothing left inside to visit
    for (int i = mesh_.InnerRingCount(open) - 1; i >= 0;
         i = NextLower(i, mesh_.InnerRingCount(open))) {
      const TPolygonId island = mesh_[mesh_.InnerRing(open, i)].EnclosedPolygon;
      if (!Live(island)) continue;
      for (int j = mesh_.InnerRingCount(island) - 1; j >= 0;
           j = NextLower(j, mesh_.InnerRingCount(island))) {
        const TRingId k = mesh_.InnerRing(island, j);
        if (k == guard || IsOnPath(k) || path_.size() >= maxDepth_) {
          Platform().Beep();
          Platform().ShowMessage(kRecursiveLoop);
          return false;
        }
        if (!CheckHole(island, j, guard)) MoveHole(island, k, j, p);
      }
    }
    return true;
  }

  void MoveHole(TPolygonId from, TRingId ring, int hint, TPolygonId to) {
    const int at = IndexOfHole(from, ring, hint);
    if (at < 0) return;
    mesh_.ExtractInnerRing(from, at);
    mesh_.AddInnerRing(to, ring);
  }

  // Where ring sits among polygon's holes: at hint unless the list was changed under it.
  int IndexOfHole(TPolygonId polygon, TRingId ring, int hint) const {
    const int count = mesh_.InnerRingCount(polygon);
    if (hint >= 0 && hint < count && mesh_.InnerRing(polygon, hint) == ring) return hint;
    for (int i = 0; i < count; ++i) {
      if (mesh_.InnerRing(polygon, i) == ring) return i;
    }
    return -1;
  }

  bool IsOnPath(TRingId ring) const {
    return std::find(path_.begin(), path_.end(), ring) != path_.end();
  }

  // A polygon that can still be visited: not nil, not flagged, not freed.
  bool Live(TPolygonId polygon) const {
    if (!polygon) return false;
    const T2DPolygon& record = mesh_[polygon];
    return !record.Deleted && static_cast<bool>(record.Face);
  }

  T2DPolygonMesh& mesh_;
  const TAreaLimits& limits_;
  std::size_t maxDepth_;
  std::vector<TRingId> path_;
};

}  // namespace

bool CheckSmallNonWoodedAreas(T2DPolygonMesh& mesh, const TAreaLimits& limits) {
  TClearingFill fill(mesh, limits);
  const int count = mesh.PolygonCount();
  for (int index = 0; index < count; ++index) {
    const TPolygonId p = mesh.Polygon(index);
    if (!mesh[p].IsWooded) continue;
    for (int h = mesh.InnerRingCount(p) - 1; h >= 0; h = NextLower(h, mesh.InnerRingCount(p))) {
      fill.CheckHole(p, h, mesh.InnerRing(p, h));
    }
  }
  return true;
}

bool CheckHoleOnSmallNonWoodedAreas(T2DPolygonMesh& mesh, const TAreaLimits& limits, TPolygonId p,
                                    int h, TRingId guard) {
  return TClearingFill(mesh, limits).CheckHole(p, h, guard);
}

void RemoveSmallAndOpenPolygons(T2DPolygonMesh& mesh, const TAreaLimits& limits) {
  for (int index = mesh.PolygonCount() - 1; index >= 0; --index) {
    const T2DPolygon& polygon = mesh[mesh.Polygon(index)];
    if (polygon.IsWooded && polygon.Area >= limits.MinWoodedArea) continue;
    mesh.DeletePolygon(index);
  }
  mesh.Pack(0.0);
}

}  // namespace qv
