// The joins of the row pass: a closed run's rectangle spliced into the polygons above it
// (RectangleJoin.cpp) and into the left tile's polygon of the same row (LeftBorderJoin.cpp),
// with the two steps they share (JoinSteps.cpp): cutting off a hole and absorbing a polygon.
// The state they work on and the invariants every join keeps are told in RowPass.h.
#pragma once

#include "calculation/RowPassContext.h"
#include "geometry/Ids.h"

namespace qv {

class TTile;

// Joins the run's polygon p (a fresh rectangle, or grown by earlier joins of this run) with the
// polygon q above along q's bottom edge edgeQ. topEdge is p's edge along the run's top line where
// the next join can begin; it is moved on. Afterwards p is q, which holds the run. When p was q
// already, the join closes a loop and cuts a hole whose enclosed polygon is leftAbove; false
// when that hole's ring does not close (a damaged mesh), which the caller reports.
bool JoinPolygons(TRowPassContext& ctx, TPolygonId& p, TPolygonId q, TEdgeId edgeQ,
                  TEdgeId& topEdge, TPolygonId leftAbove);

// The edges the west border join reads from the left tile for a row: LE, the edge after the
// bottom of the left tile's last run in the same row, and LD, the same record one row earlier.
struct TLeftBorderLinks {
  TEdgeId LE;
  TEdgeId LD;
};
TLeftBorderLinks LeftBorderLinks(TTile& tile, int row);

// Joins a fresh rectangle p that starts at FirstBorderPosition with the polygon ending the same
// row in the left tile. p, topEdge and bottomEdge follow the join; joined tells whether p has
// also been joined with the polygon above (the one of eq), closing a loop.
void JoinAtLeftBorder(TRowPassContext& ctx, TPolygonId& p, TEdgeId& topEdge,
                      const TLeftBorderLinks& links, TEdgeId eq, TEdgeId& bottomEdge, bool& joined);

// --- the steps both joins take ---

// A closing join has split the cycle through `first` off q's outer ring. The cycle becomes a
// hole of q whose enclosed polygon is `enclosed`, or, below the limit of q's class, is filled: q
// gains its area and `enclosed` is flagged deleted. maxEdges bounds the walk around the cycle.
// False when the walk did not close: the hole then has no edges and is judged by the area found.
bool CutHole(TRowPassContext& ctx, TPolygonId q, TEdgeId first, TPolygonId enclosed, int maxEdges);

// q takes over p, whose edges are already in q's outer ring: p's area, its share of the outer
// edge count (the edges the join removed are already off it), its holes (appended after q's own,
// p's last first); p is flagged deleted.
void Absorb(T2DPolygonMesh& mesh, TPolygonId p, TPolygonId q);

}  // namespace qv
