#include "nhmgen/Vegetation.h"

#include <algorithm>
#include <cmath>

#include "nhmgen/Random.h"
#include "nhmgen/ValueNoise.h"

namespace qv::nhmgen {

namespace {

constexpr double TreeSpacing = 7.0;
constexpr double ShrubSpacing = 5.0;
constexpr double PastureTreeChance = 0.012;
constexpr double MaxTreeHeight = 35.0;

// Calls visit(i, j) for every cell of a square grid whose candidate may reach the region.
template <class Visit>
void ForEachGridCell(const Region& area, double spacing, Visit&& visit) {
  const auto first = [spacing](double v) {
    return static_cast<std::int64_t>(std::floor((v - MaxCrownRadius) / spacing));
  };
  const auto last = [spacing](double v) {
    return static_cast<std::int64_t>(std::floor((v + MaxCrownRadius) / spacing));
  };
  const auto iLast = last(static_cast<double>(area.East()));
  const auto jLast = last(static_cast<double>(area.North));
  for (auto j = first(static_cast<double>(area.South())); j <= jLast; ++j) {
    for (auto i = first(static_cast<double>(area.West)); i <= iLast; ++i) {
      visit(i, j);
    }
  }
}

Crown StandTree(std::uint64_t seed, HashStream& draw, double x, double y) {
  // Neighbouring trees of a stand are of about the same age.
  const double standHeight = 15.0 + 17.0 * ValueNoise(seed, salt::StandAge, x, y, 350.0);
  Crown c;
  c.X = x;
  c.Y = y;
  c.Height = std::min(standHeight * draw.Between(0.8, 1.1), MaxTreeHeight);
  c.Radius = TypicalCrownRadius(c.Height) * draw.Between(0.85, 1.15);
  c.Cone = draw.Between(0.5, 1.0);
  return c;
}

Crown PastureTree(HashStream& draw, double x, double y) {
  // Grown in the open: lower than stand trees, with wider, rounder crowns.
  Crown c;
  c.X = x;
  c.Y = y;
  c.Height = draw.Between(10.0, 28.0);
  c.Radius = TypicalCrownRadius(c.Height) * draw.Between(1.0, 1.25);
  c.Cone = draw.Between(0.0, 0.7);
  return c;
}

}  // namespace

double StandCover(std::uint64_t seed, double x, double y) {
  const double shape = 0.5 * ValueNoise(seed, salt::StandShapeCoarse, x, y, 450.0) +
                       0.3 * ValueNoise(seed, salt::StandShapeMedium, x, y, 170.0) +
                       0.2 * ValueNoise(seed, salt::StandShapeFine, x, y, 45.0);
  return std::clamp((shape - 0.5) / 0.07, 0.0, 1.0);
}

void AddTrees(std::uint64_t seed, Canopy& canopy) {
  ForEachGridCell(canopy.Bounds(), TreeSpacing, [&](std::int64_t i, std::int64_t j) {
    HashStream draw(Hash(seed, salt::TreeCell, i, j));
    const double x = (static_cast<double>(i) + draw.Between(0.1, 0.9)) * TreeSpacing;
    const double y = (static_cast<double>(j) + draw.Between(0.1, 0.9)) * TreeSpacing;
    const double cover = StandCover(seed, x, y);
    if (cover <= 0.0) {
      if (draw.Chance(PastureTreeChance)) {
        canopy.Add(PastureTree(draw, x, y));
      }
      return;
    }
    // Patches of denser and thinner stand, so that gaps cluster as they do in real forest;
    // towards the fringe (cover near 0) the stand thins out to scattered trees.
    const double density = 0.8 + 0.15 * ValueNoise(seed, salt::StandDensity, x, y, 60.0);
    if (draw.Chance(0.15 + (density - 0.15) * cover)) {
      canopy.Add(StandTree(seed, draw, x, y));
    }
  });
}

void AddShrubs(std::uint64_t seed, Canopy& canopy) {
  ForEachGridCell(canopy.Bounds(), ShrubSpacing, [&](std::int64_t i, std::int64_t j) {
    HashStream draw(Hash(seed, salt::ShrubCell, i, j));
    const double x = (static_cast<double>(i) + draw.Between(0.1, 0.9)) * ShrubSpacing;
    const double y = (static_cast<double>(j) + draw.Between(0.1, 0.9)) * ShrubSpacing;
    const double cover = StandCover(seed, x, y);
    if (cover >= 1.0) {
      return;  // under closed canopy a shrub never shows
    }
    // Shrubs crowd along stand edges and come and go in patches on the open pasture.
    const double patch = ValueNoise(seed, salt::ShrubDensity, x, y, 120.0);
    const double chance = 0.02 + 0.08 * patch * patch + 1.2 * cover * (1.0 - cover);
    if (!draw.Chance(chance)) {
      return;
    }
    Crown c;
    c.X = x;
    c.Y = y;
    c.Height = draw.Between(1.0, 2.5);
    c.Radius = draw.Between(0.8, 2.0);
    c.Cone = draw.Between(0.0, 0.5);
    canopy.Add(c);
  });
}

}  // namespace qv::nhmgen
