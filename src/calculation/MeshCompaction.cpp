#include "calculation/MeshCompaction.h"

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace qv {

namespace {

struct TLiveLinks {
  std::vector<TNeighborPixel*> Joined;  // followed by joins: their polygons are live
  // The last row link of a tile whose lower-right neighbour is to come, and no other: that
  // neighbour reads it only for the polygon inside a hole it closes (EnclosedPolygon).
  std::vector<TNeighborPixel*> Enclosure;
};

// Every seam link a tile after (row, column) will follow: the column links of a tile whose
// lower neighbour is still to come, the row links of one whose right neighbour is, and the
// last row link of one whose lower-right neighbour is. Links no tile will read again are
// cleared: they name edges that joins have since taken apart.
TLiveLinks LiveLinks(TTiles& tiles, std::int32_t row, std::int32_t column) {
  const std::int32_t rows = tiles.RowCount();
  const std::int32_t columns = tiles.ColumnCount();
  const auto toCome = [&](std::int32_t r, std::int32_t k) {
    return r < rows && k < columns && (r > row || (r == row && k > column));
  };
  TLiveLinks links;
  const auto keep = [&](std::span<TNeighborPixel> span, bool live,
                        std::vector<TNeighborPixel*>& into) {
    for (TNeighborPixel& link : span) {
      if (!live) link.Edge = {};
      if (link.Edge) into.push_back(&link);
    }
  };
  for (std::int32_t r = 0; r < rows; ++r) {
    for (std::int32_t k = 0; k < columns; ++k) {
      TTile& tile = tiles.Get(r, k);
      if (!tile.HasBuffers()) continue;
      keep(tile.ColumnLinks(), toCome(r + 1, k), links.Joined);
      const auto rowLinks = tile.RowLinks();
      const bool right = toCome(r, k + 1);
      keep(rowLinks.first(rowLinks.size() - 1), right, links.Joined);
      keep(rowLinks.last(1), right || toCome(r + 1, k + 1), right ? links.Joined : links.Enclosure);
    }
  }
  return links;
}

// Whether the clearing fill would keep every hole of the wooded polygon p.
bool HolesDecided(const T2DPolygonMesh& mesh, TPolygonId p, const TAreaLimits& limits) {
  const int holes = mesh.InnerRingCount(p);
  for (int h = 0; h < holes; ++h) {
    if (!limits.HoleIsKept(true, -mesh.Area(mesh.InnerRing(p, h)))) return false;
  }
  return true;
}

// One compaction: the old mesh read, the finished polygons added to, a fresh mesh built. Each
// step returns false where the mesh is not as expected; the caller then undoes what it added.
class TCompaction {
 public:
  TCompaction(const T2DPolygonMesh& old, T2DFinishedPolygons& finished, const TAreaLimits& limits)
      : old_(old), finished_(finished), limits_(limits) {}

  bool MarkLive(const TLiveLinks& links);
  bool SortOut();
  void NameEnclosedCopies();
  bool MoveLinks(const TLiveLinks& links);
  std::unique_ptr<T2DPolygonMesh> TakeFresh() { return std::move(fresh_); }

 private:
  const T2DPolygonMesh& old_;
  T2DFinishedPolygons& finished_;
  const TAreaLimits& limits_;
  std::unordered_map<std::uint32_t, std::uint32_t> linkEdges_;  // old edge -> new edge
  std::unordered_set<std::uint32_t> live_;                      // old polygons the links reach
  std::unique_ptr<T2DPolygonMesh> fresh_ = std::make_unique<T2DPolygonMesh>();
  std::unordered_map<std::uint32_t, TPolygonId> copies_;  // old polygon -> its copy
  std::vector<std::pair<TRingId, TRingId>> holes_;        // (old hole, new hole) of the copies
};

// The polygons the joined links reach are live; false when a link names a flagged edge or one
// whose polygon is missing or flagged.
bool TCompaction::MarkLive(const TLiveLinks& links) {
  for (const TNeighborPixel* link : links.Joined) {
    const T2DEdge& edge = old_[link->Edge];
    const TPolygonId p = old_.IncidentPolygon(link->Edge);
    if (edge.Deleted || !p || old_[p].Deleted) return false;
    linkEdges_.emplace(link->Edge.Index, 0);
    live_.insert(p.Index);
  }
  // An enclosure link keeps its edge if that is copied; otherwise (its edge taken apart, or its
  // polygon gone) it is cleared, which the fill would have to know of, but never asks.
  for (const TNeighborPixel* link : links.Enclosure) linkEdges_.emplace(link->Edge.Index, 0);
  return true;
}

// In list order: a live polygon is copied, a final one is captured or dropped as elimination
// would decide it.
bool TCompaction::SortOut() {
  fresh_->SetExactRingWalks(old_.ExactRingWalks());
  const auto onEdge = [&](TEdgeId from, TEdgeId to) {
    const auto it = linkEdges_.find(from.Index);
    if (it != linkEdges_.end()) it->second = to.Index;
  };
  for (int i = 0; i < old_.PolygonCount(); ++i) {
    const TPolygonId p = old_.Polygon(i);
    const T2DPolygon& polygon = old_[p];
    if (polygon.Deleted) continue;
    // A hole the fill would not keep sends it looking at other polygons: nothing may go then.
    if (polygon.IsWooded && !HolesDecided(old_, p, limits_)) return false;
    if (live_.count(p.Index) == 0) {
      if (polygon.IsWooded && polygon.Area >= limits_.MinWoodedArea) finished_.Capture(old_, p);
      continue;
    }
    const TPolygonId copy = fresh_->CopyPolygon(old_, p, polygon.IsWooded, onEdge);
    if (!copy) return false;
    copies_.emplace(p.Index, copy);
    for (int h = 0; h < fresh_->InnerRingCount(copy); ++h) {
      holes_.emplace_back(old_.InnerRing(p, h), fresh_->InnerRing(copy, h));
    }
  }
  fresh_->ContinueSequence(old_.NextSequence());
  return true;
}

// A copied hole names the copy of the polygon inside it, or none when that did not stay.
void TCompaction::NameEnclosedCopies() {
  for (const auto& [from, to] : holes_) {
    const TPolygonId enclosed = old_[from].EnclosedPolygon;
    const auto it = enclosed ? copies_.find(enclosed.Index) : copies_.end();
    (*fresh_)[to].EnclosedPolygon = it != copies_.end() ? it->second : TPolygonId{};
  }
}

// The links onto the copies of their edges; false, before any link changes, when a joined link
// names an edge outside every ring copied.
bool TCompaction::MoveLinks(const TLiveLinks& links) {
  for (const TNeighborPixel* link : links.Joined) {
    if (linkEdges_[link->Edge.Index] == 0) return false;
  }
  for (TNeighborPixel* link : links.Joined) link->Edge = TEdgeId(linkEdges_[link->Edge.Index]);
  for (TNeighborPixel* link : links.Enclosure) link->Edge = TEdgeId(linkEdges_[link->Edge.Index]);
  return true;
}

}  // namespace

bool CompactMesh(TTiles& tiles, TRunState& state, const TAreaLimits& limits, std::int32_t row,
                 std::int32_t column) {
  if (!state.Running()) return false;
  T2DFinishedPolygons& finished = *state.FinishedPolygons;
  const std::int64_t finishedBefore = finished.Count();
  const TLiveLinks links = LiveLinks(tiles, row, column);
  TCompaction compaction(*state.PolygonMesh, finished, limits);
  if (!compaction.MarkLive(links)) return false;
  if (!compaction.SortOut()) {
    finished.Truncate(finishedBefore);
    return false;
  }
  compaction.NameEnclosedCopies();
  if (!compaction.MoveLinks(links)) {
    finished.Truncate(finishedBefore);
    return false;
  }
  state.PolygonMesh = compaction.TakeFresh();
  return true;
}

}  // namespace qv
