// The steps the upward join and the west border join share.
#include "calculation/Joins.h"
#include "geometry/PolygonMesh.h"

namespace qv {

bool CutHole(TRowPassContext& ctx, TPolygonId q, TEdgeId first, TPolygonId enclosed, int maxEdges) {
  T2DPolygonMesh& m = ctx.Mesh;
  const TRingId h = m.CreateRing();
  m[h].FirstEdge = first;
  m[h].IncidentFace = m[q].Face;
  m[h].EnclosedPolygon = enclosed;
  m.SetIncidentRing(first, h);
  const bool closed = m.RebuildRingFrom(h, first, maxEdges) != 0;
  m.SetOuterEdgeCount(q, m.OuterEdgeCount(q) - m[h].EdgeCount);
  const double area = -m.Area(h);  // a hole runs clockwise
  if (ctx.Limits.HoleIsKept(m[q].IsWooded, area)) {
    m.AddInnerRing(q, h);
    return closed;
  }
  m.DiscardRing(h);
  if (enclosed) m.MarkPolygonDeleted(enclosed);
  m[q].Area += area;
  return closed;
}

void Absorb(T2DPolygonMesh& m, TPolygonId p, TPolygonId q) {
  m[q].Area += m[p].Area;
  m.SetOuterEdgeCount(q, m.OuterEdgeCount(p) + m.OuterEdgeCount(q));
  for (int i = m.InnerRingCount(p) - 1; i >= 0; --i) m.AddInnerRing(q, m.ExtractInnerRing(p, i));
  m.MarkPolygonDeleted(p);
}

}  // namespace qv
