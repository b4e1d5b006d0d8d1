// The row pass: polygons of wooded and open pixels, built one tile row at a time.
//
// The tile pass hands over a tile each time a row has been read; the pass builds the ring's
// middle row (two behind the row just read) from west to east and leaves behind only what the
// next row, the tile below and the tile to the right need. No raster is ever held. What it works
// with besides the tile (the mesh, the crown circles, the parameters) is its context
// (RowPassContext.h); this header and the joins (Joins.h) never see the computation object.
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
// ORDER
// - Pixels are visited west to east over the positions of TRowSpan (RowGeometry.h). A run is
//   closed at the first pixel whose class differs from its left neighbour's, and at the last
//   position at the latest; a row of a single position opens its run and never closes it (the
//   polygon keeps its one edge and area 0).
// - A closing run joins the polygons above it west to east, and after each join skips the
//   columns under the bottom edge it joined, so each bottom edge above is joined once. Then it
//   leaves its bottom edge in ColumnLinks before the next run opens: a run always finds the
//   links of the row above to its right and those of its own row to its left.
// - A run that starts at the first position a tile with a left neighbour builds
//   (FirstBorderPosition) first joins the left tile's polygon of the same row (LeftBorderJoin).
//
// INVARIANTS that every join keeps (the joins refer here instead of restating them)
// - Every live ring is one closed Next cycle of exactly EdgeCount edges that all resolve to it;
//   Prev mirrors Next and each edge ends where its successor starts. Outer rings run
//   counter-clockwise, holes clockwise (geometry/RingCheck.h checks exactly this).
// - An edge taken out of a cycle is flagged deleted through the polygon on whose behalf the join
//   works (so the mesh's Pack never purges it during the run) and is not linked into any cycle
//   again. Nothing is freed during the rows: absorbed polygons are flagged, so every id held in
//   a link stays readable.
// - A polygon's Area is the number of pixels it covers (its kept holes excluded, its filled
//   holes included).
// - The survivor of a join is the polygon above (or, across the west border, the polygon to the
//   left); the absorbed one is flagged deleted and its holes move to the survivor.
// - A join of a run with a polygon it has already joined closes a loop: the part of the boundary
//   cut off is a hole, kept or filled by TAreaLimits::HoleIsKept for the enclosing class.
//
// WHEN A POLYGON IS FINAL
// - The joins reach polygons only through links: ColumnLinks (the next row, the tile below) and
//   RowLinks (the tile to the right), and through the open run, which is always the newest
//   polygon. Between two tiles no run is open, so a polygon that no link a later tile will read
//   resolves to can never be joined, absorbed or cut again; its holes were
//   each cut whole behind the frontier and never change. It is final, and the run lets it leave
//   the mesh (MeshCompaction.h); the links are moved onto the copies of what stays.
//
// Every link is checked before it is followed. A join that finds a link missing (which a
// consistent mesh never has) stops relinking where it would have followed it and goes on with
// the bookkeeping; a rectangle that cannot be completed fails the row. Either is told to the
// user once, by the rectangle in whose closing it happened (CloseRectangle).
#pragma once

#include "calculation/RingRows.h"
#include "calculation/RowPassContext.h"
#include "geometry/Ids.h"

namespace qv {

class TTile;

// What one row pass shares between the pixels of the row.
struct TRowState {
  int Row = 0;     // the row the driver has just read; the row built is Row - RowLag
  double Y = 0.0;  // the centre line of the row built
  TRingRows Ring;  // the built row and the two on either side
  bool RunOpen = false;
  int RunStartCol = 0;         // ring position of the open run's first pixel
  bool PreviousClass = false;  // of the pixel visited last
};

// Builds the middle row of the tile's ring, row - RowLag. False when a rectangle could not be
// closed (CloseRectangle has reported it); the tile then fails.
bool VectorizeRow(TRowPassContext& ctx, TTile& tile, int row);

// One pixel of the row at ring position col: its class and tree top, then the run.
bool VectorizePixel(TRowPassContext& ctx, TTile& tile, TRowState& state, int col, bool isLast);

// Opens a run at pixel col: a new polygon, the newest of the mesh, with the run's left side.
void OpenRun(T2DPolygonMesh& mesh, const TTile& tile, TRowState& state, int col, bool wooded);

// Closes the open run at pixel col (which it includes when isLast), joins the rectangle upwards,
// records the links and, unless isLast, opens the next run at col with class newClass. A fault
// (a rectangle that cannot be completed, or a damaged mesh around its joins) is reported here,
// once, with a beep and its place; false only when the rectangle could not be completed.
bool CloseRectangle(TRowPassContext& ctx, TTile& tile, TRowState& state, bool newClass,
                    bool isLast, int col);

}  // namespace qv
