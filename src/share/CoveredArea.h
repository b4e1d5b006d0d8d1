// The area of a parcel covered by the union of pieces (woods and crowns), within a box.
//
// The box is halved, across its longer side, and everything cut to each half, until what is left
// is small enough for the slab sweep (SlabSweep.h). Most halves end sooner, and that is where the
// time goes when they do not:
//   - no parcel or no piece left in the half: nothing covered;
//   - a piece fills the half (inside a large wood): the parcel's area in it;
//   - the parcel fills the half and one piece is left: that piece's area.
// "Fills" is judged by area, within a billionth of the half's: an error of that size is all a
// wrong judgement can cost. Depth is bounded, so that pieces lying on top of each other end in a
// sweep, not in endless halving.
#pragma once

#include <vector>

#include "geometry/RingShape.h"
#include "share/Clip.h"

namespace qv::share {

// parcel and pieces must lie within box (ClipToBox).
double CoveredArea(const TBox& box, TRingShape parcel, std::vector<TRingShape> pieces);

}  // namespace qv::share
