#include "calculation/MeshCompaction.h"

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "calculation/SmallAreaElimination.h"
#include "calculation/WoodedAreaCalculation.h"

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
TLiveLinks LiveLinks(TWoodedAreaCalculation& calc, std::int32_t row, std::int32_t column) {
  const std::int32_t rows = calc.Tiles.RowCount();
  const std::int32_t columns = calc.Tiles.ColumnCount();
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
      TTile& tile = calc.Tiles.Get(r, k);
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

}  // namespace

bool CompactMesh(TWoodedAreaCalculation& calc, std::int32_t row, std::int32_t column) {
  if (!calc.PolygonMesh || !calc.FinishedPolygons) return false;
  const T2DPolygonMesh& old = *calc.PolygonMesh;
  T2DFinishedPolygons& finished = *calc.FinishedPolygons;
  const TAreaLimits limits{calc.MinClearingArea, calc.MinWoodedArea};

  const TLiveLinks links = LiveLinks(calc, row, column);
  std::unordered_map<std::uint32_t, std::uint32_t> linkEdges;  // old edge -> new edge
  std::unordered_set<std::uint32_t> live;                      // old polygons the links reach
  for (const TNeighborPixel* link : links.Joined) {
    const T2DEdge& edge = old[link->Edge];
    const TPolygonId p = old.IncidentPolygon(link->Edge);
    if (edge.Deleted || !p || old[p].Deleted) return false;
    linkEdges.emplace(link->Edge.Index, 0);
    live.insert(p.Index);
  }
  // An enclosure link keeps its edge if that is copied; otherwise (its edge taken apart, or its
  // polygon gone) it is cleared, which the fill would have to know of, but never asks.
  for (const TNeighborPixel* link : links.Enclosure) linkEdges.emplace(link->Edge.Index, 0);

  const std::int64_t finishedBefore = finished.Count();
  auto fresh = std::make_unique<T2DPolygonMesh>();
  fresh->SetExactRingWalks(old.ExactRingWalks());
  std::unordered_map<std::uint32_t, TPolygonId> copies;  // old polygon -> its copy
  std::vector<std::pair<TRingId, TRingId>> holes;        // (old hole, new hole) of the copies
  const auto onEdge = [&](TEdgeId from, TEdgeId to) {
    const auto it = linkEdges.find(from.Index);
    if (it != linkEdges.end()) it->second = to.Index;
  };
  const auto abandon = [&] {
    finished.Truncate(finishedBefore);
    return false;
  };
  for (int i = 0; i < old.PolygonCount(); ++i) {
    const TPolygonId p = old.Polygon(i);
    const T2DPolygon& polygon = old[p];
    if (polygon.Deleted) continue;
    // A hole the fill would not keep sends it looking at other polygons: nothing may go then.
    if (polygon.IsWooded && !HolesDecided(old, p, limits)) return abandon();
    if (live.count(p.Index) == 0) {
      if (polygon.IsWooded && polygon.Area >= limits.MinWoodedArea) {
        finished.Capture(old, p);
      }
      continue;
    }
    const TPolygonId copy = fresh->CopyPolygon(old, p, polygon.IsWooded, onEdge);
    if (!copy) return abandon();
    copies.emplace(p.Index, copy);
    for (int h = 0; h < fresh->InnerRingCount(copy); ++h) {
      holes.emplace_back(old.InnerRing(p, h), fresh->InnerRing(copy, h));
    }
  }
  for (const auto& [from, to] : holes) {
    const TPolygonId enclosed = old[from].EnclosedPolygon;
    const auto it = enclosed ? copies.find(enclosed.Index) : copies.end();
    (*fresh)[to].EnclosedPolygon = it != copies.end() ? it->second : TPolygonId{};
  }
  for (const TNeighborPixel* link : links.Joined) {
    // A link to an edge outside every ring copied.
    if (linkEdges[link->Edge.Index] == 0) return abandon();
  }
  for (TNeighborPixel* link : links.Joined) link->Edge = TEdgeId(linkEdges[link->Edge.Index]);
  for (TNeighborPixel* link : links.Enclosure) link->Edge = TEdgeId(linkEdges[link->Edge.Index]);
  fresh->ContinueSequence(old.NextSequence());
  calc.PolygonMesh = std::move(fresh);
  return true;
}

}  // namespace qv
