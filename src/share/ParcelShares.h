// The wooded area of every parcel: the area of the parcel covered by the union of the pieces
// (the wooded areas and the crown circles).
//
// Parcels are cut into blocks of a fixed grid, and each (parcel, block) is one piece of work:
// the pieces that the grid's index lists for the block are cut to it and handed with the
// parcel's cut to CoveredArea. Blocks do not overlap, so their areas add up to the parcel's.
// The work is shared by the caller's thread and one more; only the caller reports progress.
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

// progress(done, total) after each block of work the caller's thread finishes. Throws what the
// work threw (std::bad_alloc). The shapes are moved in place.
std::vector<double> ParcelCoveredAreas(std::vector<TRingShape>& parcels,
                                       std::vector<TRingShape>& pieces,
                                       const std::function<void(std::size_t, std::size_t)>& progress);

}  // namespace qv::share
