// The per-pixel step of the row pass that belongs to the crown model: the pixel's class and the
// tree-top test, which gives each tree top a crown circle.
//
// A pixel is high (wooded) when its value is finite, is not the tile's no-data value and is at
// least the minimum tree height. A high pixel is a tree top when no neighbour of the 20-offset
// neighbourhood (OffsetVector.h) is higher; equal heights do not disqualify, so every pixel of a
// flat top is a tree top. Neighbours that are no-data or not finite are ignored. The crown is a
// circle of radius TreeRadiusParam1 * H + TreeRadiusParam0 around the pixel centre, appended to
// the run's CrownCircles in the order the pixels are visited.
#pragma once

#include <array>
#include <cmath>
#include <utility>

#include "calculation/OffsetVector.h"
#include "calculation/RingRows.h"
#include "calculation/RowGeometry.h"
#include "calculation/RowPassContext.h"
#include "calculation/Tile.h"

namespace qv {

inline bool IsUsableValue(double value, double noData) {
  return std::isfinite(value) && value != noData;
}

inline bool PixelIsHigh(double value, double noData, double minTreeHeight) {
  return IsUsableValue(value, noData) && value >= minTreeHeight;
}

// The neighbourhood in the order the tree-top test tries it. The answer does not depend on the
// order; the nearest neighbours are the likeliest to be higher on a crown's flank, so trying
// them first ends most tests sooner.
inline constexpr std::array<TOffset, TOffsetVector::Count> NearestFirst{{
    {0, -1}, {-1, 0}, {1, 0}, {0, 1},
    {-1, -1}, {1, -1}, {-1, 1}, {1, 1},
    {0, -2}, {-2, 0}, {2, 0}, {0, 2},
    {-1, -2}, {1, -2}, {-2, -1}, {2, -1}, {-2, 1}, {2, 1}, {-1, 2}, {1, 2}}};

constexpr bool SameNeighbourhood() {
  for (const TOffset& a : TOffsetVector::Table) {
    int found = 0;
    for (const TOffset& b : NearestFirst) found += (a.Dx == b.Dx && a.Dy == b.Dy) ? 1 : 0;
    if (found != 1) return false;
  }
  return true;
}
static_assert(SameNeighbourhood(), "the tree-top test tries exactly the offsets of the table");

namespace detail {

// Whether the neighbour at offset I of NearestFirst is usable and higher than h. The offsets
// are constants, so each test compiles to a load at a fixed distance; the three conditions are
// combined without branches.
template <std::size_t I>
inline bool NeighbourHigher(const TRingRows& ring, int p, double h, double noData) {
  constexpr TOffset o = NearestFirst[I];
  const double n = ring.Rows[o.Dy + 2][p + o.Dx];
  return (n > h) & std::isfinite(n) & (n != noData);
}

// Whether any neighbour of the group First .. First + sizeof...(I) - 1 is usable and higher. A
// group is decided as a whole: on a crown's flank it is pure chance which of the nearest four
// neighbours is the higher one, and one branch per group mispredicts far less often than one
// branch per neighbour.
template <std::size_t First, std::size_t... I>
inline bool AnyHigher(const TRingRows& ring, int p, double h, double noData,
                      std::index_sequence<I...>) {
  return (... | NeighbourHigher<First + I>(ring, p, h, noData));
}

}  // namespace detail

// Whether the pixel of the built row at position p (2 <= p <= RingWidth - 3) beats or equals
// every usable neighbour. Its own value must be usable. Groups in the order of NearestFirst:
// the four nearest, the four diagonal, the four at two pixels, the eight between.
inline bool IsTreeTop(const TRingRows& ring, int p, double noData) {
  using std::make_index_sequence;
  const double h = ring.At(0, p);
  return !detail::AnyHigher<0>(ring, p, h, noData, make_index_sequence<4>{}) &&
         !detail::AnyHigher<4>(ring, p, h, noData, make_index_sequence<4>{}) &&
         !detail::AnyHigher<8>(ring, p, h, noData, make_index_sequence<4>{}) &&
         !detail::AnyHigher<12>(ring, p, h, noData, make_index_sequence<8>{});
}
static_assert(4 + 4 + 4 + 8 == TOffsetVector::Count, "the groups cover the neighbourhood");

// Appends the crown of a tree of height h standing at (x, y).
void AddCrownCircle(TRowPassContext& ctx, double x, double y, double h);

// The per-pixel step: the class of the built row's pixel at position p, and for a tree top its
// crown circle at the pixel centre (x of position p, the given centre line y) appended to
// the context's Crowns.
// Inline: it runs for every pixel of the tile.
inline bool TreeTopStep(TRowPassContext& ctx, const TTile& tile, const TRingRows& ring, int p,
                        double y) {
  const double h = ring.At(0, p);
  if (!PixelIsHigh(h, tile.NoDataValue, ctx.Tree.MinTreeHeight)) return false;
  if (IsTreeTop(ring, p, tile.NoDataValue)) AddCrownCircle(ctx, PixelCenterX(tile, p), y, h);
  return true;
}

}  // namespace qv
