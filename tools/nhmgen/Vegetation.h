// Where trees and shrubs grow: forest stands, single pasture trees, shrubs and hedges.
//
// Stands, pasture trees and shrubs are candidates on jittered square grids, one per grid cell,
// whose centre stays inside its grid cell: the candidates that can reach a region are found
// from the region alone. Hedges run along the borders of a jittered lattice of fields. Every
// candidate is a pure function of the seed and its grid or lattice indices.
#pragma once

#include <cstdint>

#include "nhmgen/Canopy.h"

namespace qv::nhmgen {

// 0 on open pasture, 1 in closed forest; in between the thinning fringe of a stand, where the
// wooded pasture has scattered trees and shrubs.
double StandCover(std::uint64_t seed, double x, double y);

// Each adds every crown of its kind that reaches the canopy's region.
void AddTrees(std::uint64_t seed, Canopy& canopy);
void AddShrubs(std::uint64_t seed, Canopy& canopy);
void AddHedges(std::uint64_t seed, Canopy& canopy);

}  // namespace qv::nhmgen
