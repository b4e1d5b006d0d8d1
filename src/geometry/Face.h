// T2DFace: one polygon area with its outer ring and its holes.
//
// The holes are an ordered list kept by the mesh (T2DEdgelist::InnerRing and friends): most
// faces have none, so the list lives outside the record.
#pragma once

#include <cstdint>

#include "geometry/Ids.h"

namespace qv {

class T2DEdgelist;

struct T2DFace {
  TRingId OuterRing;    // nil once the face has been freed
  TPolygonId Polygon;   // the polygon that owns this face; nil in a bare edge list
  bool Deleted = false;

 private:
  friend class T2DEdgelist;
  std::uint32_t InnerList = 0;  // slot of the hole list in the mesh, 0 while it has none
};

}  // namespace qv
