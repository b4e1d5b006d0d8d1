// Hedges: rows of trees and shrubs along some borders of a lattice of fields. The field
// corners are jittered lattice points, so the hedges run at slight angles and meet at
// irregular crossings, as field borders do.
#include <algorithm>
#include <cmath>

#include "nhmgen/Random.h"
#include "nhmgen/Vegetation.h"

namespace qv::nhmgen {

namespace {

constexpr double FieldSize = 230.0;
constexpr double CornerJitter = 55.0;
constexpr double HedgeChance = 0.2;
constexpr double TreeStep = 5.5;
constexpr double LateralJitter = 1.2;

struct Point {
  double X = 0.0;
  double Y = 0.0;
};

Point FieldCorner(std::uint64_t seed, std::int64_t i, std::int64_t j) {
  HashStream draw(Hash(seed, salt::FieldCorner, i, j));
  const double dx = draw.Between(-CornerJitter, CornerJitter);
  const double dy = draw.Between(-CornerJitter, CornerJitter);
  return {static_cast<double>(i) * FieldSize + dx, static_cast<double>(j) * FieldSize + dy};
}

bool Reaches(const Region& area, Point a, Point b) {
  const double margin = MaxCrownRadius + LateralJitter;
  return std::max(a.X, b.X) + margin >= static_cast<double>(area.West) &&
         std::min(a.X, b.X) - margin <= static_cast<double>(area.East()) &&
         std::max(a.Y, b.Y) + margin >= static_cast<double>(area.South()) &&
         std::min(a.Y, b.Y) - margin <= static_cast<double>(area.North);
}

Crown HedgeCrown(HashStream& draw, double hedgeHeight) {
  Crown c;
  if (draw.Chance(0.8)) {
    c.Height = std::min(hedgeHeight * draw.Between(0.6, 1.2), 30.0);
    c.Radius = TypicalCrownRadius(c.Height) * draw.Between(0.65, 0.9);
    c.Cone = draw.Between(0.0, 0.6);
  } else {
    c.Height = draw.Between(1.5, 4.0);
    c.Radius = draw.Between(1.5, 2.5);
    c.Cone = draw.Between(0.0, 0.5);
  }
  return c;
}

// Every crown of the hedge from a to b; the draws run along the whole hedge in one sequence,
// so the hedge is the same whichever region asks for it.
void AddHedge(std::uint64_t hedgeHash, Point a, Point b, Canopy& canopy) {
  const double dx = b.X - a.X;
  const double dy = b.Y - a.Y;
  const double length = std::sqrt(dx * dx + dy * dy);
  const double nx = -dy / length;
  const double ny = dx / length;
  const auto steps = std::max<std::int64_t>(1, static_cast<std::int64_t>(length / TreeStep));
  HashStream draw(hedgeHash);
  const double hedgeHeight = draw.Between(8.0, 20.0);
  for (std::int64_t k = 0; k < steps; ++k) {
    const double along =
        (static_cast<double>(k) + draw.Between(0.3, 0.7)) / static_cast<double>(steps);
    const double side = draw.Between(-LateralJitter, LateralJitter);
    const bool gap = draw.Chance(0.1);
    Crown c = HedgeCrown(draw, hedgeHeight);
    if (gap) {
      continue;
    }
    c.X = a.X + dx * along + nx * side;
    c.Y = a.Y + dy * along + ny * side;
    canopy.Add(c);
  }
}

}  // namespace

void AddHedges(std::uint64_t seed, Canopy& canopy) {
  const Region& area = canopy.Bounds();
  const double reach = MaxCrownRadius + LateralJitter + CornerJitter;
  const auto index = [](double v) { return static_cast<std::int64_t>(std::floor(v / FieldSize)); };
  const auto iFirst = index(static_cast<double>(area.West) - reach) - 1;
  const auto iLast = index(static_cast<double>(area.East()) + reach) + 1;
  const auto jFirst = index(static_cast<double>(area.South()) - reach) - 1;
  const auto jLast = index(static_cast<double>(area.North) + reach) + 1;
  for (auto j = jFirst; j <= jLast; ++j) {
    for (auto i = iFirst; i <= iLast; ++i) {
      const Point corner = FieldCorner(seed, i, j);
      const std::uint64_t alongX = Hash(seed, salt::HedgeAlongX, i, j);
      if (UnitOf(alongX) < HedgeChance) {
        const Point east = FieldCorner(seed, i + 1, j);
        if (Reaches(area, corner, east)) {
          AddHedge(Mix64(alongX), corner, east, canopy);
        }
      }
      const std::uint64_t alongY = Hash(seed, salt::HedgeAlongY, i, j);
      if (UnitOf(alongY) < HedgeChance) {
        const Point north = FieldCorner(seed, i, j + 1);
        if (Reaches(area, corner, north)) {
          AddHedge(Mix64(alongY), corner, north, canopy);
        }
      }
    }
  }
}

}  // namespace qv::nhmgen
