#include "nhmgen/ValueNoise.h"

#include <cmath>

#include "nhmgen/Random.h"

namespace qv::nhmgen {

namespace {

double SmoothStep(double t) { return t * t * (3.0 - 2.0 * t); }

double Lerp(double a, double b, double t) { return a + (b - a) * t; }

}  // namespace

double ValueNoise(std::uint64_t seed, std::uint64_t salt, double x, double y, double scale) {
  const double fx = x / scale;
  const double fy = y / scale;
  const double ix = std::floor(fx);
  const double iy = std::floor(fy);
  const double sx = SmoothStep(fx - ix);
  const double sy = SmoothStep(fy - iy);
  const auto i = static_cast<std::int64_t>(ix);
  const auto j = static_cast<std::int64_t>(iy);
  const double v00 = UnitOf(Hash(seed, salt, i, j));
  const double v10 = UnitOf(Hash(seed, salt, i + 1, j));
  const double v01 = UnitOf(Hash(seed, salt, i, j + 1));
  const double v11 = UnitOf(Hash(seed, salt, i + 1, j + 1));
  return Lerp(Lerp(v00, v10, sx), Lerp(v01, v11, sx), sy);
}

}  // namespace qv::nhmgen
