#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "RecordingPlatform.h"
#include "TileFiles.h"
#include "calculation/GridNumber.h"
#include "calculation/NhmError.h"
#include "calculation/Tile.h"
#include "dialog/languages/Languages.h"

namespace qv {
namespace {

constexpr double ND = -9999.0;

class RowReader : public ::testing::Test {
 protected:
  void SetUp() override { SetLanguage(LanguageEnglish); }

  void OpenAscii(const std::string& text) {
    const std::string name = dir.File("grid.txt");
    test::WriteText(name, text);
    test::PlaceTestTile(tile, NhmAsciiGrid, name);
    ASSERT_TRUE(tile.ReadHeader());
    tile.AllocateBuffers();
  }
  void OpenBinary(const std::string& hdr, const std::vector<float>& data, std::size_t drop = 0) {
    const std::string name = dir.File("grid.hdr");
    test::WriteText(name, hdr);
    test::PlaceTestTile(tile, NhmFloatGrid, name);
    test::WriteFloats(tile.FltFileName, data, drop);
    ASSERT_TRUE(tile.ReadHeader());
    tile.AllocateBuffers();
  }
  // The first `count` ring positions of the next row read.
  std::vector<double> Row(int r, int count = 10) {
    const auto ring = tile.RowRing(tile.ReadRow(r));
    return {ring.begin(), ring.begin() + count};
  }

  test::RecordingPlatform platform;
  test::TTempDir dir;
  TTile tile;
};

// Header of a file whose first column is tile column `firstColumn` (negative: west of the tile).
std::string HeaderAt(int ncols, int nrows, int firstColumn, double noData = ND) {
  return test::Header(ncols, nrows, 672499.5 + firstColumn, 254000.5 - nrows, noData);
}

TEST_F(RowReader, anAlignedFileFillsOwnPositionsFromFour) {
  OpenAscii(HeaderAt(3, 2, 0) + "1 2 3\n4 5 6\n");
  EXPECT_EQ(Row(0, 8), (std::vector<double>{ND, ND, ND, ND, 1, 2, 3, ND}));
  EXPECT_EQ(Row(1, 8), (std::vector<double>{ND, ND, ND, ND, 4, 5, 6, ND}));
  EXPECT_EQ(tile.RingIndex, 1);
  // Past the end of the file everything is no-data.
  EXPECT_EQ(Row(2, 8), std::vector<double>(8, ND));
}

TEST_F(RowReader, valuesWestOrEastOfTheTileAreDroppedAndRowsStayAligned) {
  // One metre west: the first value of each row belongs to the left neighbour.
  OpenAscii(HeaderAt(3, 2, -1) + "1 2 3\n4 5 6\n");
  EXPECT_EQ(Row(0, 7), (std::vector<double>{ND, ND, ND, ND, 2, 3, ND}));
  EXPECT_EQ(Row(1, 7), (std::vector<double>{ND, ND, ND, ND, 5, 6, ND}));
  // Starting at own column 3.
  OpenAscii(HeaderAt(2, 1, 3) + "1 2\n");
  EXPECT_EQ(Row(0, 10), (std::vector<double>{ND, ND, ND, ND, ND, ND, ND, 1, 2, ND}));
}

TEST_F(RowReader, aFullWidthFileOneMetreWestLeavesTheLastOwnColumnNoData) {
  std::string text = HeaderAt(4375, 2, -1);
  for (int r = 0; r < 2; ++r) {
    for (int j = 0; j < 4375; ++j) text += std::to_string(r * 10000 + j) + " ";
    text += "\n";
  }
  OpenAscii(text);
  for (int r = 0; r < 2; ++r) {
    const auto ring = tile.RowRing(tile.ReadRow(r));
    EXPECT_EQ(ring[4], r * 10000 + 1);
    EXPECT_EQ(ring[4377], r * 10000 + 4374);
    EXPECT_EQ(ring[4378], ND);
  }
  // And east: a file one column wider than the tile drops its last value of each row.
  text = HeaderAt(4376, 2, 0);
  for (int r = 0; r < 2; ++r) {
    for (int j = 0; j < 4376; ++j) text += std::to_string(r * 10000 + j) + "\n";
  }
  OpenAscii(text);
  for (int r = 0; r < 2; ++r) {
    const auto ring = tile.RowRing(tile.ReadRow(r));
    EXPECT_EQ(ring[4], r * 10000);
    EXPECT_EQ(ring[4378], r * 10000 + 4374);
  }
}

TEST_F(RowReader, lineBreaksCrlfTabsAndTrailingBlanksMeanNothing) {
  OpenAscii(HeaderAt(3, 3, 0, -1) + "1\t2\r\n   3 4 \r\n\r\n5\n6 \t 7 8\t9");
  EXPECT_EQ(Row(0, 7), (std::vector<double>{-1, -1, -1, -1, 1, 2, 3}));
  EXPECT_EQ(Row(1, 7), (std::vector<double>{-1, -1, -1, -1, 4, 5, 6}));
  EXPECT_EQ(Row(2, 7), (std::vector<double>{-1, -1, -1, -1, 7, 8, 9}));
}

TEST_F(RowReader, nonFiniteCellsReadAsNoData) {
  OpenAscii(HeaderAt(5, 1, 0) + "nan inf -inf 1e999 3\n");
  EXPECT_EQ(Row(0, 9), (std::vector<double>{ND, ND, ND, ND, ND, ND, ND, ND, 3}));
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(RowReader, aBadValueEndsItsRowOnceWithOneMessagePerTile) {
  OpenAscii(HeaderAt(4, 3, 0) + "1 2 x 4\n5 6,5 7 8\n9 10 11 12\n");
  EXPECT_EQ(Row(0, 8), (std::vector<double>{ND, ND, ND, ND, 1, 2, ND, ND}));
  EXPECT_EQ(Row(1, 8), (std::vector<double>{ND, ND, ND, ND, 5, ND, ND, ND}));
  EXPECT_EQ(Row(2, 8), (std::vector<double>{ND, ND, ND, ND, 9, 10, 11, 12}));
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{"exception in row 0, col 6 of 0 - 3"});
  EXPECT_EQ(platform.beeps, 0);
  // A new header read is a new tile: the message may come again.
  platform.Clear();
  OpenAscii(HeaderAt(4, 1, -2) + "1 2 3 x\n");
  EXPECT_EQ(Row(7, 6), (std::vector<double>{ND, ND, ND, ND, 3, ND}));
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{"exception in row 7, col 5 of 0 - 3"});
}

TEST_F(RowReader, skipRowDropsOneRowAndStopsAtTheEnd) {
  OpenAscii(HeaderAt(2, 3, 0) + "1 2 bad 4\n5 6\n");
  tile.SkipRow();
  tile.SkipRow();  // its bad value is never parsed
  EXPECT_EQ(Row(2, 6), (std::vector<double>{ND, ND, ND, ND, 5, 6}));
  EXPECT_TRUE(tile.AtEndOfData());
  tile.SkipRow();
  tile.SkipRows(1000000000);
  EXPECT_TRUE(platform.messages.empty());
}

TEST_F(RowReader, theRowFrameSavesRightColumnsAndBottomRowsForTheNeighbours) {
  // Six columns from own column 4371 on: the last two lie east of the tile.
  std::string text = HeaderAt(6, 3000, 4371);
  for (int r = 0; r < 3000; ++r) {
    for (int j = 0; j < 6; ++j) text += std::to_string(r * 10 + j) + " ";
    text += "\n";
  }
  OpenAscii(text);
  for (int r = 0; r < 3000; ++r) {
    const auto ring = tile.RowRing(tile.ReadRow(r));
    ASSERT_EQ(ring[4378], r * 10 + 3);
    const auto right = tile.RightColumns(r);
    ASSERT_EQ((std::vector<double>(right.begin(), right.end())),
              (std::vector<double>{r * 10.0, r * 10.0 + 1, r * 10.0 + 2, r * 10.0 + 3}));
  }
  for (int i = 0; i < 4; ++i) {
    const auto bottom = tile.BottomRows(i);
    EXPECT_EQ(bottom[4375], (2996 + i) * 10.0);
    EXPECT_EQ(bottom[4], ND);
  }
}

TEST_F(RowReader, aLeftNeighboursColumnsComeFirstWithItsNoDataTranslated) {
  TTile left;
  left.NoDataValue = 9999.0;
  left.AllocateBuffers();
  const double border[] = {1.5, 9999.0, 2.5, 3.5};
  std::copy(std::begin(border), std::end(border), left.RightColumns(1).begin());
  OpenAscii(HeaderAt(1, 3, 0) + "7 8 9\n");
  tile.LeftNeighbor = &left;
  EXPECT_EQ(Row(0, 5), (std::vector<double>{ND, ND, ND, ND, 7}));
  EXPECT_EQ(Row(1, 5), (std::vector<double>{1.5, ND, 2.5, 3.5, 8}));
  // A no-data row keeps the neighbour's columns, in the ring and in the saved bottom rows.
  std::copy(std::begin(border), std::end(border), left.RightColumns(2998).begin());
  const auto filled = tile.RowRing(tile.FillNoDataRow(2998));
  EXPECT_EQ(filled[0], 1.5);
  EXPECT_EQ(filled[4], ND);
  std::copy(std::begin(border), std::end(border), left.RightColumns(2999).begin());
  tile.FillNoDataRow(2999);
  EXPECT_EQ(tile.BottomRows(3)[0], 1.5);
  EXPECT_EQ(tile.BottomRows(3)[1], ND);
  EXPECT_EQ(tile.BottomRows(3)[4], ND);
  tile.LeftNeighbor = nullptr;
}

TEST_F(RowReader, takeTopNeighborRowsSeedsTheRingAndCopiesTheLinks) {
  TTile top;
  top.NoDataValue = 0.0;
  top.AllocateBuffers();
  for (int i = 0; i < 4; ++i) {
    std::fill(top.BottomRows(i).begin(), top.BottomRows(i).end(), i + 1.0);
  }
  top.BottomRows(2)[100] = 0.0;  // no-data above
  top.ColumnLinks()[7].Edge = TEdgeId(42);
  OpenAscii(HeaderAt(1, 1, 0) + "5\n");
  tile.TopNeighbor = &top;
  tile.TakeTopNeighborRows();
  EXPECT_EQ(tile.RingIndex, 3);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(tile.RowRing(i)[0], i + 1.0);
    EXPECT_EQ(tile.RowRing(i)[4378], i + 1.0);
  }
  EXPECT_EQ(tile.RowRing(2)[100], ND);
  EXPECT_EQ(tile.ColumnLinks()[7].Edge, TEdgeId(42));
  EXPECT_EQ(tile.ColumnLinks()[8].Edge, TEdgeId());
  // The row read next goes to slot 4, and the middle row is then the top's row 2998.
  EXPECT_EQ(tile.ReadRow(0), 4);
  EXPECT_EQ(tile.MiddleSlot(), 2);
  tile.TopNeighbor = nullptr;

  platform.Clear();
  tile.TakeTopNeighborRows();
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{"Error: Tile has no top neighbor!"});
}

TEST_F(RowReader, aDummyTileReadsAsNoDataEverywhere) {
  test::PlaceTestTile(tile, NhmAsciiGrid, dir.File("missing.txt"));
  tile.IsDummy = true;
  ASSERT_TRUE(tile.ReadHeader());
  tile.AllocateBuffers();
  for (int r = 0; r < 3000; ++r) {
    tile.SkipRow();
    const auto ring = tile.RowRing(tile.ReadRow(r));
    ASSERT_TRUE(std::all_of(ring.begin(), ring.end(), [](double v) { return v == ND; }));
  }
  EXPECT_EQ(tile.RightColumns(2999)[3], ND);
  EXPECT_EQ(tile.BottomRows(0)[4000], ND);
}

TEST_F(RowReader, binaryRowsAreLittleEndianFloatsWidened) {
  const std::string hdr = HeaderAt(3, 2, 0) + "byteorder LSBFIRST\n";
  OpenBinary(hdr, {1.25f, -2.5f, 3.1f, 4, std::numeric_limits<float>::quiet_NaN(),
                   std::numeric_limits<float>::infinity()});
  EXPECT_EQ(Row(0, 7),
            (std::vector<double>{ND, ND, ND, ND, 1.25, -2.5, static_cast<double>(3.1f)}));
  EXPECT_EQ(Row(1, 7), (std::vector<double>{ND, ND, ND, ND, 4, ND, ND}));
  EXPECT_EQ(Row(2, 5), (std::vector<double>{ND, ND, ND, ND, ND}));
}

TEST_F(RowReader, aBinaryFileOneValueShortEndsInNoData) {
  const std::vector<float> values{1, 2, 3, 4, 5, 6};
  OpenBinary(HeaderAt(3, 2, 0), values);  // exactly NRows x NCols: every value, the last included
  Row(0);
  EXPECT_EQ(Row(1, 7), (std::vector<double>{ND, ND, ND, ND, 4, 5, 6}));
  OpenBinary(HeaderAt(3, 2, 0), values, 4);
  Row(0);
  EXPECT_EQ(Row(1, 7), (std::vector<double>{ND, ND, ND, ND, 4, 5, ND}));
  OpenBinary(HeaderAt(3, 2, 0), values, 1);  // a partial last value is no value
  Row(0);
  EXPECT_EQ(Row(1, 7), (std::vector<double>{ND, ND, ND, ND, 4, 5, ND}));
}

TEST_F(RowReader, binaryNoDataIsComparedAtFloatPrecision) {
  OpenBinary(HeaderAt(2, 1, 0, 9999.9), {9999.9f, 1.5f});
  EXPECT_EQ(tile.NoDataValue, static_cast<double>(9999.9f));
  const auto row = Row(0, 7);
  EXPECT_EQ(row[4], tile.NoDataValue);  // the cell is the tile's no-data, not a 10 km tree
  EXPECT_EQ(row[6], tile.NoDataValue);  // and so is what the file does not cover
  OpenBinary(HeaderAt(2, 1, 0, -3.40282e+38), {1, 2});
  EXPECT_EQ(tile.NoDataValue, static_cast<double>(-3.40282e+38f));
  // ASCII keeps the value as written.
  OpenAscii(HeaderAt(1, 1, 0, 9999.9) + "9999.9\n");
  EXPECT_EQ(tile.NoDataValue, 9999.9);
  EXPECT_EQ(Row(0, 5)[4], 9999.9);
}

TEST_F(RowReader, binarySkipRowPastTheEndThrowsNamingTheFile) {
  OpenBinary(HeaderAt(3, 2, 0), {1, 2, 3, 4, 5});
  tile.SkipRow();
  try {
    tile.SkipRow();
    FAIL() << "no exception";
  } catch (const ENhmError& e) {
    EXPECT_NE(std::string(e.what()).find(tile.FltFileName), std::string::npos) << e.what();
  }
  // An absurd column count meets the end at once.
  OpenBinary(HeaderAt(2000000000, 1, 0), {1, 2, 3});
  EXPECT_THROW(tile.SkipRows(std::int64_t{1} << 40), ENhmError);
  OpenBinary(HeaderAt(2000000000, 1, -1000000), {1, 2, 3});
  EXPECT_EQ(Row(0, 5), std::vector<double>(5, ND));
}

TEST(GridNumber, fastAndGeneralPathsAgree) {
  const char* texts[] = {"0",
                         "-0",
                         "1",
                         "12.37",
                         "-9999",
                         "0.1",
                         "123456789012345",
                         "1234567890123456",
                         "3.40282e+38",
                         "-3.4028234663852886e+38",
                         "9999.9",
                         "0.000001",
                         "1e-400",
                         ".5",
                         "7.",
                         "2.5E-1"};
  for (const char* t : texts) {
    double fast = 0;
    ASSERT_TRUE(ParseGridNumber(t, fast)) << t;
    double reference = 0;
    std::from_chars(t, t + std::strlen(t), reference);
    EXPECT_EQ(fast, reference) << t;
  }
  double v = 0;
  for (const char* bad : {"", "-", "+", ".", "1,5", "1.2.3", "+-1", "--1", "0x10", "1e", "abc"}) {
    EXPECT_FALSE(ParseGridNumber(bad, v)) << bad;
  }
  ASSERT_TRUE(ParseGridNumber("+1.5", v));
  EXPECT_EQ(v, 1.5);
  ASSERT_TRUE(ParseGridNumber("-1e999", v));
  EXPECT_EQ(v, -std::numeric_limits<double>::infinity());
}

}  // namespace
}  // namespace qv
