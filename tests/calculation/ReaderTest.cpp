// Grid headers, ASCII and float rows, block reading and grid numbers: the cases the mosaic of
// TilePassTest does not reach.
#include <gtest/gtest.h>

#include <limits>

#include "RowPassRun.h"
#include "calculation/AsciiGridReader.h"
#include "calculation/FloatGridReader.h"
#include "calculation/GridHeader.h"
#include "calculation/GridNumber.h"

namespace qv::test {
namespace {

constexpr double ND = NoData;

class GridReader : public ::testing::Test {
 protected:
  void SetUp() override { SetLanguage(LanguageEnglish); }
  // The tile 1091-11 with an ASCII grid of the given text, or a .hdr and .flt; header read.
  bool Open(const std::string& text, std::uint8_t filetype = NhmAsciiGrid,
            const std::vector<float>& data = {1, 2, 3, 4}) {
    const std::string name = dir.File(filetype == NhmFloatGrid ? "grid.hdr" : "grid.txt");
    WriteText(name, text);
    tile.MapNumber = 1091;
    tile.TileNumber = 11;
    tile.WestX = WestX11;
    tile.NorthY = NorthY11;
    tile.NhmFiletype = filetype;
    tile.FileName = tile.HdrFileName = name;
    tile.FltFileName = dir.File("grid.flt");
    if (filetype == NhmFloatGrid) WriteFloats(tile.FltFileName, data);
    const bool read = tile.ReadHeader();
    tile.AllocateBuffers();
    return read;
  }
  // The first `count` ring positions of the next row read.
  std::vector<double> Row(int r, int count) {
    const auto ring = tile.RowRing(tile.ReadRow(r));
    return {ring.begin(), ring.begin() + count};
  }

  RecordingPlatform platform;
  TTempDir dir;
  TTile tile;
};

// A header of a file whose first column is tile column `first` (negative: west of the tile).
std::string HeaderAt(int ncols, int nrows, int first, double noData = ND) {
  return Header(ncols, nrows, 672499.5 + first, 254000.5 - nrows, noData);
}

TEST_F(GridReader, readsCornerOrCentreKeysInAnyCaseAndPlacesTheData) {
  ASSERT_TRUE(Open(Header(4, 3, 672499.5, 251000.5) + "1 2 3 4\n"));
  EXPECT_EQ(tile.NCols, 4);
  EXPECT_EQ(tile.NRows, 3);
  EXPECT_EQ(tile.NoDataValue, ND);
  EXPECT_EQ(tile.RingIndex, -1);
  EXPECT_EQ(tile.DataRect.Top, 251003.5);
  EXPECT_EQ(tile.DataRect.Right, 672503.5);
  ASSERT_TRUE(
      Open("NCOLS 4\r\nNRows 3\r\nXLLCENTER 672500\r\nYllCenter 251001\r\nCELLSIZE "
           "1\r\nNODATA_value -1\r\n"));
  EXPECT_EQ(tile.XllCorner, 672499.5);
  EXPECT_EQ(tile.YllCorner, 251000.5);
  EXPECT_EQ(tile.NoDataValue, -1.0);
  for (const auto& [xll, first] :
       {std::pair{672498.5, 1}, {672509.5, -10}, {672499.0, 0}, {672498.0, 2}, {672499.4, 0}}) {
    ASSERT_TRUE(Open(Header(4, 3, xll, 251000.5)));
    EXPECT_EQ(tile.FirstFileColumn(), first) << xll;  // rounded half to even
  }
  EXPECT_EQ(tile.ColumnX(4378), WestX11 + 4374);
  // A sixth line that is no no-data line is data; the no-data value is then 0 (not the last one).
  ASSERT_TRUE(
      Open("ncols 2\nnrows 1\nxllcorner 672499.5\nyllcorner 253999.5\ncellsize 1\n7.5 8.5\n"));
  EXPECT_EQ(tile.NoDataValue, 0.0);
  EXPECT_EQ(Row(0, 7), (std::vector<double>{0, 0, 0, 0, 7.5, 8.5, 0}));
  // Absurd counts and coordinates are accepted without overflow; the data lies far away.
  ASSERT_TRUE(Open(Header(2000000000, 2000000000, -1e300, 1e300) + "1 2 3\n"));
  EXPECT_EQ(tile.FirstFileColumn(), std::int64_t{1} << 53);
  EXPECT_EQ(Row(0, 5), std::vector<double>(5, ND));
  tile.SkipRows(std::int64_t{1} << 40);
  EXPECT_TRUE(tile.AtEndOfData());
}

TEST_F(GridReader, refusesHeadersThatCannotPlaceTheDataAndThrowsOnValuesThatAreNoNumbers) {
  const std::string xy = "ncols 4\nnrows 3\nxllcorner 672499.5\nyllcorner 251000.5\n";
  for (const std::string& text : std::vector<std::string>{
           Header(0, 3, 672499.5, 251000.5), Header(4, -1, 672499.5, 251000.5), xy + "cellsize 0\n",
           xy + "cellsize -1\n", std::string("ncols 4\nnrows 3\nyllcorner 1\ncellsize 1\n"),
           "ncols 4\nnrows 3\nxllcorner inf\nyllcorner 1\ncellsize 1\n",
           "ncols 4\nnrows 3\nxllcorner 1\nyllcorner nan\ncellsize 1\n", std::string()}) {
    EXPECT_FALSE(Open(text)) << text;
  }
  EXPECT_TRUE(platform.messages.empty());  // the driver reports refused headers
  std::filesystem::remove(tile.FileName);
  EXPECT_FALSE(tile.ReadHeader());
  for (const auto& [text, value] : {std::pair<std::string, std::string>{"ncols 4x\n", "4x"},
                                    {"ncols 4\nnrows 99999999999\n", "99999999999"},
                                    {"ncols 4\nnrows 3\nxllcorner 672499,5\n", "672499,5"},
                                    {xy + "cellsize\n", ""},
                                    {xy + "cellsize 1\nnodata_value n/a\n", "n/a"}}) {
    const std::string what = NhmErrorOf([&] { Open(text); });
    for (const std::string& part : {tile.FileName, Msg(msgInvalidNumber), '"' + value + '"'}) {
      EXPECT_NE(what.find(part), std::string::npos) << what << " lacks " << part;
    }
  }
}

TEST_F(GridReader, floatGridsNeedBothFilesAndLeastSignificantByteFirst) {
  const std::string six = Header(2, 2, 672499.5, 253998.5);
  const std::string five = six.substr(0, six.find("nodata"));
  for (const std::string& good :
       {six + "byteorder lsbfirst\n", six + "BYTEORDER LSBFIRST\n", six + "byteorder I\n", six,
        six + "layout bil\n", five + "byteorder lsbfirst\n"}) {
    EXPECT_TRUE(Open(good, NhmFloatGrid)) << good;
  }
  EXPECT_TRUE(platform.messages.empty());
  for (const std::string order : {"MSBFIRST", "M", "bigendian", "", "msbfirst"}) {
    platform.Clear();
    EXPECT_FALSE(Open(six + "byteorder " + order + "\n", NhmFloatGrid)) << order;
    EXPECT_EQ(platform.Texts(), std::vector<std::string>{Msg(msgFltByteOrder)});
    EXPECT_EQ(platform.beeps, 1);
  }
  EXPECT_EQ(tile.MsbFirst, 1);
  EXPECT_FALSE(
      Open(five + "byteorder msbfirst\n", NhmFloatGrid));  // the sixth line without no-data
  ASSERT_TRUE(Open(six, NhmFloatGrid));
  std::filesystem::remove(tile.FltFileName);
  EXPECT_FALSE(tile.ReadHeader());
  WriteFloats(tile.FltFileName, {1, 2, 3, 4});
  tile.NhmFiletype = 7;
  EXPECT_FALSE(tile.ReadHeader());
}

TEST_F(GridReader, aDummyTileHasTheNominalHeaderAndReadsAsNoData) {
  Open("");
  tile.IsDummy = true;
  ASSERT_TRUE(tile.ReadHeader());
  EXPECT_EQ(tile.NCols, 4375);
  EXPECT_EQ(tile.NRows, 3000);
  EXPECT_EQ(tile.XllCorner, WestX11 - 0.5);
  EXPECT_EQ(tile.YllCorner, NorthY11 - 2999.5);
  for (int r = 0; r < 3000; ++r) {
    tile.SkipRow();
    const auto ring = tile.RowRing(tile.ReadRow(r));
    ASSERT_TRUE(std::all_of(ring.begin(), ring.end(), [](double v) { return v == ND; })) << r;
  }
  EXPECT_EQ(tile.RightColumns(2999)[3], ND);
  EXPECT_EQ(tile.BottomRows(0)[4000], ND);
}

TEST_F(GridReader, asciiRowsIgnoreLayoutAndReadBadOrNonFiniteValuesAsNoData) {
  ASSERT_TRUE(Open(HeaderAt(3, 3, 0, -1) + "1\t2\r\n   3 4 \r\n\r\n5\n6 \t 7 8\t9"));
  EXPECT_EQ(Row(0, 7), (std::vector<double>{-1, -1, -1, -1, 1, 2, 3}));
  EXPECT_EQ(Row(1, 7), (std::vector<double>{-1, -1, -1, -1, 4, 5, 6}));
  ASSERT_TRUE(Open(HeaderAt(5, 1, 0) + "nan inf -inf 1e999 3\n"));
  EXPECT_EQ(Row(0, 9), (std::vector<double>{ND, ND, ND, ND, ND, ND, ND, ND, 3}));
  // A bad value ends its row, with one message per tile.
  ASSERT_TRUE(Open(HeaderAt(4, 3, 0) + "1 2 x 4\n5 6,5 7 8\n9 10 11 12\n"));
  EXPECT_EQ(Row(0, 8), (std::vector<double>{ND, ND, ND, ND, 1, 2, ND, ND}));
  EXPECT_EQ(Row(1, 8), (std::vector<double>{ND, ND, ND, ND, 5, ND, ND, ND}));
  EXPECT_EQ(Row(2, 8), (std::vector<double>{ND, ND, ND, ND, 9, 10, 11, 12}));
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{"exception in row 0, col 6 of 0 - 3"});
  ASSERT_TRUE(Open(HeaderAt(4, 1, -2) + "1 2 3 x\n"));
  EXPECT_EQ(Row(7, 6), (std::vector<double>{ND, ND, ND, ND, 3, ND}));
  EXPECT_EQ(platform.Texts().back(), "exception in row 7, col 5 of 0 - 3");
  EXPECT_EQ(platform.beeps, 0);
  // Skipped rows are never parsed; skipping stops at the end.
  ASSERT_TRUE(Open(HeaderAt(2, 3, 0) + "1 2 bad 4\n5 6\n"));
  tile.SkipRow();
  tile.SkipRow();
  EXPECT_EQ(Row(2, 6), (std::vector<double>{ND, ND, ND, ND, 5, 6}));
  tile.SkipRows(1000000000);
  EXPECT_TRUE(tile.AtEndOfData());
  platform.Clear();
  tile.TakeTopNeighborRows();
  EXPECT_EQ(platform.Texts(), std::vector<std::string>{"Error: Tile has no top neighbor!"});
}

TEST_F(GridReader, floatRowsAreLittleEndianWidenedAndSkippingPastTheEndThrows) {
  ASSERT_TRUE(Open(HeaderAt(3, 2, 0) + "byteorder LSBFIRST\n", NhmFloatGrid,
                   {1.25f, -2.5f, 3.1f, 4, std::numeric_limits<float>::quiet_NaN(),
                    std::numeric_limits<float>::infinity()}));
  EXPECT_EQ(Row(0, 7),
            (std::vector<double>{ND, ND, ND, ND, 1.25, -2.5, static_cast<double>(3.1f)}));
  EXPECT_EQ(Row(1, 7), (std::vector<double>{ND, ND, ND, ND, 4, ND, ND}));
  EXPECT_EQ(Row(2, 5), std::vector<double>(5, ND));
  ASSERT_TRUE(Open(HeaderAt(3, 2, 0), NhmFloatGrid, {1, 2, 3, 4, 5}));
  tile.SkipRow();
  EXPECT_NE(NhmErrorOf([&] { tile.SkipRow(); }).find(tile.FltFileName), std::string::npos);
  ASSERT_TRUE(Open(HeaderAt(2000000000, 1, 0), NhmFloatGrid, {1, 2, 3}));
  EXPECT_THROW(tile.SkipRows(std::int64_t{1} << 40), ENhmError);
  ASSERT_TRUE(Open(HeaderAt(2000000000, 1, -1000000), NhmFloatGrid, {1, 2, 3}));
  EXPECT_EQ(Row(0, 5), std::vector<double>(5, ND));
}

// Tiny blocks put every token and every float on a block boundary sooner or later.
TEST_F(GridReader, valuesSplitAcrossBlocksReadWholeAndOverlongTokensAreBadValues) {
  std::string text;
  std::vector<double> expected;
  std::vector<float> floats;
  for (int i = 0; i < 200; ++i) {
    expected.push_back(i * 1.25 - 17.5);
    floats.push_back(static_cast<float>(expected.back()));
    text += Number(expected.back()) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "   " : "\t");
  }
  WriteText(dir.File("v.txt"), text);
  WriteFloats(dir.File("v.flt"), floats, 2);  // the last value is cut short
  for (const std::size_t block : {16, 17, 18, 19, 23}) {
    TAsciiGridReader ascii(TBlockFile::Open(dir.File("v.txt"), block));
    std::vector<double> row(200);
    ASSERT_TRUE(ascii.ReadRow(row, TRowPlacement::For(200, 0, 200), -1).Ok);
    EXPECT_EQ(row, expected) << block;
    EXPECT_TRUE(ascii.AtEnd());
    TFloatGridReader binary(TBlockFile::Open(dir.File("v.flt"), block), "v.flt");
    binary.ReadRow(row, TRowPlacement::For(200, 0, 200), 99);
    expected.back() = 99;
    EXPECT_EQ(row, expected) << block;
    expected.back() = 199 * 1.25 - 17.5;
  }
  WriteText(dir.File("long.txt"), "1 " + std::string(100, '7') + ".5 2 3");
  TAsciiGridReader reader(TBlockFile::Open(dir.File("long.txt"), 16));
  std::vector<double> row(2);
  EXPECT_TRUE(reader.ReadRow(row, TRowPlacement::For(1, 0, 2), -1).Ok);
  EXPECT_FALSE(reader.ReadRow(row, TRowPlacement::For(1, 0, 2), -1).Ok);
  EXPECT_EQ(row[0], -1);
  // A binary file read as a header is one endless line: cut, never held whole, nothing matches.
  WriteText(dir.File("junk.txt"), std::string(3 << 20, 'z'));
  auto file = TBlockFile::Open(dir.File("junk.txt"));
  EXPECT_EQ(ReadGridHeader(*file, true, "junk.txt").NCols, 0);
  EXPECT_TRUE(file->AtEnd());
}

TEST(GridNumber, fastAndGeneralPathsAgree) {
  for (const char* t : {"0", "-0", "1", "12.37", "-9999", "0.1", "123456789012345",
                        "1234567890123456", "3.40282e+38", "-3.4028234663852886e+38", "9999.9",
                        "0.000001", "1e-400", ".5", "7.", "2.5E-1"}) {
    double fast = 0, reference = 0;
    ASSERT_TRUE(ParseGridNumber(t, fast)) << t;
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
  EXPECT_EQ(v, -HUGE_VAL);
}

}  // namespace
}  // namespace qv::test
