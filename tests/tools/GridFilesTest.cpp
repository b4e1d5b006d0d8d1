// The generator's files, as the library's readers and the other tests read them: ESRI ASCII grids
// and .hdr/.flt float grids holding exactly the generated values, named as the dialog names
// tiles, and the command line that writes them (which the demo and the 32-bit check use).
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "nhmgen/CommandLine.h"
#include "nhmgen/NhmGenerator.h"
#include "TempDir.h"

namespace qv::nhmgen {
namespace {

using test::ReadFile;
using test::TTempDir;

struct Header {
  std::vector<std::string> Values;
  std::string LastKey;
  std::size_t End = 0;  // offset of the first data byte
};

// A grid header read the simple way: `lines` lines of a key, blanks and a value.
Header ReadHeader(const std::string& text, int lines) {
  Header h;
  for (int k = 0; k < lines; ++k) {
    const auto eol = text.find('\n', h.End);
    std::istringstream line(text.substr(h.End, eol - h.End));
    std::string value;
    line >> h.LastKey >> value;
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
    if (result.ec != std::errc()) return values;
    values.push_back(v);
    p = result.ptr;
  }
}

BlockRequest Request(const std::string& dir, std::uint64_t seed, TileId tile, DataWindow window) {
  BlockRequest request;
  request.Seed = seed;
  request.FirstTile = tile;
  request.Window = window;
  request.OutputDirectory = dir;
  return request;
}

TEST(NhmgenFiles, asciiGridsHoldTheValuesUnderTheirHeader) {
  TTempDir dir;
  // More rows than the writer renders at once, with no-data cells inside the window.
  BlockRequest request = Request(dir.File(""), 2, {1091, 23}, {1500, 700, 300, 600});
  request.Naming.Prefix = "mnh";
  request.Naming.Separator = "-";
  const BlockResult result = WriteBlock(request);
  ASSERT_EQ(result.Files, std::vector<std::string>{dir.File("mnh1091-23_dhm_grid1.txt")});
  const std::string text = ReadFile(result.Files[0]);
  const Header h = ReadHeader(text, 6);
  EXPECT_EQ(h.Values, (std::vector<std::string>{"600", "300", "681949.5", "249200.5", "1",
                                                "-9999"}));
  const auto expected = TileValues(2, {1091, 23}, request.Window);
  EXPECT_EQ(ReadAsciiValues(text, h.End), expected);
  EXPECT_GT(std::count(expected.begin(), expected.end(), NoDataValue), 0);
  EXPECT_EQ(std::count(text.begin() + static_cast<std::ptrdiff_t>(h.End), text.end(), '\n'), 300);
  EXPECT_EQ(result.Statistics.Cells, 300 * 600);

  // Header numbers stay in plain notation (the shortest text of 100000.0 is "1e+05").
  const BlockResult wide =
      WriteBlock(Request(dir.File("wide"), 1, {1000, 11}, {-100000 + 1, 0, 1, 100000}));
  EXPECT_EQ(ReadHeader(ReadFile(wide.Files.at(0)), 6).Values,
            (std::vector<std::string>{"100000", "1", "479999.5", "401998.5", "1", "-9999"}));
}

TEST(NhmgenFiles, floatGridsAreLittleEndianWithAByteOrderLineAndBlocksNameEveryTile) {
  TTempDir dir;
  BlockRequest request = Request(dir.File("new/sub"), 9, {1091, 22}, {2990, 4370, 10, 5});
  request.Format = GridFormat::Flt;
  request.Naming.Extension = ".hdr";
  request.Naming.Separator = "_";
  request.Cols = 2;
  request.Rows = 2;
  const BlockResult result = WriteBlock(request);
  std::vector<std::string> expected;
  for (const char* tile : {"1091_22", "1092_11", "1091_24", "1092_13"}) {
    for (const char* ext : {".hdr", ".flt"}) {
      expected.push_back(dir.File("new/sub/" + std::string(tile) + "_dhm_grid1" + ext));
    }
  }
  ASSERT_EQ(result.Files, expected);

  const std::string hdr = ReadFile(result.Files[0]);
  const Header h = ReadHeader(hdr, 7);
  EXPECT_EQ(h.Values[0], "5");
  EXPECT_EQ(h.Values[1], "10");
  EXPECT_EQ(h.LastKey + " " + h.Values[6], "byteorder LSBFIRST");
  EXPECT_EQ(h.End, hdr.size());
  const std::string flt = ReadFile(result.Files[1]);
  const auto values = TileValues(9, request.FirstTile, request.Window);
  ASSERT_EQ(flt.size(), values.size() * 4);
  for (std::size_t k = 0; k < values.size(); ++k) {
    std::uint32_t bits = 0;
    for (int b = 3; b >= 0; --b) {
      bits = (bits << 8) | static_cast<unsigned char>(flt[4 * k + static_cast<std::size_t>(b)]);
    }
    EXPECT_EQ(std::bit_cast<float>(bits), static_cast<float>(values[k])) << k;
  }
}

int RunProgram(std::vector<std::string_view> args, std::string& out, std::string& err) {
  std::ostringstream o, e;
  const int code = RunCommandLine(args, o, e);
  out = o.str();
  err = e.str();
  return code;
}

TEST(NhmgenCommandLine, writesWhatItIsAskedAndRefusesTheRest) {
  TTempDir dir;
  std::string out, err;
  EXPECT_EQ(RunProgram({"--seed", "18446744073709551615", "--map", "1091", "--tile", "11",
                        "--window", "-4,10,20,4383", "--format", "flt", "--prefix", "mnh",
                        "--separator=-", "--suffix", "", "--out", dir.File(""), "--stats"},
                       out, err),
            0)
      << err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("mnh1091-11.flt")));
  EXPECT_NE(out.find("runs per row: "), std::string::npos) << out;
  // LV95 headers: the same values, the corner shifted.
  EXPECT_EQ(RunProgram({"--map", "1091", "--tile", "11", "--window", "2,3,2,2", "--frame", "lv95",
                        "--out", dir.File("95")},
                       out, err),
            0);
  EXPECT_NE(ReadFile(dir.File("95/109111_dhm_grid1.txt"))
                .find("\nxllcorner     2672502.5\nyllcorner     1253996.5\n"),
            std::string::npos);
  EXPECT_EQ(RunProgram({"--help"}, out, err), 0);
  EXPECT_NE(out.find("usage: nhmgen"), std::string::npos);
  for (const std::vector<std::string_view>& args : std::vector<std::vector<std::string_view>>{
           {"--map", "1091"},
           {"--map", "1091x", "--tile", "11"},
           {"--map", "1091", "--tile", "11", "--window", "1,2,0,4"},
           {"--map", "1099", "--tile", "22", "--cols", "2"},
           {"--map", "1091", "--tile"},
           {"--map", "1091", "--tile", "11", "--frame", "lv9"}}) {
    EXPECT_EQ(RunProgram(args, out, err), 2) << args.size() << " " << args.back();
    EXPECT_NE(err.find("usage: nhmgen"), std::string::npos);
  }
  { std::ofstream(dir.File("file")) << "x"; }
  EXPECT_EQ(RunProgram({"--map", "1091", "--tile", "11", "--window", "0,0,1,1", "--out",
                        dir.File("file")},
                       out, err),
            1);
}

}  // namespace
}  // namespace qv::nhmgen
