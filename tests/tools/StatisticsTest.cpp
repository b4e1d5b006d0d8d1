#include <gtest/gtest.h>

#include <vector>

#include "nhmgen/Landscape.h"
#include "nhmgen/Statistics.h"

namespace qv::nhmgen {
namespace {

TEST(NhmgenStatistics, countsRunsPerRowWithNoDataAsNotHigh) {
  // Row 1: 0.5 | 2.0 2.5 | -9999 1.99 | 3   -> 4 runs, 3 high, 1 no-data
  // Row 2: 2.0 | -9999 | 2.0 2.0 0.0 ... -> runs restart at the row start
  const std::vector<double> values{0.5, 2.0,         2.5, NoDataValue, 1.99, 3.0,
                                   2.0, NoDataValue, 2.0, 2.0,         0.0,  0.0};
  const NhmStatistics s = ComputeStatistics(values, 6);
  EXPECT_EQ(s.Rows, 2);
  EXPECT_EQ(s.Cells, 12);
  EXPECT_EQ(s.HighCells, 6);
  EXPECT_EQ(s.NoDataCells, 2);
  EXPECT_EQ(s.Runs, 4 + 4);
  EXPECT_DOUBLE_EQ(s.HighShare(), 0.5);
  EXPECT_DOUBLE_EQ(s.RunsPerRow(), 4.0);

  // The same in hundredths, as the generator counts while writing.
  const std::vector<std::int32_t> hundredths{
      50, 200, 250, NoDataHundredths, 199, 300, 200, NoDataHundredths, 200, 200, 0, 0};
  const NhmStatistics h = ComputeStatistics(hundredths, 6);
  EXPECT_EQ(h.Runs, s.Runs);
  EXPECT_EQ(h.HighCells, s.HighCells);
  EXPECT_EQ(h.NoDataCells, s.NoDataCells);
}

TEST(NhmgenStatistics, addsUpAndSurvivesEmptyInput) {
  const NhmStatistics empty = ComputeStatistics(std::vector<double>{}, 5);
  EXPECT_EQ(empty.Rows, 0);
  EXPECT_EQ(empty.HighShare(), 0.0);
  EXPECT_EQ(empty.RunsPerRow(), 0.0);

  NhmStatistics total = ComputeStatistics(std::vector<double>{3.0, 3.0, 0.0}, 3);
  total += ComputeStatistics(std::vector<double>{NoDataValue}, 1);
  EXPECT_EQ(total.Rows, 2);
  EXPECT_EQ(total.Runs, 3);
  EXPECT_DOUBLE_EQ(total.NoDataShare(), 0.25);
}

}  // namespace
}  // namespace qv::nhmgen
