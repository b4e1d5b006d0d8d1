// VectorizeRow and VectorizePixel: the walk along one row and the runs of equal class. The state
// it keeps, the order it follows and the invariants of the joins are told in RowPass.h.
#include "calculation/RowPass.h"

#include <stdexcept>

#include "calculation/RowGeometry.h"
#include "calculation/TreeTops.h"
#include "geometry/PolygonMesh.h"

namespace qv {

namespace {

// The ratio of the mesh's Pack after each row: a list is purged only when the mesh counts more
// flagged items than three times its length. Flagged items stay in their lists, and the joins
// flag edges through polygons, which the mesh does not count, so this never purges during the
// rows: nothing that a link may still name is freed before the driver's final Pack(0).
constexpr double RowPackRatio = 3.0;

}  // namespace

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
[[gnu::noinline]] bool EndRun(TRowPassContext& ctx, TTile& tile, TRowState& state, int col,
                              bool isLast, bool previous, bool wooded) {
  if (isLast && previous == wooded) return CloseRectangle(ctx, tile, state, wooded, true, col);
  if (isLast) {
    // The last pixel differs from its left neighbour: the run ends before it, and the pixel
    // becomes a run of its own that is closed at once.
    return CloseRectangle(ctx, tile, state, wooded, false, col) &&
           CloseRectangle(ctx, tile, state, wooded, true, col);
  }
  return CloseRectangle(ctx, tile, state, wooded, false, col);
}

// The pixel step, inlined into the row loop: most pixels only continue the open run.
[[gnu::always_inline]] inline bool VisitPixel(TRowPassContext& ctx, TTile& tile,
                                              TRowState& state, int col, bool isLast) {
  const bool wooded = TreeTopStep(ctx, tile, state.Ring, col, state.Y);
  const bool previous = state.PreviousClass;
  state.PreviousClass = wooded;
  if (!state.RunOpen) {
    OpenRun(ctx.Mesh, tile, state, col, wooded);
    return true;
  }
  if (previous == wooded && !isLast) return true;
  return EndRun(ctx, tile, state, col, isLast, previous, wooded);
}

}  // namespace

bool VectorizeRow(TRowPassContext& ctx, TTile& tile, int row) {
  if (row < 0 || row >= TTile::TileRowCount) throw std::out_of_range("Row pass: row out of range");
  TRowState state;
  state.Row = row;
  state.Y = BuiltRowCenterY(tile, row);
  state.Ring = TRingRows::Around(tile, tile.MiddleSlot());
  const TRowSpan span = TRowSpan::For(tile, ctx.Extent);
  for (int col = span.First; col <= span.Last; ++col) {
    if (!VisitPixel(ctx, tile, state, col, col == span.Last)) return false;
  }
  ctx.Mesh.Pack(RowPackRatio);
  return true;
}

bool VectorizePixel(TRowPassContext& ctx, TTile& tile, TRowState& state, int col, bool isLast) {
  return VisitPixel(ctx, tile, state, col, isLast);
}

}  // namespace qv
