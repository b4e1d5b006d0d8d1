// T2DRing: one closed boundary, the outer ring or a hole of a face.
#pragma once

#include <cstdint>

#include "geometry/Ids.h"

namespace qv {

class T2DEdgelist;

// A record is changed field by field; it cannot be assigned whole, which would copy the ring's
// handle and make two rings share their edges.
struct T2DRing {
  T2DRing() = default;
  T2DRing(const T2DRing&) = delete;
  T2DRing& operator=(const T2DRing&) = delete;

  // Number of edges in the cycle; 2 for a ring started from one segment (its two corners).
  std::int32_t EdgeCount = 0;
  TEdgeId FirstEdge;  // where walks begin
  // For a hole cut off by the row pass: the polygon of the other class inside it, next to the
  // corner where the hole closed.
  TPolygonId EnclosedPolygon;
  TFaceId IncidentFace;  // the face whose outer ring or hole this is

 private:
  friend class T2DEdgelist;
  std::uint32_t Handle = 0;  // the root handle that edges of this ring resolve through, or 0
};

}  // namespace qv
