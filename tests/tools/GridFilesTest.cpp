#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "nhmgen/NhmGenerator.h"
#include "tools/TempDir.h"

namespace qv::nhmgen {
namespace {

using test::ReadWholeFile;
using test::TempDir;

struct Header {
  std::vector<std::string> Keys;
  std::vector<std::string> Values;
  std::size_t End = 0;  // offset of the first data byte
};

// A grid header read the simple way: `lines` lines of a key, blanks and a value.
Header ReadHeader(const std::string& text, int lines) {
  Header h;
  for (int k = 0; k < lines; ++k) {
    const auto eol = text.find('\n', h.End);
    std::istringstream line(text.substr(h.End, eol - h.End));
    std::string key, value;
    line >> key >> value;
    h.Keys.push_back(key);
    h.Values.push_back(value);
    h.End = eol + 1;
  }
  return h;
}

std::vector<double> ReadAsciiValues(const std::string& text, std::size_t from) {
  std::vector<double> values;
  const char* p = text.data() + from;
  const char* end = text.data() + text.size();
  while (true) {
    while (p < end && (*p == ' ' || *p == '\n')) ++p;
    if (p == end) return values;
    double v = 0.0;
    const auto result = std::from_chars(p, end, v);
    if (result.ec != std::errc()) {
      ADD_FAILURE() << "not a number at offset " << (p - text.data());
      return values;
    }
    values.push_back(v);
    p = result.ptr;
  }
}

// A request for one tile, or a block of tiles starting at it.
BlockRequest Request(const std::string& dir, std::uint64_t seed, TileId tile, DataWindow window) {
  BlockRequest request;
  request.Seed = seed;
  request.FirstTile = tile;
  request.Window = window;
  request.OutputDirectory = dir;
  return request;
}

// Row and column of some no-data cell of the tile, or -1, -1.
std::pair<int, int> FindNoDataCell(std::uint64_t seed, TileId tile) {
  for (int row = 0; row < TileRows; row += 10) {
    const auto values = TileValues(seed, tile, {row, 0, 1, TileCols});
    const auto hole = std::find(values.begin(), values.end(), NoDataValue);
    if (hole != values.end()) return {row, static_cast<int>(hole - values.begin())};
  }
  return {-1, -1};
}

TEST(NhmgenFiles, asciiWindowReadsBackWithHeaderAndValues) {
  TempDir dir;
  BlockRequest request = Request(dir.Str(), 4, {1091, 23}, {10, 20, 5, 7});
  request.Naming.Prefix = "mnh";
  request.Naming.Separator = "-";
  const BlockResult result = WriteBlock(request);
  ASSERT_EQ(result.Files, std::vector<std::string>{dir / "mnh1091-23_dhm_grid1.txt"});

  const std::string text = ReadWholeFile(result.Files[0]);
  const Header h = ReadHeader(text, 6);
  EXPECT_EQ(h.Keys, (std::vector<std::string>{"ncols", "nrows", "xllcorner", "yllcorner",
                                              "cellsize", "NODATA_value"}));
  EXPECT_EQ(h.Values, (std::vector<std::string>{"7", "5", "681269.5", "250985.5", "1", "-9999"}));
  EXPECT_EQ(ReadAsciiValues(text, h.End), TileValues(4, {1091, 23}, request.Window));
  // One line per row, values with exactly two decimals.
  EXPECT_EQ(std::count(text.begin() + static_cast<std::ptrdiff_t>(h.End), text.end(), '\n'), 5);
  const auto firstValue = text.substr(h.End, text.find(' ', h.End) - h.End);
  EXPECT_EQ(firstValue.size() - firstValue.find('.'), 3u) << firstValue;
}

TEST(NhmgenFiles, asciiRowsMatchAcrossWriteBands) {
  // More rows than the writer renders at once, with no-data inside the window.
  TempDir dir;
  const auto [row, col] = FindNoDataCell(1, {1091, 11});
  ASSERT_GE(row, 0);
  const BlockRequest request =
      Request(dir.Str(), 1, {1091, 11}, {std::max(row - 150, 0), std::max(col - 30, 0), 300, 60});
  const NhmStatistics s = WindowStatistics(request.Seed, request.FirstTile, request.Window);
  ASSERT_GT(s.NoDataCells, 0);
  const BlockResult result = WriteBlock(request);
  const std::string text = ReadWholeFile(result.Files.at(0));
  const std::size_t dataStart = ReadHeader(text, 6).End;
  EXPECT_NE(text.find("-9999", dataStart), std::string::npos);
  EXPECT_EQ(text.find("-9999."), std::string::npos);
  EXPECT_EQ(ReadAsciiValues(text, dataStart), TileValues(1, request.FirstTile, request.Window));
  EXPECT_EQ(result.Statistics.NoDataCells, s.NoDataCells);
  EXPECT_EQ(result.Statistics.Runs, s.Runs);
}

TEST(NhmgenFiles, fltIsLittleEndianFloatsWithAByteOrderLine) {
  TempDir dir;
  BlockRequest request = Request(dir.Str(), 9, {1091, 44}, {2990, 4370, 10, 5});
  request.Format = GridFormat::Flt;
  request.Naming.Extension = ".hdr";
  const BlockResult result = WriteBlock(request);
  ASSERT_EQ(result.Files,
            (std::vector<std::string>{dir / "109144_dhm_grid1.hdr", dir / "109144_dhm_grid1.flt"}));

  const std::string hdr = ReadWholeFile(result.Files[0]);
  const Header h = ReadHeader(hdr, 7);
  EXPECT_EQ(h.Values[0], "5");
  EXPECT_EQ(h.Values[1], "10");
  EXPECT_EQ(h.Keys[6], "byteorder");
  EXPECT_EQ(h.Values[6], "LSBFIRST");
  EXPECT_EQ(h.End, hdr.size());

  const std::string flt = ReadWholeFile(result.Files[1]);
  const auto expected = TileValues(9, request.FirstTile, request.Window);
  ASSERT_EQ(flt.size(), expected.size() * 4);
  for (std::size_t k = 0; k < expected.size(); ++k) {
    std::uint32_t bits = 0;
    for (int b = 3; b >= 0; --b) {
      bits = (bits << 8) | static_cast<unsigned char>(flt[4 * k + static_cast<std::size_t>(b)]);
    }
    EXPECT_EQ(std::bit_cast<float>(bits), static_cast<float>(expected[k])) << k;
  }
}

TEST(NhmgenFiles, headerNumbersStayInPlainNotation) {
  // The shortest text of 100000.0 would be "1e+05".
  TempDir dir;
  const BlockResult result =
      WriteBlock(Request(dir.Str(), 1, {1000, 11}, {-100000 + 1, 0, 1, 100000}));
  const Header h = ReadHeader(ReadWholeFile(result.Files.at(0)), 6);
  EXPECT_EQ(h.Values[0], "100000");
  EXPECT_EQ(h.Values[1], "1");
  EXPECT_EQ(h.Values[2], "479999.5");
  EXPECT_EQ(h.Values[3], "401998.5");  // one row centred 99999 m north of the tile's first
}

TEST(NhmgenFiles, blockWritesEveryTileUnderItsOwnName) {
  TempDir dir;
  BlockRequest request = Request(dir / "new/sub", 1, {1091, 22}, {0, 0, 2, 3});
  request.Cols = 2;
  request.Rows = 2;
  request.Naming.Separator = "_";
  const BlockResult result = WriteBlock(request);
  const std::vector<std::string> expected{
      dir / "new/sub/1091_22_dhm_grid1.txt", dir / "new/sub/1092_11_dhm_grid1.txt",
      dir / "new/sub/1091_24_dhm_grid1.txt", dir / "new/sub/1092_13_dhm_grid1.txt"};
  EXPECT_EQ(result.Files, expected);
  for (const auto& f : expected) EXPECT_TRUE(std::filesystem::exists(f)) << f;
  EXPECT_EQ(result.Statistics.Cells, 4 * 6);
  EXPECT_EQ(result.Statistics.Rows, 4 * 2);
}

TEST(NhmgenFiles, failedWriteThrowsAndLeavesNoFile) {
  TempDir dir;
  // The output "directory" is an existing plain file.
  const std::string blocker = dir / "file";
  { std::ofstream(blocker) << "x"; }
  EXPECT_THROW(WriteBlock(Request(blocker, 1, {1091, 11}, {0, 0, 2, 2})), std::runtime_error);
  if (std::filesystem::exists("/dev/full")) {
    // A device that refuses every write: the data must not survive as a short file.
    std::vector<std::string> written;
    const std::string target = dir / "full.txt";
    std::filesystem::create_symlink("/dev/full", target);
    EXPECT_THROW(
        WriteTileFiles(1, {1091, 11}, {0, 0, 200, 4375}, GridFormat::Ascii, target, written),
        std::runtime_error);
    EXPECT_TRUE(written.empty());
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(target)));
  }
}

}  // namespace
}  // namespace qv::nhmgen
