// VectorizeRow and VectorizePixel: the walk along one row and the runs of equal class.
//
// STATE. Between rows only the tile's ColumnLinks and RowLinks live on (RowPass.h tells what
// they hold). Within the row there is one open run at a time: RunOpen, RunStartCol, and its
// polygon, always the newest of the mesh, whose ring is still just the run's left side. The
// class of the pixel visited last decides whether the run goes on.
//
// INVARIANTS. Pixels are visited west to east from First to Last. A run is closed at the first
// pixel whose class differs from its left neighbour's, and at Last at the latest; every closed
// run has joined the polygons above it and left its bottom edge in ColumnLinks before the next
// run opens, so a run always finds the links of the row above to its right and those of its own
// row to its left. A row of a single position opens its run and never closes it: the polygon
// keeps its one edge and area 0.
#include "calculation/RowPass.h"

#include <stdexcept>

#include "calculation/RowGeometry.h"
#include "calculation/TreeTops.h"
#include "calculation/WoodedAreaCalculation.h"
#include "geometry/PolygonMesh.h"
#include "platform/Platform.h"

namespace qv {

void OpenRun(T2DPolygonMesh& mesh, const TTile& tile, TRowState& state, int col, bool wooded) {
  const TPolygonId p = mesh.AddPolygon();
  const double xl = PixelCenterX(tile, col) - HalfPixel;
  mesh.StartRing(p, xl, state.Y + HalfPixel, xl, state.Y - HalfPixel);
  mesh[p].IsWooded = wooded;
  state.RunOpen = true;
  state.RunStartCol = col;
}

namespace {

// Closes the open run at col: the pixel there differs from its left neighbour, or is the last.
// Out of line, since it runs once per run while the pixel step runs once per pixel.
[[gnu::noinline]] bool EndRun(TWoodedAreaCalculation& calc, TTile& tile, TRowState& state,
                              int col, bool isLast, bool previous, bool wooded) {
  bool closed = false;
  if (isLast && previous == wooded) {
    closed = CloseRectangle(calc, tile, state, wooded, true, col);
  } else if (isLast) {
    // The last pixel differs from its left neighbour: the run ends before it, and the pixel
    // becomes a run of its own that is closed at once.
    closed = CloseRectangle(calc, tile, state, wooded, false, col) &&
             CloseRectangle(calc, tile, state, wooded, true, col);
  } else {
    closed = CloseRectangle(calc, tile, state, wooded, false, col);
  }
  if (!closed) {
    Platform().Beep();
    Platform().ShowMessage("Error in CloseRectangle");
  }
  return closed;
}

// The pixel step, inlined into the row loop: most pixels only continue the open run.
[[gnu::always_inline]] inline bool VisitPixel(TWoodedAreaCalculation& calc, TTile& tile,
                                              TRowState& state, int col, bool isLast) {
  const bool wooded = TreeTopStep(calc, tile, state.Ring, col, state.Y);
  const bool previous = state.PreviousClass;
  state.PreviousClass = wooded;
  if (!state.RunOpen) {
    OpenRun(*calc.PolygonMesh, tile, state, col, wooded);
    return true;
  }
  if (previous == wooded && !isLast) return true;
  return EndRun(calc, tile, state, col, isLast, previous, wooded);
}

}  // namespace

bool VectorizeRow(TWoodedAreaCalculation& calc, TTile& tile, int row) {
  if (!calc.PolygonMesh || !calc.CrownCircles) {
    throw std::logic_error("The row pass needs the mesh and the crown circles of a run");
  }
  if (row < 0 || row >= TTile::TileRowCount) throw std::out_of_range("Row pass: row out of range");
  TRowState state;
  state.Row = row;
  state.Slot = tile.MiddleSlot();
  state.Y = BuiltRowCenterY(tile, row);
  state.Ring = TRingRows::Around(tile, state.Slot);
  const TRowSpan span = TRowSpan::For(tile, calc.Extent);
  for (int col = span.First; col <= span.Last; ++col) {
    if (!VisitPixel(calc, tile, state, col, col == span.Last)) {
      Platform().Beep();
      return false;
    }
  }
  calc.PolygonMesh->Pack(3.0);
  return true;
}

bool VectorizePixel(TWoodedAreaCalculation& calc, TTile& tile, TRowState& state, int col,
                    bool isLast) {
  return VisitPixel(calc, tile, state, col, isLast);
}

}  // namespace qv
