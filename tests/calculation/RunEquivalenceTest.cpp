// The same heights from ASCII grids and from float grids give the same result: the classes are
// the same wherever the minimum height is a float, so the wooded layer is the same file; the
// crowns stand at the same places, with heights and radii equal to float precision.
#include <gtest/gtest.h>

#include <cfloat>

#include "WholeRun.h"

namespace qv::test {
namespace {

struct TFormatCase {
  double MinTreeHeight;
  double NoData;  // as the files state it
  std::string NoDataText;
};

// The .dbf header carries the date of writing in bytes 1 to 3.
std::string WithoutDate(std::string dbf) {
  if (dbf.size() > 4) dbf.replace(1, 3, "---");
  return dbf;
}

class RunEquivalence : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(RunEquivalence, asciiAndFloatGridsGiveTheSameLayers) {
  const TFormatCase& format = GetParam();
  const THeightWindow window = PastureWindow(WestX12 - 30, NorthY13 + 20);
  TWholeRun ascii(NhmAsciiGrid), binary(NhmFloatGrid);
  for (TWholeRun* run : {&ascii, &binary}) {
    run->calc.MinTreeHeight = format.MinTreeHeight;
    run->noData = format.NoData;
    run->noDataText = format.NoDataText;
    ASSERT_EQ(run->Lay(window), 4);
    run->WriteTiles();
    ASSERT_TRUE(run->Run()) << run->platform.Texts()[0];
    EXPECT_EQ(run->calc.ResultStatus, 1);
  }
  // Not a vacuous comparison: the ASCII run is right to begin with.
  EXPECT_EQ(ascii.LayerFault(window), "");

  const auto a = ascii.LayerFiles(), b = binary.LayerFiles();
  EXPECT_TRUE(a[0] == b[0]) << "wooded .shp";
  EXPECT_TRUE(a[1] == b[1]) << "wooded .shx";
  EXPECT_TRUE(WithoutDate(a[2]) == WithoutDate(b[2])) << "wooded .dbf";

  const TLayer crownsA = ReadLayer(ascii.CrownLayer()), crownsB = ReadLayer(binary.CrownLayer());
  ASSERT_EQ(crownsA.Records.size(), crownsB.Records.size());
  for (std::size_t i = 0; i < crownsA.Records.size(); ++i) {
    const TLayerRecord &ra = crownsA.Records[i], &rb = crownsB.Records[i];
    const TWrittenCrown ca = CrownOf(ra, 36), cb = CrownOf(rb, 36);
    ASSERT_EQ(ca.Fault + cb.Fault, "") << "crown " << i;
    EXPECT_NEAR(ca.X, cb.X, 1e-9) << "crown " << i;
    EXPECT_NEAR(ca.Y, cb.Y, 1e-9) << "crown " << i;
    const double heightTolerance = ra.Height * double{FLT_EPSILON};
    EXPECT_NEAR(ra.Height, rb.Height, heightTolerance) << "crown " << i;
    EXPECT_NEAR(ca.R, cb.R, 0.1117 * heightTolerance + 1e-9) << "crown " << i;
    EXPECT_NEAR(ra.Surface, rb.Surface, 1.0) << "crown " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(HeightsAndNoData, RunEquivalence,
                         ::testing::Values(TFormatCase{2.0, -9999, "-9999"},
                                           TFormatCase{3.5, -9999, "-9999"},
                                           // No-data values a float cannot hold exactly.
                                           TFormatCase{2.0, 9999.9, "9999.9"},
                                           TFormatCase{3.5, -3.40282e+38, "-3.40282e+38"}));

}  // namespace
}  // namespace qv::test
