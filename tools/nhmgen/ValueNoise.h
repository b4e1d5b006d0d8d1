// Smooth low-frequency noise for the shapes of the landscape (stand outlines, stand age).
#pragma once

#include <cstdint>

namespace qv::nhmgen {

// Noise in [0, 1) whose features are about `scale` metres wide: hashed values on a square
// lattice of that spacing, blended with a smoothstep so that no lattice creases show. Only
// +, -, *, / and floor are used, which IEEE arithmetic rounds the same everywhere (no libm
// transcendental functions, whose last bits differ between implementations).
double ValueNoise(std::uint64_t seed, std::uint64_t salt, double x, double y, double scale);

}  // namespace qv::nhmgen
