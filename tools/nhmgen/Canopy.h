// The canopy of a rectangular region of cells: the highest crown over each cell.
//
// Crowns are drawn ("splatted") into the region one after the other and each cell keeps the
// maximum. The maximum does not depend on the order of the crowns, and a crown's height over a
// cell depends only on the crown and the cell, so a region shows exactly the same canopy as the
// same cells of any larger region, provided every crown that reaches the region is drawn.
#pragma once

#include <cstdint>
#include <vector>

namespace qv::nhmgen {

// A block of cells addressed by the global coordinates of cell centres (whole metres, x east,
// y north). West and North are the centre of the north-west cell.
struct Region {
  std::int64_t West = 0;
  std::int64_t North = 0;
  int Cols = 0;
  int Rows = 0;

  std::int64_t East() const { return West + Cols - 1; }
  std::int64_t South() const { return North - Rows + 1; }
};

// One tree or shrub. Cone blends the profile between a paraboloid (0, broadleaf) and a cone
// (1, conifer); at the rim the crown is still RimHeightShare of its height, as crowns in a
// canopy height model end in a step rather than fading to the ground.
struct Crown {
  double X = 0.0;
  double Y = 0.0;
  double Height = 0.0;
  double Radius = 0.0;
  double Cone = 0.0;
};

// No crown reaches farther than this from its centre: the margin by which a region is widened
// when the crowns that reach into it are collected.
inline constexpr double MaxCrownRadius = 8.0;
inline constexpr double RimHeightShare = 0.45;

// The crown radius a tree of this height gets in the wooded-area computation's default model;
// the generator scatters real radii around it.
inline double TypicalCrownRadius(double height) { return 0.1117 * height + 2.6894; }

class Canopy {
 public:
  explicit Canopy(const Region& bounds);

  const Region& Bounds() const { return Area; }
  void Add(const Crown& crown);
  // 0 where no crown reaches.
  float At(int row, int col) const {
    return Heights[static_cast<std::size_t>(row) * static_cast<std::size_t>(Area.Cols) +
                   static_cast<std::size_t>(col)];
  }

 private:
  Region Area;
  std::vector<float> Heights;
};

}  // namespace qv::nhmgen
