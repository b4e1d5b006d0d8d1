// Whether a ring of a mesh can be trusted: the one check of ring structure, used by the writer
// before it walks a ring into a record and by the tests after every join.
//
// A sound ring is one closed Next cycle of exactly EdgeCount edges (at least three, and never
// more than the mesh holds) starting at FirstEdge, in which every edge has both vertices, is not
// flagged deleted and resolves to this ring, Prev mirrors Next, and each edge ends where its
// successor starts. A sound polygon has a sound outer ring running counter-clockwise (positive
// area) and sound holes running clockwise, each naming the polygon's face. Nothing is trusted on
// the way: a walk never follows a link it has not checked, and never takes more steps than the
// ring claims to have.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "geometry/Ids.h"
#include "geometry/Point.h"

namespace qv {

class T2DEdgelist;
class T2DPolygonMesh;

enum class TRingFault : std::uint8_t {
  None,
  UnknownId,  // a ring, edge or vertex id the mesh never handed out
  EdgeCount,  // fewer than three edges, or more than the mesh holds
  NoFirstEdge,
  NilLink,      // an edge without origin, destination, Next or Prev
  Flagged,      // an edge flagged deleted is still in the cycle
  ForeignEdge,  // an edge of the cycle belongs to another ring
  NotMirrored,  // the successor's Prev is not the edge
  Gap,          // an edge does not end where its successor starts
  ShortCycle,   // back at FirstEdge before EdgeCount edges
  LongCycle,    // not back at FirstEdge after EdgeCount edges
  Orientation,  // an outer ring that is not counter-clockwise, or a hole that is not clockwise
  WrongFace,    // a hole that does not name the polygon's face
};

TRingFault CheckRing(const T2DEdgelist& mesh, TRingId ring);
// The same check, collecting the ring's points on the way (only one walk over a mesh that no
// longer fits any cache): on success they are appended to points in the order the layer wants
// them, from FirstEdge's origin along Prev; on a fault what was appended means nothing.
TRingFault CheckRing(const T2DEdgelist& mesh, TRingId ring, std::vector<T2DPoint>& points);

struct TPolygonFault {
  TRingFault Fault = TRingFault::None;
  int Ring = -1;  // the ring at fault: -1 the outer ring, otherwise the index of the hole
  explicit operator bool() const { return Fault != TRingFault::None; }
};

// The first fault of the polygon's rings, outer ring first, then the holes in list order.
TPolygonFault CheckPolygon(const T2DPolygonMesh& mesh, TPolygonId polygon);

// "hole 2: gap", "outer ring: flagged edge in the cycle"; empty for a sound polygon.
std::string DescribeFault(TPolygonFault fault);

}  // namespace qv
