#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingPlatform.h"
#include "TileFiles.h"
#include "calculation/Tile.h"
#include "dialog/languages/Languages.h"

namespace qv {
namespace {

class GridHeader : public ::testing::Test {
 protected:
  void SetUp() override { SetLanguage(LanguageEnglish); }

  // Reads the header of an ASCII grid with the given text.
  bool Read(const std::string& text) {
    WriteAscii(text);
    return tile.ReadHeader();
  }
  void WriteAscii(const std::string& text) {
    const std::string name = dir.File("grid.txt");
    test::WriteText(name, text);
    test::PlaceTestTile(tile, NhmAsciiGrid, name);
  }
  // Reads the header of a binary grid with the given .hdr text and data.
  bool ReadBinary(const std::string& hdr, const std::vector<float>& data = {1, 2, 3, 4}) {
    const std::string name = dir.File("grid.hdr");
    test::WriteText(name, hdr);
    test::PlaceTestTile(tile, NhmFloatGrid, name);
    test::WriteFloats(tile.FltFileName, data);
    return tile.ReadHeader();
  }

  test::RecordingPlatform platform;
  test::TTempDir dir;
  TTile tile;
};

TEST_F(GridHeader, readsCornerValuesAndDerivesTheDataRectangle) {
  ASSERT_TRUE(Read(test::Header(4, 3, 672499.5, 251000.5) + "1 2 3 4\n"));
  EXPECT_EQ(tile.NCols, 4);
  EXPECT_EQ(tile.NRows, 3);
  EXPECT_EQ(tile.XllCorner, 672499.5);
  EXPECT_EQ(tile.YllCorner, 251000.5);
  EXPECT_EQ(tile.CellSize, 1.0);
  EXPECT_EQ(tile.NoDataValue, -9999.0);
  EXPECT_EQ(tile.RingIndex, -1);
  EXPECT_EQ(test::Edges(tile.DataRect), (std::array{672499.5, 251003.5, 672503.5, 251000.5}));
  EXPECT_EQ(tile.FirstFileColumn(), 0);
}

TEST_F(GridHeader, centreValuesAreTurnedIntoCornersAndUpperCaseKeysAreRecognised) {
  ASSERT_TRUE(
      Read("NCOLS 4\r\nNRows 3\r\nXLLCENTER 672500\r\nYllCenter 251001\r\n"
           "CELLSIZE 1\r\nNODATA_value -1\r\n"));
  EXPECT_EQ(tile.XllCorner, 672499.5);
  EXPECT_EQ(tile.YllCorner, 251000.5);
  EXPECT_EQ(tile.NoDataValue, -1.0);
  EXPECT_EQ(tile.FirstFileColumn(), 0);  // centre = WestX is aligned like corner = WestX - 0.5
}

TEST_F(GridHeader, firstFileColumnRoundsTheOffsetHalfToEven) {
  struct TCase {
    double xll;
    std::int64_t first;
  } cases[] = {{672498.5, 1}, {672509.5, -10}, {672499.0, 0}, {672498.0, 2}, {672499.4, 0}};
  for (const auto& c : cases) {
    ASSERT_TRUE(Read(test::Header(4, 3, c.xll, 251000.5)));
    EXPECT_EQ(tile.FirstFileColumn(), c.first) << c.xll;
  }
  EXPECT_EQ(tile.ColumnX(4), 672500);
  EXPECT_EQ(tile.ColumnX(0), 672496);
  EXPECT_EQ(tile.ColumnX(4378), 672500 + 4374);
}

// Header fields are reset before each read: no trace of the earlier -5 remains.
TEST_F(GridHeader, aSixthLineThatIsNotNodataStaysDataAndNoDataIsZero) {
  ASSERT_TRUE(Read(test::Header(4, 3, 672499.5, 251000.5, -5)));
  EXPECT_EQ(tile.NoDataValue, -5.0);
  ASSERT_TRUE(
      Read("ncols 2\nnrows 1\nxllcorner 672499.5\nyllcorner 253999.5\ncellsize 1\n7.5 8.5\n"));
  EXPECT_EQ(tile.NoDataValue, 0.0);
  tile.AllocateBuffers();
  const auto ring = tile.RowRing(tile.ReadRow(0));
  EXPECT_EQ(ring[4], 7.5);
  EXPECT_EQ(ring[5], 8.5);
  EXPECT_EQ(ring[6], 0.0);
}

TEST_F(GridHeader, refusesHeadersThatCannotPlaceTheData) {
  EXPECT_FALSE(Read(test::Header(0, 3, 672499.5, 251000.5)));
  EXPECT_FALSE(Read(test::Header(4, -1, 672499.5, 251000.5)));
  EXPECT_FALSE(Read("ncols 4\nnrows 3\nxllcorner 672499.5\nyllcorner 251000.5\ncellsize 0\n"));
  EXPECT_FALSE(Read("ncols 4\nnrows 3\nxllcorner 672499.5\nyllcorner 251000.5\ncellsize -1\n"));
  // A missing coordinate line, or a coordinate that is not finite.
  EXPECT_FALSE(Read("ncols 4\nnrows 3\nyllcorner 251000.5\ncellsize 1\nnodata_value 0\n"));
  EXPECT_FALSE(Read("ncols 4\nnrows 3\nxllcorner inf\nyllcorner 251000.5\ncellsize 1\n"));
  EXPECT_FALSE(Read("ncols 4\nnrows 3\nxllcorner 672499.5\nyllcorner nan\ncellsize 1\n"));
  EXPECT_FALSE(Read(""));
  // Nothing was shown: the driver reports failed headers.
  EXPECT_TRUE(platform.messages.empty());
  // And a missing file.
  test::PlaceTestTile(tile, NhmAsciiGrid, dir.File("missing.txt"));
  EXPECT_FALSE(tile.ReadHeader());
}

TEST_F(GridHeader, aValueThatIsNotANumberThrowsNamingTheFileAndTheValue) {
  const std::string xy = "ncols 4\nnrows 3\nxllcorner 672499.5\nyllcorner 251000.5\n";
  const std::pair<std::string, std::string> bad[] = {
      {"ncols 4x\nnrows 3\n", "4x"},
      {"ncols 4\nnrows 99999999999\n", "99999999999"},
      {"ncols 4\nnrows 3\nxllcorner 672499,5\n", "672499,5"},
      {xy + "cellsize\n", ""},
      {xy + "cellsize 1\nnodata_value n/a\n", "n/a"}};
  for (const auto& [text, value] : bad) {
    WriteAscii(text);
    const std::string what = test::NhmErrorOf([&] { (void)tile.ReadHeader(); });
    for (const std::string& part : {tile.FileName, Msg(msgInvalidNumber), '"' + value + '"'}) {
      EXPECT_NE(what.find(part), std::string::npos) << what << " lacks " << part;
    }
  }
}

TEST_F(GridHeader, absurdCountsAndCoordinatesAreAcceptedWithoutOverflow) {
  ASSERT_TRUE(Read(test::Header(2000000000, 2000000000, -1e300, 1e300) + "1 2 3\n"));
  EXPECT_EQ(tile.NCols, 2000000000);
  EXPECT_EQ(tile.FirstFileColumn(), std::int64_t{1} << 53);
  tile.AllocateBuffers();
  const auto ring = tile.RowRing(tile.ReadRow(0));
  EXPECT_EQ(ring[4], -9999.0);           // the file lies far west of the tile
  tile.SkipRows(std::int64_t{1} << 40);  // ends with the file
  EXPECT_TRUE(tile.AtEndOfData());
}

TEST_F(GridHeader, binaryHeaderByteOrderSpellings) {
  const std::string six = test::Header(2, 2, 672499.5, 253998.5);
  EXPECT_TRUE(ReadBinary(six + "byteorder lsbfirst\n"));
  EXPECT_TRUE(ReadBinary(six + "BYTEORDER LSBFIRST\n"));
  EXPECT_TRUE(ReadBinary(six + "byteorder I\n"));
  EXPECT_TRUE(ReadBinary(six));                   // no seventh line
  EXPECT_TRUE(ReadBinary(six + "layout bil\n"));  // another key
  EXPECT_EQ(tile.MsbFirst, 0);
  EXPECT_EQ(platform.beeps, 0);
  EXPECT_TRUE(platform.messages.empty());

  for (const std::string order : {"MSBFIRST", "msbfirst", "M", "bigendian", ""}) {
    platform.Clear();
    EXPECT_FALSE(ReadBinary(six + "byteorder " + order + "\n")) << order;
    EXPECT_EQ(platform.beeps, 1);
    ASSERT_EQ(platform.Texts(), std::vector<std::string>{Msg(msgFltByteOrder)});
  }
  ReadBinary(six + "byteorder msbfirst\n");
  EXPECT_EQ(tile.MsbFirst, 1);
  // Without the no-data line the byte order is the sixth line.
  const std::string five = "ncols 2\nnrows 2\nxllcorner 672499.5\nyllcorner 253998.5\ncellsize 1\n";
  EXPECT_FALSE(ReadBinary(five + "byteorder msbfirst\n"));
  EXPECT_TRUE(ReadBinary(five + "byteorder lsbfirst\n"));
}

TEST_F(GridHeader, binaryNeedsBothFiles) {
  const std::string name = dir.File("grid.hdr");
  test::WriteText(name, test::Header(2, 2, 672499.5, 253998.5));
  test::PlaceTestTile(tile, NhmFloatGrid, name);
  EXPECT_FALSE(tile.ReadHeader());  // no .flt
  test::WriteFloats(tile.FltFileName, {1, 2, 3, 4});
  EXPECT_TRUE(tile.ReadHeader());
  tile.NhmFiletype = 7;
  EXPECT_FALSE(tile.ReadHeader());
}

TEST_F(GridHeader, aDummyTileGetsTheNominalHeaderAndReadsAsNoDataEverywhere) {
  test::PlaceTestTile(tile, NhmAsciiGrid, dir.File("missing.txt"));
  tile.IsDummy = true;
  ASSERT_TRUE(tile.ReadHeader());
  EXPECT_EQ(tile.NCols, 4375);
  EXPECT_EQ(tile.NRows, 3000);
  EXPECT_EQ(tile.CellSize, 1.0);
  EXPECT_EQ(tile.NoDataValue, -9999.0);
  EXPECT_EQ(tile.XllCorner, tile.WestX - 0.5);
  EXPECT_EQ(tile.YllCorner, tile.NorthY - 2999.5);
  EXPECT_EQ(tile.FirstFileColumn(), 0);
  tile.AllocateBuffers();
  for (int r = 0; r < 3000; ++r) {
    tile.SkipRow();
    const auto ring = tile.RowRing(tile.ReadRow(r));
    ASSERT_TRUE(std::all_of(ring.begin(), ring.end(), [](double v) { return v == -9999.0; }));
  }
  EXPECT_EQ(tile.RightColumns(2999)[3], -9999.0);
  EXPECT_EQ(tile.BottomRows(0)[4000], -9999.0);
}

}  // namespace
}  // namespace qv
