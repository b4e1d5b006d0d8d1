// The height model itself: ground, vegetation and no-data areas of any region of cells,
// as heights in whole hundredths of a metre (the files carry two decimals).
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "nhmgen/Canopy.h"

namespace qv::nhmgen {

inline constexpr std::int32_t NoDataHundredths = -999900;

// Fills `hundredths` (Rows x Cols, north row first, each row west to east). Every value is a
// pure function of the seed and the cell's global position.
void RenderRegion(std::uint64_t seed, const Region& region, std::span<std::int32_t> hundredths);

// Renders the region in bands of at most bandRows rows and hands each band to `use` with the
// index of its first row, so that memory stays bounded whatever the size of the region.
using BandConsumer =
    std::function<void(std::span<const std::int32_t> hundredths, int firstRow, int rows)>;
void RenderInBands(std::uint64_t seed, const Region& region, int bandRows, const BandConsumer& use);

}  // namespace qv::nhmgen
