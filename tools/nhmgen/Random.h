// Hashing behind every random decision of the generator.
//
// A decision is a hash of the seed, a salt that names the decision and integer coordinates
// (of a cell, a lattice point, a grid cell of candidate trees). Nothing depends on the order in
// which things are evaluated, so any window of the landscape comes out exactly as the same
// cells of a larger window. std:: distributions are avoided on purpose: their output differs
// between standard library versions, and the data sets must be reproducible anywhere.
#pragma once

#include <cstdint>

namespace qv::nhmgen {

// The finaliser of splitmix64: a bijection with good avalanche.
constexpr std::uint64_t Mix64(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

constexpr std::uint64_t Hash(std::uint64_t seed, std::uint64_t salt, std::int64_t i,
                             std::int64_t j) {
  const std::uint64_t keyed = Mix64(seed ^ Mix64(salt));
  return Mix64(Mix64(keyed ^ static_cast<std::uint64_t>(i)) ^ static_cast<std::uint64_t>(j));
}

// Uniform in [0, 1) from the top 53 bits.
constexpr double UnitOf(std::uint64_t h) { return static_cast<double>(h >> 11) * 0x1.0p-53; }

// A splitmix64 sequence started from one hash: the several properties of one object (position,
// height, radius ...) drawn one after the other.
class HashStream {
 public:
  explicit constexpr HashStream(std::uint64_t start) : State(start) {}

  constexpr double Unit() {
    State += 0x9E3779B97F4A7C15ull;
    return UnitOf(Mix64(State));
  }
  constexpr double Between(double lo, double hi) { return lo + (hi - lo) * Unit(); }
  constexpr bool Chance(double p) { return Unit() < p; }

 private:
  std::uint64_t State;
};

// One salt per kind of decision, so that two decisions never share their random numbers.
namespace salt {
inline constexpr std::uint64_t StandShapeCoarse = 101;
inline constexpr std::uint64_t StandShapeMedium = 102;
inline constexpr std::uint64_t StandShapeFine = 103;
inline constexpr std::uint64_t StandAge = 104;
inline constexpr std::uint64_t StandDensity = 105;
inline constexpr std::uint64_t TreeCell = 201;
inline constexpr std::uint64_t ShrubCell = 202;
inline constexpr std::uint64_t ShrubDensity = 203;
inline constexpr std::uint64_t FieldCorner = 301;
inline constexpr std::uint64_t HedgeAlongX = 302;
inline constexpr std::uint64_t HedgeAlongY = 303;
inline constexpr std::uint64_t NoDataBlob = 401;
inline constexpr std::uint64_t CellNoise = 501;
}  // namespace salt

}  // namespace qv::nhmgen
