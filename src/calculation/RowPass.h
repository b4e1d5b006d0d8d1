// The row pass: polygons of wooded and open pixels, built one tile row at a time.
//
// The tile pass hands over a tile each time a row has been read; the pass builds the ring's
// middle row (two behind the row just read) from west to east and leaves behind only what the
// next row, the tile below and the tile to the right need. No raster is ever held.
//
// STATE BETWEEN ROWS (on the tile, TNeighborPixel links into the run's mesh)
// - ColumnLinks[p]: the bottom edge of the run that covered ring position p in the last row
//   built. The polygon above a pixel is that edge's IncidentRing -> IncidentFace -> Polygon. A
//   tile starts with the column links of the tile above (TakeTopNeighborRows), so joins across
//   the top border need nothing special; positions a tile never builds keep nil.
// - RowLinks[row]: for each row built, the edge that follows the bottom of the row's last run:
//   its right side on the tile's east line, or the edge that took its place in a join. The tile
//   to the right reads it to join across its west border (LeftBorderJoin.cpp).
//
// STATE WITHIN A ROW (TRowState)
// - The open run: RunOpen and RunStartCol. Its polygon is always the newest polygon of the mesh
//   and its outer ring holds a single edge, the run's left side from (XL, y + 0.5) down to
//   (XL, y - 0.5), until CloseRectangle completes it to a rectangle TL -> BL -> BR -> TR -> TL
//   (left side, bottom, right side, top: counter-clockwise like every outer ring).
//
// INVARIANTS that every join keeps (RectangleJoin.cpp, LeftBorderJoin.cpp)
// - Every live ring is one closed Next cycle of exactly EdgeCount edges that all resolve to it;
//   Prev mirrors Next and each edge ends where its successor starts. Outer rings run
//   counter-clockwise, holes clockwise.
// - An edge taken out of a cycle is flagged deleted through the polygon on whose behalf the join
//   works (so the mesh's Pack never purges it during the run) and is not linked into any cycle
//   again. Nothing is freed during the rows: absorbed polygons are flagged, so every id held in
//   a link stays readable.
// - A polygon's Area is the number of pixels it covers (its kept holes excluded, its filled
//   holes included).
// - The survivor of a join is the polygon above (or, across the west border, the polygon to the
//   left); the absorbed one is flagged deleted and its holes move to the survivor.
// - A join of a run with a polygon it has already joined closes a loop: the part of the boundary
//   cut off is a hole, kept when its area reaches the limit for the enclosing class
//   (MinClearingArea for a wooded polygon, MinWoodedArea for an open one), filled otherwise.
//
// Every link is checked before it is followed. A join that finds a link missing (which a
// consistent mesh never has) stops relinking where it would have followed it and goes on with
// the bookkeeping; a rectangle that cannot be completed fails the row.
#pragma once

#include "calculation/RingRows.h"
#include "geometry/Ids.h"

namespace qv {

class TWoodedAreaCalculation;
class TTile;
class T2DPolygonMesh;

// What one row pass shares between the pixels of the row.
struct TRowState {
  int Row = 0;     // the row the driver has just read; the row built is Row - 2
  int Slot = 0;    // ring slot of the row built
  double Y = 0.0;  // its centre line
  TRingRows Ring;  // the built row and the two on either side
  bool RunOpen = false;
  int RunStartCol = 0;         // ring position of the open run's first pixel
  bool PreviousClass = false;  // of the pixel visited last
};

// Builds the middle row of the tile's ring, Row - 2. False when a rectangle could not be closed
// (after a beep and the messages); the tile then fails.
bool VectorizeRow(TWoodedAreaCalculation& calc, TTile& tile, int row);

// One pixel of the row at ring position col: its class and tree top, then the run.
bool VectorizePixel(TWoodedAreaCalculation& calc, TTile& tile, TRowState& state, int col,
                    bool isLast);

// Opens a run at pixel col: a new polygon, the newest of the mesh, with the run's left side.
void OpenRun(T2DPolygonMesh& mesh, const TTile& tile, TRowState& state, int col, bool wooded);

// Closes the open run at pixel col (which it includes when isLast), joins the rectangle upwards,
// records the links and, unless isLast, opens the next run at col with class newClass.
bool CloseRectangle(TWoodedAreaCalculation& calc, TTile& tile, TRowState& state, bool newClass,
                    bool isLast, int col);

// Joins the run's polygon p (a fresh rectangle, or grown by earlier joins of this run) with the
// polygon q above along q's bottom edge edgeQ. topEdge is p's edge along the run's top line where
// the next join can begin; it is moved on. When p is q the join closes a loop and cuts a hole
// whose enclosed polygon is leftAbove.
void JoinPolygons(TWoodedAreaCalculation& calc, TPolygonId p, TPolygonId q, TEdgeId edgeQ,
                  TEdgeId& topEdge, TPolygonId leftAbove);

// Whether a hole of the given area cut from a polygon of the given class stays a hole (rather
// than being filled): a clearing in a wooded polygon is measured against MinClearingArea, a
// wooded patch in an open polygon against MinWoodedArea; a hole of exactly the limit stays.
bool HoleIsKept(const TWoodedAreaCalculation& calc, bool enclosingIsWooded, double area);

// The edges the west border join reads from the left tile for a row: le, the edge after the
// bottom of the left tile's last run in the same row, and ld, the same record one row earlier.
struct TLeftBorderLinks {
  TEdgeId LE;
  TEdgeId LD;
};
TLeftBorderLinks LeftBorderLinks(TTile& tile, int row);

// Joins a fresh rectangle p that starts at ring position 2 with the polygon ending the same row
// in the left tile (LeftBorderJoin.cpp). p, topEdge and bottomEdge follow the join; joined tells
// whether p has also been joined with the polygon above (the one of eq), closing a loop.
void JoinAtLeftBorder(TWoodedAreaCalculation& calc, TPolygonId& p, TEdgeId& topEdge,
                      const TLeftBorderLinks& links, TEdgeId eq, TEdgeId& bottomEdge, bool& joined);

}  // namespace qv
