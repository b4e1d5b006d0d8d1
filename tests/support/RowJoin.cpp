#include "RowJoin.h"

#include <algorithm>
#include <cmath>

namespace qv::test {

TRowJoiner::TRowJoiner(T2DPolygonMesh& mesh, int width, TRowJoinLimits limits)
    : mesh_(mesh), limits_(limits), columnLinks_(static_cast<std::size_t>(width)) {}

TPolygonId TRowJoiner::PolygonAt(int col, int row) const {
  TPolygonId p = runs_.at(static_cast<std::size_t>(row)).at(static_cast<std::size_t>(col));
  for (auto it = absorbedInto_.find(p.Index); it != absorbedInto_.end();
       it = absorbedInto_.find(p.Index)) {
    p = it->second;
  }
  return p;
}

void TRowJoiner::AddRow(const std::vector<bool>& wooded) {
  const int width = static_cast<int>(wooded.size());
  runs_.emplace_back(wooded.size());
  int start = 0;
  for (int c = 1; c <= width; ++c) {
    if (c == width || wooded[c] != wooded[start]) {
      CloseRun(start, c - 1, wooded[start]);
      start = c;
    }
  }
  y_ -= 1.0;
}

void TRowJoiner::CloseRun(int first, int last, bool wooded) {
  TPolygonId p = mesh_.AddPolygon();
  for (int c = first; c <= last; ++c) runs_.back()[static_cast<std::size_t>(c)] = p;
  mesh_[p].IsWooded = wooded;
  const double xl = first - 0.5;
  const double xr = last + 0.5;
  mesh_.StartRing(p, xl, y_ + 0.5, xl, y_ - 0.5);
  const TEdgeId bottom = mesh_.InsertPointAfter(mesh_.FirstEdge(p), xr, y_ - 0.5);
  const TEdgeId right = mesh_.InsertPointAfter(bottom, xr, y_ + 0.5);
  TEdgeId topEdge = mesh_[right].Next;
  mesh_.SetArea(p, last - first + 1);
  for (int j = first; j <= last; ++j) {
    const TEdgeId edgeQ = columnLinks_[static_cast<std::size_t>(j)];
    const TPolygonId q = mesh_.IncidentPolygon(edgeQ);
    const TPolygonId leftAbove =
        j > 0 ? mesh_.IncidentPolygon(columnLinks_[static_cast<std::size_t>(j - 1)]) : TPolygonId{};
    if (!q || mesh_[q].IsWooded != mesh_[p].IsWooded) continue;
    const double endX = mesh_[mesh_[edgeQ].Destination].X();
    const int nextJ = std::max(static_cast<int>(std::lround(endX - 0.5)), j);
    Join(p, q, edgeQ, topEdge, leftAbove);
    j = nextJ;
    if (p != q) {
      mesh_.MarkPolygonDeleted(p);
      absorbedInto_[p.Index] = q;
      p = q;
    }
  }
  for (int k = first; k <= last; ++k) columnLinks_[static_cast<std::size_t>(k)] = bottom;
}

void TRowJoiner::Join(TPolygonId& p, TPolygonId q, TEdgeId edgeQ, TEdgeId& topEdge,
                      TPolygonId leftAbove) {
  T2DPolygonMesh& m = mesh_;
  const TEdgeId t = topEdge, s = m[t].Prev, b = m[s].Prev, w = m[b].Prev;
  const TVertexId tr = m[t].Origin, br = m[s].Origin, bl = m[b].Origin, wo = m[w].Origin;
  const TEdgeId eqp = m[edgeQ].Prev, eqn = m[edgeQ].Next;
  const TVertexId qs = m[edgeQ].Origin, qe = m[eqn].Origin;

  if (p != q) m.ResetIncidentRing(t, m.IncidentRing(edgeQ));
  if (tr == qe) {
    m.LinkThrough(b, br, eqn);
    m.MarkEdgeDeleted(p, edgeQ);
    m.MarkEdgeDeleted(p, s);
    topEdge = eqn;
  } else {
    m.LinkThrough(s, tr, edgeQ);
    topEdge = edgeQ;
  }
  if (wo == qs) {
    m.LinkThrough(eqp, bl, b);
    m.MarkEdgeDeleted(p, t);
    m.MarkEdgeDeleted(p, w);
  } else {
    m.LinkThrough(eqp, qs, t);
  }
  m.SetFirstEdge(q, topEdge);
  if (p == q) {
    CutHole(q, t, leftAbove);
    return;
  }
  m[q].Area += m[p].Area;
  m.SetOuterEdgeCount(q, m.OuterEdgeCount(p) + m.OuterEdgeCount(q));
  for (int i = m.InnerRingCount(p) - 1; i >= 0; --i) m.AddInnerRing(q, m.ExtractInnerRing(p, i));
}

void TRowJoiner::CutHole(TPolygonId q, TEdgeId t, TPolygonId leftAbove) {
  T2DPolygonMesh& m = mesh_;
  const TRingId h = m.CreateRing();
  m[h].FirstEdge = t;
  m[h].IncidentFace = m[q].Face;
  m[h].EnclosedPolygon = leftAbove;
  m.SetIncidentRing(t, h);
  if (m.RebuildRingFrom(h, t, m.EdgeCount()) == 0) ++rebuildFailures_;
  m.SetOuterEdgeCount(q, m.OuterEdgeCount(q) - m[h].EdgeCount);
  const double a = -m.Area(h);
  const bool keep = m[q].IsWooded ? a >= limits_.MinClearingArea : a >= limits_.MinWoodedArea;
  if (keep) {
    m.AddInnerRing(q, h);
    return;
  }
  m.DiscardRing(h);
  if (leftAbove) m.MarkPolygonDeleted(leftAbove);
  m[q].Area += a;
}

}  // namespace qv::test
