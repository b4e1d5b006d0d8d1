#include "calculation/RunState.h"

#include <stdexcept>

namespace qv {

void TRunState::Begin() {
  PolygonMesh = std::make_unique<T2DPolygonMesh>();
  CrownCircles = std::make_unique<T2DPolygons>();
  CrownCircles->HasHeights = true;
  FinishedPolygons = std::make_unique<T2DFinishedPolygons>();
  PolygonsFinishedEarly = 0;
}

void TRunState::Release() {
  PolygonMesh.reset();
  CrownCircles.reset();
  FinishedPolygons.reset();
}

TRowPassContext TRunState::RowPassContext(const TTreeParameters& tree, const TAreaLimits& limits,
                                          const T2DRect& extent) {
  if (!PolygonMesh || !CrownCircles) {
    throw std::logic_error("The row pass needs the mesh and the crown circles of a run");
  }
  return {*PolygonMesh, *CrownCircles, tree, limits, extent};
}

}  // namespace qv
