// The exact area of a parcel covered by the union of some pieces, by vertical slabs.
//
// Every x where an edge starts, ends or crosses another edge bounds a slab. Inside a slab no edge
// ends and no two cross, so the edges keep their order from bottom to top, each a straight line:
// the covered length along a vertical line through the slab changes linearly with x, and its
// value on the slab's middle line times the slab's width is the slab's covered area, exactly.
// On that line each edge that spans the slab is crossed once; going up, the winding number of
// its ring's shape changes by one, up or down with the edge's direction. A point is covered when
// the parcel's winding number and at least one piece's are not zero.
//
// Nothing here depends on how the edges meet: edges on top of each other (a parcel's edge on a
// wood's edge), vertical edges, and the edges of no width that a cut leaves along its border
// need no case of their own. The cost is about (edges + crossings) x edges log edges, so the
// caller hands over only small sets: a few dozen edges.
#pragma once

#include <span>

#include "geometry/RingShape.h"

namespace qv::share {

double CoveredAreaBySlabs(const TRingShape& parcel, std::span<const TRingShape> pieces);

}  // namespace qv::share
