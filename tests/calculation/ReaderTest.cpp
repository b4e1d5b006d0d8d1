// Grid headers, ASCII and float rows, block reading and grid numbers: the cases the mosaic of
// TilePassTest does not reach.
#include <gtest/gtest.h>

#include "Runs.h"
#include "calculation/AsciiGridReader.h"
#include "calculation/FloatGridReader.h"
#include "calculation/GridHeader.h"
#include "calculation/GridNumber.h"

namespace qv::test {
namespace {

constexpr double ND = NoData;

class GridReader : public ::testing::Test {
 protected:
  // Tile 1091-11 with an ASCII grid of the given text, or that .hdr and a .flt; the header read.
  bool Open(const std::string& text, bool binary = false,
            const std::vector<float>& flt = {1, 2, 3, 4}) {
    tile.WestX = WestX11;
    tile.NorthY = NorthY11;
    tile.NhmFiletype = binary ? NhmFloatGrid : NhmAsciiGrid;
    tile.FileName = tile.HdrFileName = run.dir.File("grid.hdr");
    tile.FltFileName = run.dir.File("grid.flt");
    WriteText(tile.FileName, text);
    if (binary) WriteFloats(tile.FltFileName, flt);
    const bool read = tile.ReadHeader();
    tile.AllocateBuffers();
    return read;
  }
  // Ring positions 0 .. count - 1 of the next row read.
  std::vector<double> Row(int r, int count) {
    const auto ring = tile.RowRing(tile.ReadRow(r));
    return {ring.begin(), ring.begin() + count};
  }

  TRun run;
  TTile tile;
};

// A file whose first column is tile column `first` (negative: west of the tile), its last row the
// tile's first.
std::string HeaderAt(int ncols, int nrows, int first, double noData = ND) {
  return Header(ncols, nrows, 672499.5 + first, 254000.5 - nrows, noData);
}

// Keys in any case, centres for corners and no-data values of their own come in the varied files
// of the oracle runs (Runs.h); not there: positions exactly between two columns.
TEST_F(GridReader, readsTheHeaderAndPlacesTheDataRoundingHalfToEven) {
  for (const auto& [xll, first] :
       {std::pair{672498.5, 1}, {672509.5, -10}, {672499.0, 0}, {672498.0, 2}, {672499.4, 0}}) {
    ASSERT_TRUE(Open(Header(4, 3, xll, 251000.5)));
    EXPECT_EQ(tile.FirstFileColumn(), first) << xll;
  }
  // A sixth line that is no no-data line is data, and the no-data value is 0, not the last one.
  ASSERT_TRUE(
      Open("ncols 2\nnrows 1\nxllcorner 672499.5\nyllcorner 253999.5\ncellsize 1\n7.5 8.5"));
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
           Header(0, 3, 1, 1), Header(4, -1, 1, 1), xy + "cellsize 0\n", xy + "cellsize -1\n", "",
           "ncols 4\nnrows 3\nyllcorner 1\ncellsize 1\n",
           "ncols 4\nnrows 3\nxllcorner inf\nyllcorner 1\ncellsize 1\n",
           "ncols 4\nnrows 3\nxllcorner 1\nyllcorner nan\ncellsize 1\n"}) {
    EXPECT_FALSE(Open(text)) << text;
  }
  std::filesystem::remove(tile.FileName);
  EXPECT_FALSE(tile.ReadHeader());
  EXPECT_TRUE(run.platform.messages.empty());  // the driver reports refused headers
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
  const std::string six = Header(2, 2, 672499.5, 253998.5), five = six.substr(0, six.find("nod"));
  for (const std::string& good :
       {six + "byteorder lsbfirst\n", six + "BYTEORDER LSBFIRST\n", six + "byteorder I\n", six,
        six + "layout bil\n", five + "byteorder lsbfirst\n"}) {
    EXPECT_TRUE(Open(good, true)) << good;
  }
  for (const std::string order : {"MSBFIRST", "M", "bigendian", "", "msbfirst"}) {
    EXPECT_FALSE(Open(six + "byteorder " + order + "\n", true)) << order;
  }
  EXPECT_EQ(tile.MsbFirst, 1);
  EXPECT_EQ(run.platform.Texts(), std::vector(5, Msg(msgFltByteOrder)));
  EXPECT_EQ(run.platform.beeps, 5);
  EXPECT_FALSE(Open(five + "byteorder msbfirst\n", true));  // the sixth line without no-data
  ASSERT_TRUE(Open(six, true));
  std::filesystem::remove(tile.FltFileName);
  EXPECT_FALSE(tile.ReadHeader());
  WriteFloats(tile.FltFileName, {1, 2, 3, 4});
  tile.NhmFiletype = 7;
  EXPECT_FALSE(tile.ReadHeader());
}

TEST_F(GridReader, asciiRowsReadBadOrNonFiniteValuesAsNoDataAndSkipWithoutParsing) {
  ASSERT_TRUE(Open(HeaderAt(5, 1, 0) + "nan inf -inf 1e999 3\n"));
  EXPECT_EQ(Row(0, 9), (std::vector<double>{ND, ND, ND, ND, ND, ND, ND, ND, 3}));
  // A bad value ends its row, with one message per tile.
  ASSERT_TRUE(Open(HeaderAt(4, 3, 0) + "1 2 x 4\n5 6,5 7 8\n9 10 11 12\n"));
  EXPECT_EQ(Row(0, 8), (std::vector<double>{ND, ND, ND, ND, 1, 2, ND, ND}));
  EXPECT_EQ(Row(1, 8), (std::vector<double>{ND, ND, ND, ND, 5, ND, ND, ND}));
  EXPECT_EQ(Row(2, 8), (std::vector<double>{ND, ND, ND, ND, 9, 10, 11, 12}));
  ASSERT_TRUE(Open(HeaderAt(4, 1, -2) + "1 2 3 x\n"));
  EXPECT_EQ(Row(7, 6), (std::vector<double>{ND, ND, ND, ND, 3, ND}));
  EXPECT_EQ(run.platform.Texts(), (std::vector<std::string>{"exception in row 0, col 6 of 0 - 3",
                                                            "exception in row 7, col 5 of 0 - 3"}));
  EXPECT_EQ(run.platform.beeps, 0);
  ASSERT_TRUE(Open(HeaderAt(2, 3, 0) + "1 2 bad 4\n5 6\n"));
  tile.SkipRow();
  tile.SkipRow();
  EXPECT_EQ(Row(2, 6), (std::vector<double>{ND, ND, ND, ND, 5, 6}));
  tile.SkipRows(1000000000);
  EXPECT_TRUE(tile.AtEndOfData());
  tile.TakeTopNeighborRows();
  EXPECT_EQ(run.platform.Texts().back(), "Error: Tile has no top neighbor!");
}

TEST_F(GridReader, floatRowsAreLittleEndianWidenedAndSkippingPastTheEndThrows) {
  ASSERT_TRUE(Open(HeaderAt(3, 2, 0), true, {1.25f, -2.5f, 3.1f, 4, NAN, HUGE_VALF}));
  EXPECT_EQ(Row(0, 7), (std::vector<double>{ND, ND, ND, ND, 1.25, -2.5, double{3.1f}}));
  EXPECT_EQ(Row(1, 7), (std::vector<double>{ND, ND, ND, ND, 4, ND, ND}));
  EXPECT_EQ(Row(2, 5), std::vector<double>(5, ND));
  ASSERT_TRUE(Open(HeaderAt(3, 2, 0), true, {1, 2, 3, 4, 5}));
  tile.SkipRow();
  EXPECT_NE(NhmErrorOf([&] { tile.SkipRow(); }).find(tile.FltFileName), std::string::npos);
  ASSERT_TRUE(Open(HeaderAt(2000000000, 1, 0), true, {1, 2, 3}));
  EXPECT_THROW(tile.SkipRows(std::int64_t{1} << 40), ENhmError);
  ASSERT_TRUE(Open(HeaderAt(2000000000, 1, -1000000), true, {1, 2, 3}));
  EXPECT_EQ(Row(0, 5), std::vector<double>(5, ND));
}

// Tiny blocks put every token and every float on a block boundary sooner or later.
TEST_F(GridReader, valuesSplitAcrossBlocksReadWholeAndOverlongTokensAreBadValues) {
  std::string text;
  std::vector<double> expected;
  for (int i = 0; i < 200; ++i) {
    expected.push_back(i * 1.25 - 17.5);
    text += Number(expected.back()) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "   " : "\t");
  }
  WriteText(run.dir.File("v.txt"), text);
  WriteFloats(run.dir.File("v.flt"), {expected.begin(), expected.end()}, 2);  // the last cut short
  const auto whole = TRowPlacement::For(200, 0, 200);
  for (const std::size_t block : {16, 17, 18, 19, 23}) {
    TAsciiGridReader ascii(TBlockFile::Open(run.dir.File("v.txt"), block));
    std::vector<double> row(200);
    ASSERT_TRUE(ascii.ReadRow(row, whole, -1).Ok);
    EXPECT_TRUE(row == expected && ascii.AtEnd()) << block;
    TFloatGridReader binary(TBlockFile::Open(run.dir.File("v.flt"), block), "v.flt");
    binary.ReadRow(row, whole, 99);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end() - 1, row.begin()) && row[199] == 99);
  }
  WriteText(run.dir.File("long.txt"), "1 " + std::string(100, '7') + ".5 2 3");
  TAsciiGridReader reader(TBlockFile::Open(run.dir.File("long.txt"), 16));
  std::vector<double> row(2);
  EXPECT_TRUE(reader.ReadRow(row, TRowPlacement::For(1, 0, 2), -1).Ok);
  EXPECT_FALSE(reader.ReadRow(row, TRowPlacement::For(1, 0, 2), -1).Ok);
  EXPECT_EQ(row[0], -1);
  // A binary file read as a header is one endless line: cut, never held whole, nothing matches.
  WriteText(run.dir.File("junk.txt"), std::string(3 << 20, 'z'));
  auto file = TBlockFile::Open(run.dir.File("junk.txt"));
  EXPECT_EQ(ReadGridHeader(*file, true, "junk.txt").NCols, 0);
  EXPECT_TRUE(file->AtEnd());
}

TEST(GridNumber, fastAndGeneralPathsAgree) {
  for (const char* t : {"0", "-0", "1", "12.37", "-9999", "0.1", "123456789012345",
                        "1234567890123456", "3.40282e+38", "-3.4028234663852886e+38", "9999.9",
                        "0.000001", "1e-400", ".5", "7.", "2.5E-1", "+1.5", "-1e999"}) {
    double fast = 0, reference = 0;
    ASSERT_TRUE(ParseGridNumber(t, fast)) << t;
    std::from_chars(t + (*t == '+'), t + std::strlen(t), reference);
    EXPECT_EQ(fast, std::strcmp(t, "-1e999") ? reference : -HUGE_VAL) << t;
  }
  double v = 0;
  for (const char* bad : {"", "-", "+", ".", "1,5", "1.2.3", "+-1", "--1", "0x10", "1e", "abc"}) {
    EXPECT_FALSE(ParseGridNumber(bad, v)) << bad;
  }
}

}  // namespace
}  // namespace qv::test
