// CloseRectangle and JoinPolygons: a run becomes a rectangle and is joined with the polygons
// above it.
//
// THE PICTURE. The row above is described by ColumnLinks: each of its runs left one bottom edge
// running east along the line y + 0.5, which is the top line of the run being closed. The
// rectangle's top T runs west along the same line. Joining a polygon Q above means splicing the
// two boundaries where they overlap on that line: the piece of the line they share disappears,
// and at each end either the two corners coincide (then the edges meeting there are merged and
// two edges leave the ring) or one boundary continues past the other (then an edge is cut short
// to the corner). Joins go west to east; after each, TopEdge is the rectangle's edge along the
// line east of the join, where the next join can start, and the loop jumps past the columns
// under the joined bottom edge, so each bottom edge above is joined once.
//
// A second join of the run with the polygon it already joined splits that polygon's outer cycle
// in two at the top line: the part between the two joins runs clockwise around the pixels above
// the run that the polygon now encloses, and becomes a hole or is filled (CutHole). The
// invariants every join keeps are told in RowPass.h.
//
// MISSING LINKS. The names of the edges and corners around a join are taken before anything is
// relinked. When one of them cannot be taken because a link is nil, or a step would have to
// follow a nil link, relinking stops at that point and the join goes on with its bookkeeping
// (first edge, area, edge count, holes). A consistent mesh never gets there.
#include <algorithm>
#include <exception>
#include <new>
#include <optional>

#include "calculation/Joins.h"
#include "calculation/RowGeometry.h"
#include "calculation/RowPass.h"
#include "calculation/Tile.h"
#include "geometry/PolygonMesh.h"
#include "platform/Format.h"
#include "platform/Platform.h"

namespace qv {

namespace {

// The edges and corners around a join, named as the join starts.
struct TJoinNames {
  TEdgeId T, S, B, W;        // run's top, right side, bottom, and the edge before the bottom
  TVertexId TR, BR, BL, WO;  // their origins
  TEdgeId EQp, EQn;          // around Q's bottom edge
  TVertexId QS, QE;          // start and end of Q's bottom edge
};

std::optional<TJoinNames> NameJoin(const T2DPolygonMesh& m, TEdgeId topEdge, TEdgeId edgeQ) {
  if (!topEdge || !edgeQ) return std::nullopt;
  TJoinNames n;
  n.T = topEdge;
  n.S = m[n.T].Prev;
  if (!n.S) return std::nullopt;
  n.B = m[n.S].Prev;
  if (!n.B) return std::nullopt;
  n.W = m[n.B].Prev;
  n.EQn = m[edgeQ].Next;
  if (!n.W || !n.EQn) return std::nullopt;
  n.EQp = m[edgeQ].Prev;  // followed only in the last step, which checks it
  n.TR = m[n.T].Origin;
  n.BR = m[n.S].Origin;
  n.BL = m[n.B].Origin;
  n.WO = m[n.W].Origin;
  n.QS = m[edgeQ].Origin;
  n.QE = m[n.EQn].Origin;
  if (!n.TR || !n.BR || !n.BL || !n.WO || !n.QS || !n.QE) return std::nullopt;
  return n;
}

// Steps 1 to 3 of a join: P's edges into Q's ring, then the right and the left end.
void Relink(T2DPolygonMesh& m, TPolygonId p, TPolygonId q, TEdgeId edgeQ, TEdgeId& topEdge) {
  const auto n = NameJoin(m, topEdge, edgeQ);
  if (!n) return;
  if (p != q) m.ResetIncidentRing(n->T, m.IncidentRing(edgeQ));
  if (n->TR == n->QE) {
    // The run ends where Q's bottom ends: the bottom leads straight into Q's rising side.
    m.LinkThrough(n->B, n->BR, n->EQn);
    m.MarkEdgeDeleted(p, edgeQ);
    m.MarkEdgeDeleted(p, n->S);
    topEdge = n->EQn;
  } else {
    // EdgeQ keeps whatever of the line lies east of TR.
    m.LinkThrough(n->S, n->TR, edgeQ);
    topEdge = edgeQ;
  }
  if (!n->EQp) return;
  if (n->WO == n->QS) {
    // The run starts where Q's bottom starts: Q's descending side runs on down to BL.
    m.LinkThrough(n->EQp, n->BL, n->B);
    m.MarkEdgeDeleted(p, n->T);
    m.MarkEdgeDeleted(p, n->W);
  } else {
    // T keeps whatever of the line lies west of the run, or between Q and the previous join.
    m.LinkThrough(n->EQp, n->QS, n->T);
  }
}

// The ring position of the last pixel under a bottom edge: its destination lies on that pixel's
// right side. Never before j, so the walk always moves on.
int LastColumnUnder(const T2DPolygonMesh& m, const TTile& tile, TEdgeId edgeQ, int j, int end) {
  const TVertexId d = m[edgeQ].Destination;
  if (!d) return j;
  const std::int64_t k = PositionEndingAt(tile, m[d].X());
  return static_cast<int>(std::clamp<std::int64_t>(k, j, std::max(j, end)));
}

// The polygon above a column. Neighbouring columns mostly share one bottom edge above, and a
// column's left neighbour is the column looked at before: the polygon found for the last edge
// is remembered until the next join changes the rings (Forget).
class TPolygonsAbove {
 public:
  explicit TPolygonsAbove(const T2DPolygonMesh& m) : m_(m) {}
  TPolygonId Of(TEdgeId edge) {
    if (!known_ || edge != edge_) {
      edge_ = edge;
      polygon_ = m_.IncidentPolygon(edge);
      known_ = true;
    }
    return polygon_;
  }
  void Forget() { known_ = false; }

 private:
  const T2DPolygonMesh& m_;
  TEdgeId edge_;
  TPolygonId polygon_;
  bool known_ = false;
};

// Step 4 of CloseRectangle: the joins of the rectangle with the polygons above, west to east.
// False when the mesh around them is damaged: a column link whose ring leads to no polygon (the
// column then makes no join) or a hole whose ring does not close; the joins go on regardless.
bool JoinUpwards(TRowPassContext& ctx, TTile& tile, const TRowState& state, TPolygonId& p,
                 TEdgeId& topEdge, TEdgeId& bottomEdge, int end) {
  T2DPolygonMesh& m = ctx.Mesh;
  const auto links = tile.ColumnLinks();
  TPolygonsAbove above(m);
  bool sound = true;
  bool joined = false;
  for (int j = state.RunStartCol; j < end; ++j) {
    const TEdgeId edgeQ = links[static_cast<std::size_t>(j)].Edge;
    const TPolygonId leftAbove =
        j > 0 ? above.Of(links[static_cast<std::size_t>(j - 1)].Edge) : TPolygonId{};
    const TPolygonId q = above.Of(edgeQ);
    if (j == FirstBorderPosition && tile.LeftNeighbor != nullptr) {
      JoinAtLeftBorder(ctx, p, topEdge, LeftBorderLinks(tile, state.Row), edgeQ, bottomEdge,
                       joined);
      above.Forget();
    }
    if (edgeQ && !q) {
      sound = false;
      continue;
    }
    if (!q || m[q].IsWooded != m[p].IsWooded) continue;
    const int nextJ = LastColumnUnder(m, tile, edgeQ, j, end);
    above.Forget();
    if (!joined) sound &= JoinPolygons(ctx, p, q, edgeQ, topEdge, leftAbove);
    j = nextJ;
    joined = false;
  }
  return sound;
}

enum class TClosing { Closed, ClosedInDamagedMesh, NotClosed };

// Steps 1 to 8 of CloseRectangle.
TClosing CloseRun(TRowPassContext& ctx, TTile& tile, TRowState& state, bool newClass, bool isLast,
                  int col) {
  T2DPolygonMesh& m = ctx.Mesh;
  if (m.PolygonCount() == 0) return TClosing::NotClosed;
  TPolygonId p = m.Polygon(m.PolygonCount() - 1);
  const double xr = PixelCenterX(tile, col) + (isLast ? HalfPixel : -HalfPixel);
  const TEdgeId bottom = m.InsertPointAfter(m.FirstEdge(p), xr, state.Y - HalfPixel);
  const TEdgeId right = bottom ? m.InsertPointAfter(bottom, xr, state.Y + HalfPixel) : TEdgeId{};
  if (!right) return TClosing::NotClosed;
  TEdgeId topEdge = m[right].Next;
  TEdgeId bottomEdge = bottom;
  const int end = isLast ? col + 1 : col;
  m.SetArea(p, end - state.RunStartCol);

  const bool sound = JoinUpwards(ctx, tile, state, p, topEdge, bottomEdge, end);

  const auto links = tile.ColumnLinks();
  for (int k = state.RunStartCol; k < end; ++k)
    links[static_cast<std::size_t>(k)].Edge = bottomEdge;
  state.RunOpen = false;
  if (isLast) {
    tile.RowLinks()[static_cast<std::size_t>(state.Row)].Edge =
        bottomEdge ? m[bottomEdge].Next : TEdgeId{};
  } else {
    OpenRun(m, tile, state, col, newClass);
  }
  return sound ? TClosing::Closed : TClosing::ClosedInDamagedMesh;
}

}  // namespace

bool CloseRectangle(TRowPassContext& ctx, TTile& tile, TRowState& state, bool newClass,
                    bool isLast, int col) {
  TClosing closing = TClosing::NotClosed;
  try {
    closing = CloseRun(ctx, tile, state, newClass, isLast, col);
  } catch (const std::bad_alloc&) {
    // Not a fault of this rectangle: the run as a whole cannot go on, and says so.
    throw;
  } catch (const std::exception&) {
    closing = TClosing::NotClosed;
  }
  // The one report of a fault here, whether or not the rectangle could be completed: the row
  // pass and the tile pass only pass the failure on.
  if (closing != TClosing::Closed) {
    Platform().Beep();
    Platform().ShowMessage(
        Format("Error in CloseRectangle, tile %d row %d, col %d",
               {std::int64_t{tile.TileNumber}, std::int64_t{state.Row}, std::int64_t{col}}));
  }
  return closing != TClosing::NotClosed;
}

bool JoinPolygons(TRowPassContext& ctx, TPolygonId& p, TPolygonId q, TEdgeId edgeQ,
                  TEdgeId& topEdge, TPolygonId leftAbove) {
  T2DPolygonMesh& m = ctx.Mesh;
  const TEdgeId t = topEdge;
  Relink(m, p, q, edgeQ, topEdge);
  m.SetFirstEdge(q, topEdge);
  if (p != q) {
    Absorb(m, p, q);
    p = q;
    return true;
  }
  // The run had been joined to Q before: T now bounds the pixels between the two joins.
  return CutHole(ctx, q, t, leftAbove, m.EdgeCount());
}

}  // namespace qv
