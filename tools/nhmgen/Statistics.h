// The figures by which a generated height model is judged realistic for the wooded-area
// computation: how much of it is high, how often the class changes along a row (each run of
// equal class becomes a rectangle of the polygon building), how much is missing.
#pragma once

#include <cstdint>
#include <span>

namespace qv::nhmgen {

inline constexpr double NoDataValue = -9999.0;
// Cells at least this high count as high (the computation's default minimum tree height).
inline constexpr double HighThreshold = 2.0;

struct NhmStatistics {
  std::int64_t Cells = 0;
  std::int64_t HighCells = 0;
  std::int64_t NoDataCells = 0;
  // Maximal runs of cells of equal class (high, or not high with no-data counted as not high)
  // within rows; every row starts a new run.
  std::int64_t Runs = 0;
  std::int64_t Rows = 0;

  double HighShare() const;
  double NoDataShare() const;
  double RunsPerRow() const;

  NhmStatistics& operator+=(const NhmStatistics& other);
};

// Statistics of values laid out as rows of `cols` values (a trailing partial row counts as a
// row of its own).
NhmStatistics ComputeStatistics(std::span<const double> values, int cols);
NhmStatistics ComputeStatistics(std::span<const std::int32_t> hundredths, int cols);

}  // namespace qv::nhmgen
