// T2DEdge: a directed edge of exactly one ring.
//
// Edges are changed only through the mesh (Link, LinkThrough, MarkEdgeDeleted, the ring
// operations), which hands them out read-only. The ring an edge belongs to is not a field here:
// it is read with T2DEdgelist::IncidentRing, which resolves the edge's ring reference (see the
// account at the top of PolygonMesh.h).
#pragma once

#include <cstdint>

#include "geometry/Ids.h"

namespace qv {

class T2DEdgelist;

struct T2DEdge {
  TVertexId Origin;
  TVertexId Destination;
  TEdgeId Next;  // the following edge of the ring: its Origin is this edge's Destination
  TEdgeId Prev;
  bool Deleted = false;

 private:
  friend class T2DEdgelist;
  std::uint32_t RingRef = 0;  // 0: no ring; a ring handle; or, with kFrozenRing, a ring id
};

}  // namespace qv
