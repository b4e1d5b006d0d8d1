// T2DPolygon: one polygon of a mesh. Its vertices, edges and face live in the mesh's pools; the
// operations that the polygon performs on its face are the mesh's (T2DPolygonMesh).
#pragma once

#include <cstdint>

#include "geometry/Ids.h"

namespace qv {

struct T2DPolygon {
  double Area = 0.0;  // square metres, maintained by the row pass
  TFaceId Face;       // set by the mesh; nil once the polygon has been freed
  // Edges flagged through this polygon (MarkEdgeDeleted called on it). Counted here and not
  // on the mesh, so the mesh's Pack never purges them.
  std::int32_t DeletedEdges = 0;
  // Place in the run's creation order; it goes with the polygon when a live polygon is copied
  // into a fresh mesh or a finished one leaves the mesh, so the layer keeps creation order.
  std::uint32_t Sequence = 0;
  bool IsWooded = false;
  bool Deleted = false;  // set by the mesh
};

}  // namespace qv
