#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "nhmgen/CommandLine.h"
#include "tools/TempDir.h"

namespace qv::nhmgen {
namespace {

CommandLine Parse(std::vector<std::string_view> args) { return ParseCommandLine(args); }

int RunProgram(std::vector<std::string_view> args, std::string& out, std::string& err) {
  std::ostringstream o, e;
  const int code = RunCommandLine(args, o, e);
  out = o.str();
  err = e.str();
  return code;
}

TEST(NhmgenCommandLine, readsEveryOption) {
  // clang-format off
  const CommandLine cl = Parse({"--seed", "18446744073709551615", "--map", "1091", "--tile", "23",
                                "--cols=2", "--rows", "3", "--window", "-4,10,300,4383",
                                "--format", "flt", "--prefix", "mnh", "--separator", "-",
                                "--suffix", "", "--ext", ".HDR", "--out", "o", "--stats"});
  // clang-format on
  const BlockRequest& r = cl.Request;
  EXPECT_EQ(r.Seed, 18446744073709551615ull);
  EXPECT_EQ(r.FirstTile, (TileId{1091, 23}));
  EXPECT_EQ(r.Cols, 2);
  EXPECT_EQ(r.Rows, 3);
  EXPECT_EQ(r.Window.FirstRow, -4);
  EXPECT_EQ(r.Window.FirstCol, 10);
  EXPECT_EQ(r.Window.Rows, 300);
  EXPECT_EQ(r.Window.Cols, 4383);
  EXPECT_EQ(r.Format, GridFormat::Flt);
  EXPECT_EQ(r.Naming.Prefix, "mnh");
  EXPECT_EQ(r.Naming.Separator, "-");
  EXPECT_EQ(r.Naming.Suffix, "");
  EXPECT_EQ(r.Naming.Extension, ".HDR");
  EXPECT_EQ(r.OutputDirectory, "o");
  EXPECT_TRUE(cl.PrintStatistics);
}

TEST(NhmgenCommandLine, defaultsToOneWholeAsciiTile) {
  const CommandLine cl = Parse({"--map", "1105", "--tile", "22"});
  EXPECT_EQ(cl.Request.Cols, 1);
  EXPECT_EQ(cl.Request.Window.Rows, TileRows);
  EXPECT_EQ(cl.Request.Window.Cols, TileCols);
  EXPECT_EQ(cl.Request.Format, GridFormat::Ascii);
  EXPECT_EQ(TileFileName(cl.Request.Naming, cl.Request.FirstTile), "110522_dhm_grid1.txt");
  EXPECT_FALSE(cl.PrintStatistics);
  EXPECT_EQ(Parse({"--map", "1105", "--tile", "22", "--format", "flt"}).Request.Naming.Extension,
            ".hdr");
}

TEST(NhmgenCommandLine, refusesBadInput) {
  for (const std::vector<std::string_view>& args : std::vector<std::vector<std::string_view>>{
           {"--tile", "11"},
           {"--map", "1091"},
           {"--map", "1091", "--tile", "15"},
           {"--map", "1091x", "--tile", "11"},
           {"--map", "1091", "--tile", "11", "--seed", "-1"},
           {"--map", "1091", "--tile", "11", "--window", "1,2,3"},
           {"--map", "1091", "--tile", "11", "--window", "1,2,0,4"},
           {"--map", "1091", "--tile", "11", "--window", "1,2,3,4,5"},
           {"--map", "1091", "--tile", "11", "--format", "tiff"},
           {"--map", "1091", "--tile", "11", "--cols", "0"},
           {"--map", "1099", "--tile", "22", "--cols", "2"},
           {"--map", "1091", "--tile", "11", "--colour", "red"},
           {"--map", "1091", "--tile"}}) {
    EXPECT_THROW(Parse(args), std::invalid_argument) << args.size() << " " << args.back();
  }
}

TEST(NhmgenCommandLine, programWritesFilesAndStatistics) {
  test::TempDir dir;
  std::string out, err;
  const int code = RunProgram(
      {"--map", "1091", "--tile", "11", "--window", "0,0,20,4375", "--out", dir.Str(), "--stats"},
      out, err);
  EXPECT_EQ(code, 0) << err;
  EXPECT_TRUE(std::filesystem::exists(dir / "109111_dhm_grid1.txt"));
  EXPECT_NE(out.find("high share: "), std::string::npos) << out;
  EXPECT_NE(out.find("runs per row: "), std::string::npos) << out;
  EXPECT_NE(out.find("no-data share: "), std::string::npos) << out;
  EXPECT_TRUE(err.empty());
}

TEST(NhmgenCommandLine, programReportsUsageAndFailures) {
  std::string out, err;
  EXPECT_EQ(RunProgram({"--map", "1091"}, out, err), 2);
  EXPECT_NE(err.find("usage: nhmgen"), std::string::npos);
  EXPECT_EQ(RunProgram({"--help"}, out, err), 0);
  EXPECT_NE(out.find("usage: nhmgen"), std::string::npos);

  test::TempDir dir;
  const std::string blocker = dir / "file";
  { std::ofstream(blocker) << "x"; }
  EXPECT_EQ(RunProgram({"--map", "1091", "--tile", "11", "--window", "0,0,1,1", "--out", blocker},
                       out, err),
            1);
  EXPECT_NE(err.find("nhmgen: "), std::string::npos);
}

}  // namespace
}  // namespace qv::nhmgen
