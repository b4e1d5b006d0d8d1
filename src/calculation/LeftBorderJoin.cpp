// JoinAtLeftBorder: regions that cross a tile's west border become one polygon.
//
// THE PICTURE. A tile with a left neighbour builds from FirstBorderPosition (ring position 2) on,
// whose left side lies on the line where the left tile stopped (its LastBuiltPosition); both
// tiles number rows alike.
// For every row the left tile left RowLinks[row] = LE: the edge that rises on that line after
// the bottom of its last run of the row. By the time the right tile builds the row, LE may have
// been stretched down by the left tile's later rows (its origin LEo below this row's bottom BL)
// and cut short at its top by this tile's previous row (its destination LEd at this row's top TL
// or higher). The fresh rectangle P = TL -> BL -> BR -> TR of the run starting there is spliced
// into the boundary of QL, the polygon of LE, along the piece of the line they share:
// - at the bottom-left corner, LE either ends exactly at BL (then LE and P's bottom leave the
//   ring and LE's predecessor runs on east to BR) or comes from further down (then it is cut
//   short at BL and leads into P's bottom);
// - at the top-left corner, LE either ends exactly at TL (then P's top and left side leave the
//   ring and QL's edge leaving TL westwards starts at TR instead) or goes on upwards (then P's
//   left side is reused for the part of LE above TL).
// The survivor is QL, and P's bottom (or LE's predecessor) is the bottom edge recorded for the
// run's columns.
//
// CLOSURE. When the polygon above P (through the column link EQ at that position) is QL as well,
// filling P's place closes QL around the corner TL: unless QL's boundary already turns from LE
// straight into EQ there, the boundary is split at TL into an outer cycle through LE and EQ and
// an inner cycle through EQ's predecessor and LE's successor, which runs clockwise around the
// region north-west of TL. That inner cycle is a hole (kept or filled by the limits, its enclosed
// polygon the one of the previous row's record LD), and P is then spliced in on both sides. The
// caller makes no further join at that position.
//
// Every link is checked before anything is relinked. A missing one (which a consistent mesh
// never has) leaves P on its own: no join across the border for this run. The invariants every
// join keeps are told in RowPass.h.
#include <optional>

#include "calculation/Joins.h"
#include "calculation/Tile.h"
#include "geometry/PolygonMesh.h"

namespace qv {

namespace {

struct TBorderNames {
  TEdgeId T, S, B, W;  // the fresh rectangle: top, right side, bottom, left side
  TVertexId TL, BL, BR, TR;
  TEdgeId LE, LEp, LEn;  // the rising border edge of the left tile and its neighbours
  TVertexId LEo, LEd;
  TEdgeId EQ, EQp, EQn;  // the bottom edge above P (closure only)
  TVertexId EQd;
};

std::optional<TBorderNames> NameBorder(const T2DPolygonMesh& m, TEdgeId topEdge, TEdgeId bottomEdge,
                                       TEdgeId le, TEdgeId eq) {
  if (!topEdge || !bottomEdge || !le) return std::nullopt;
  TBorderNames n;
  n.T = topEdge;
  n.B = bottomEdge;
  n.S = m[n.B].Next;
  n.W = m[n.T].Next;
  // Only a fresh rectangle is ever joined here.
  if (!n.S || !n.W || m[n.S].Next != n.T || m[n.W].Next != n.B) return std::nullopt;
  n.TL = m[n.W].Origin;
  n.BL = m[n.B].Origin;
  n.BR = m[n.S].Origin;
  n.TR = m[n.T].Origin;
  n.LE = le;
  n.LEp = m[le].Prev;
  n.LEn = m[le].Next;
  n.LEo = m[le].Origin;
  n.LEd = m[le].Destination;
  if (!n.LEp || !n.LEn || !n.LEo || !n.LEd) return std::nullopt;
  if (eq) {
    n.EQ = eq;
    n.EQp = m[eq].Prev;
    n.EQn = m[eq].Next;
    n.EQd = m[eq].Destination;
    if (!n.EQp || !n.EQn || !n.EQd) return std::nullopt;
  }
  return n;
}

// The bottom-left corner, the same with and without closure.
void JoinBottomLeft(T2DPolygonMesh& m, const TBorderNames& n, TPolygonId p, TPolygonId ql,
                    TEdgeId& bottomEdge) {
  if (n.LEo == n.BL) {
    m.LinkThrough(n.LEp, n.BR, n.S);
    m.MarkEdgeDeleted(ql, n.LE);
    m.MarkEdgeDeleted(p, n.B);
    bottomEdge = n.LEp;
  } else {
    m.LinkThrough(n.LE, n.BL, n.B);
  }
}

void JoinWithoutClosure(T2DPolygonMesh& m, const TBorderNames& n, TPolygonId p, TPolygonId ql,
                        TEdgeId& topEdge, TEdgeId& bottomEdge) {
  m.ResetIncidentRing(n.T, m.IncidentRing(n.LE));
  JoinBottomLeft(m, n, p, ql, bottomEdge);
  if (n.LEd == n.TL) {
    m.LinkThrough(n.S, n.TR, n.LEn);
    m.MarkEdgeDeleted(p, n.T);
    m.MarkEdgeDeleted(p, n.W);
    topEdge = n.LEn;
  } else {
    m.LinkThrough(n.W, n.LEd, n.LEn);
  }
  m.SetFirstEdge(ql, topEdge);
}

void JoinWithClosure(TRowPassContext& ctx, const TBorderNames& n, TPolygonId p, TPolygonId ql,
                     TPolygonId qa, TPolygonId qd, TEdgeId& topEdge, TEdgeId& bottomEdge) {
  T2DPolygonMesh& m = ctx.Mesh;
  if (n.LEn != n.EQ) {
    // Split QL's boundary at TL: the cycle around the region north-west of TL becomes a hole, or
    // is filled. A cycle that cannot be walked closed leaves the hole without edges.
    m.LinkThrough(n.LE, n.TR, n.EQ);
    m.LinkThrough(n.EQp, n.TL, n.LEn);
    CutHole(ctx, ql, n.LEn, qd, m.OuterEdgeCount(ql));
    m.SetFirstEdge(ql, n.LE);
  }
  const TRingId outer = m.IncidentRing(n.LE);
  m.ResetIncidentRing(n.T, outer);
  m.ResetIncidentRing(n.EQ, outer);
  JoinBottomLeft(m, n, p, ql, bottomEdge);
  const TEdgeId v = m[n.S].Prev;  // B, or LE's predecessor stretched to BR
  if (n.TR == n.EQd) {
    m.LinkThrough(v, n.BR, n.EQn);
    m.MarkEdgeDeleted(p, n.S);
    m.MarkEdgeDeleted(qa, n.EQ);
    topEdge = v;
  } else {
    m.LinkThrough(n.S, n.TR, n.EQ);
    topEdge = n.EQ;
  }
  m.MarkEdgeDeleted(p, n.T);
  m.MarkEdgeDeleted(p, n.W);
  m.SetFirstEdge(ql, n.LEp);
}

}  // namespace

TLeftBorderLinks LeftBorderLinks(TTile& tile, int row) {
  TLeftBorderLinks links;
  if (row < 0 || row >= TTile::TileRowCount) return links;
  TTile* left = tile.LeftNeighbor;
  if (left != nullptr && left->HasBuffers()) {
    const auto records = left->RowLinks();
    links.LE = records[static_cast<std::size_t>(row)].Edge;
    if (row > 0) links.LD = records[static_cast<std::size_t>(row - 1)].Edge;
  }
  if (row == 0 && tile.TopNeighbor != nullptr) {
    // The row before a tile's first row lies in the tile above; its record in the tile to the
    // left of that one.
    TTile* aboveLeft = tile.TopNeighbor->LeftNeighbor;
    if (aboveLeft != nullptr && aboveLeft->HasBuffers()) {
      links.LD = aboveLeft->RowLinks()[TTile::TileRowCount - 1].Edge;
    }
  }
  return links;
}

void JoinAtLeftBorder(TRowPassContext& ctx, TPolygonId& p, TEdgeId& topEdge,
                      const TLeftBorderLinks& links, TEdgeId eq, TEdgeId& bottomEdge,
                      bool& joined) {
  joined = false;
  T2DPolygonMesh& m = ctx.Mesh;
  const TPolygonId ql = m.IncidentPolygon(links.LE);
  if (!ql || m[ql].IsWooded != m[p].IsWooded) return;
  const TPolygonId qa = m.IncidentPolygon(eq);
  const bool closure = qa && qa == ql && m[qa].IsWooded == m[p].IsWooded;
  const auto names = NameBorder(m, topEdge, bottomEdge, links.LE, closure ? eq : TEdgeId{});
  if (!names) return;
  joined = closure;
  if (closure) {
    JoinWithClosure(ctx, *names, p, ql, qa, m.IncidentPolygon(links.LD), topEdge, bottomEdge);
  } else {
    JoinWithoutClosure(m, *names, p, ql, topEdge, bottomEdge);
  }
  Absorb(m, p, ql);
  p = ql;
}

}  // namespace qv
