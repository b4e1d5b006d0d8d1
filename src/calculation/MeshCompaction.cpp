#include "calculation/MeshCompaction.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include "calculation/SmallAreaElimination.h"
#include "calculation/WoodedAreaCalculation.h"
#include "shapefile/MeshRecords.h"

namespace qv {

namespace {

// Every seam link a later tile may follow.
std::vector<TNeighborPixel*> LiveLinks(TWoodedAreaCalculation& calc) {
  std::vector<TNeighborPixel*> links;
  for (std::int32_t r = 0; r < calc.Tiles.RowCount(); ++r) {
    for (std::int32_t k = 0; k < calc.Tiles.ColumnCount(); ++k) {
      TTile& tile = calc.Tiles.Get(r, k);
      if (!tile.HasBuffers()) continue;
      for (TNeighborPixel& link : tile.ColumnLinks()) {
        if (link.Edge) links.push_back(&link);
      }
      for (TNeighborPixel& link : tile.RowLinks()) {
        if (link.Edge) links.push_back(&link);
      }
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

bool CompactMesh(TWoodedAreaCalculation& calc) {
  if (!calc.PolygonMesh || !calc.FinishedPolygons) return false;
  const T2DPolygonMesh& old = *calc.PolygonMesh;
  T2DFinishedPolygons& finished = *calc.FinishedPolygons;
  const TAreaLimits limits{calc.MinClearingArea, calc.MinWoodedArea};

  const std::vector<TNeighborPixel*> links = LiveLinks(calc);
  std::unordered_map<std::uint32_t, std::uint32_t> linkEdges;  // old edge -> new edge
  std::unordered_map<std::uint32_t, bool> live;                // old polygon -> (unused)
  for (const TNeighborPixel* link : links) {
    const T2DEdge& edge = old[link->Edge];
    const TPolygonId p = old.IncidentPolygon(link->Edge);
    if (edge.Deleted || !p || old[p].Deleted) return false;
    linkEdges.emplace(link->Edge.Index, 0);
    live.emplace(p.Index, true);
  }

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
        TMeshRecords::Capture(old, p, finished);
      }
      continue;
    }
    const TPolygonId copy = fresh->CopyPolygon(old, p, onEdge);
    if (!copy) return abandon();
    copies.emplace(p.Index, copy);
    for (int h = 0; h < old.InnerRingCount(p); ++h) {
      holes.emplace_back(old.InnerRing(p, h), fresh->InnerRing(copy, h));
    }
  }
  for (const auto& [from, to] : holes) {
    const TPolygonId enclosed = old[from].EnclosedPolygon;
    const auto it = enclosed ? copies.find(enclosed.Index) : copies.end();
    (*fresh)[to].EnclosedPolygon = it != copies.end() ? it->second : TPolygonId{};
  }
  for (const auto& [from, to] : linkEdges) {
    if (to == 0) return abandon();  // a link to an edge outside every ring copied
  }
  for (TNeighborPixel* link : links) link->Edge = TEdgeId(linkEdges[link->Edge.Index]);
  fresh->ContinueSequence(old.NextSequence());
  calc.PolygonMesh = std::move(fresh);
  return true;
}

}  // namespace qv
