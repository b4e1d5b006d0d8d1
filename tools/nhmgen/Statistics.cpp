#include "nhmgen/Statistics.h"

#include <algorithm>

#include "nhmgen/Landscape.h"

namespace qv::nhmgen {

namespace {

double Share(std::int64_t part, std::int64_t whole) {
  return whole > 0 ? static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

template <class Value, class IsNoData, class IsHigh>
NhmStatistics Count(std::span<const Value> values, int cols, IsNoData isNoData, IsHigh isHigh) {
  NhmStatistics s;
  if (cols < 1) {
    return s;
  }
  const auto width = static_cast<std::size_t>(cols);
  for (std::size_t start = 0; start < values.size(); start += width) {
    const auto row = values.subspan(start, std::min(width, values.size() - start));
    bool previous = false;
    for (std::size_t c = 0; c < row.size(); ++c) {
      const bool noData = isNoData(row[c]);
      const bool high = !noData && isHigh(row[c]);
      s.NoDataCells += noData ? 1 : 0;
      s.HighCells += high ? 1 : 0;
      s.Runs += (c == 0 || high != previous) ? 1 : 0;
      previous = high;
    }
    s.Cells += static_cast<std::int64_t>(row.size());
    ++s.Rows;
  }
  return s;
}

}  // namespace

double NhmStatistics::HighShare() const { return Share(HighCells, Cells); }

double NhmStatistics::NoDataShare() const { return Share(NoDataCells, Cells); }

double NhmStatistics::RunsPerRow() const { return Share(Runs, Rows); }

NhmStatistics& NhmStatistics::operator+=(const NhmStatistics& other) {
  Cells += other.Cells;
  HighCells += other.HighCells;
  NoDataCells += other.NoDataCells;
  Runs += other.Runs;
  Rows += other.Rows;
  return *this;
}

NhmStatistics ComputeStatistics(std::span<const double> values, int cols) {
  return Count(
      values, cols, [](double v) { return v == NoDataValue; },
      [](double v) { return v >= HighThreshold; });
}

NhmStatistics ComputeStatistics(std::span<const std::int32_t> hundredths, int cols) {
  return Count(
      hundredths, cols, [](std::int32_t v) { return v == NoDataHundredths; },
      [](std::int32_t v) { return v >= 200; });
}

}  // namespace qv::nhmgen
