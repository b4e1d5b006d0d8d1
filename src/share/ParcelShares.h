// The wooded area of every parcel: the area of the parcel covered by the union of the pieces
// (the wooded areas and the crown circles).
//
// Parcels are cut into blocks of a fixed grid, and each (parcel, block) is one piece of work:
// the pieces that the grid's index lists for the block are cut to it and handed with the
// parcel's cut to CoveredArea. Blocks do not overlap, so their areas add up to the parcel's.
// The grid is worked one row of blocks (a band) at a time, and only the pieces reaching into
// that band are asked for and held: memory follows the band, not the layers. Within a band the
// work is shared by the caller's thread and one more.
//
// All coordinates are first moved by a whole number of metres next to the parcels, so that the
// arithmetic works on small numbers and points on whole or half metres stay exact.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "geometry/RingShape.h"

namespace qv::share {

inline constexpr double BlockSize = 250.0;

struct TBandBox {
  double XMin, YMin, XMax, YMax;
};

// The pieces reaching into a band (touching it may count), in the parcels' coordinates.
using TPieceSource = std::function<std::vector<TRingShape>(const TBandBox& band)>;

// The covered area of each parcel, in order. progress(done, total) after each block of work, from
// either thread, one call at a time. Throws what the work or the source threw. The parcels are moved in
// place.
std::vector<double> ParcelCoveredAreas(std::vector<TRingShape>& parcels,
                                       const TPieceSource& pieces,
                                       const std::function<void(std::size_t, std::size_t)>& progress);

}  // namespace qv::share
