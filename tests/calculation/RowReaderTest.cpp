#include <gtest/gtest.h>

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
  void OpenBinary(const std::string& hdr, const std::vector<float>& data) {
    const std::string name = dir.File("grid.hdr");
    test::WriteText(name, hdr);
    test::PlaceTestTile(tile, NhmFloatGrid, name);
    test::WriteFloats(tile.FltFileName, data);
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

// What reaches each ring position, across tile borders and with each tile's no-data, is checked
// against a model of the mosaic in TilePassMosaicTest; these are the cases it does not reach.

// Header of a file whose first column is tile column `firstColumn` (negative: west of the tile).
std::string HeaderAt(int ncols, int nrows, int firstColumn, double noData = ND) {
  return test::Header(ncols, nrows, 672499.5 + firstColumn, 254000.5 - nrows, noData);
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

TEST_F(RowReader, takingTheTopRowsWithoutATopNeighbourIsReported) {
  OpenAscii(HeaderAt(1, 1, 0) + "5\n");
  tile.TakeTopNeighborRows();
  EXPECT_EQ(platform.beeps, 1);
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{"Error: Tile has no top neighbor!"});
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

TEST_F(RowReader, binarySkipRowPastTheEndThrowsNamingTheFile) {
  OpenBinary(HeaderAt(3, 2, 0), {1, 2, 3, 4, 5});
  tile.SkipRow();
  EXPECT_NE(test::NhmErrorOf([&] { tile.SkipRow(); }).find(tile.FltFileName), std::string::npos);
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
