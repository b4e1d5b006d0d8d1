// quelvaris-host --tiles: the layout a tile-preparing tool relies on, parsed from the command line
// as the program parses it. The numbers are those of the sheet grid; the frame and the naming must
// be the run's own, or prepared tiles would not be found.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "TempDir.h"
#include "host/HostCommandLine.h"
#include "host/TileLayout.h"

namespace qv::host {
namespace {

struct TOutcome {
  int Exit = -1;
  std::string Out, Err;
};

TOutcome Tiles(const std::vector<std::string_view>& args) {
  std::vector<std::string_view> all(args.size() + 1, "--tiles");
  std::copy(args.begin(), args.end(), all.begin() + 1);
  TOutcome o;
  std::ostringstream out, err;
  o.Exit = PrintTileLayout(ParseHostCommandLine(all), out, err);
  o.Out = out.str();
  o.Err = err.str();
  return o;
}

TEST(TileLayoutMode, laysOutBothFramesOnTheSameSheetsWithTheDialogsNames) {
  const auto lv03 = Tiles({"674875", "678875", "249500", "252500"});
  const auto lv95 = Tiles({"2674875", "2678875", "1249500", "1252500"});
  ASSERT_EQ(lv95.Exit, 0) << lv95.Err;
  const std::string tile14 =
      R"({"map": 1091, "tile": 14, "row": 1, "column": 1, "stem": "109114_dhm_grid1", )"
      R"("files": ["109114_dhm_grid1.txt"], "xllcorner": 2676874.5, "yllcorner": 1248000.5, )"
      R"("ncols": 4375, "nrows": 3000, "cellsize": 1}]})";
  EXPECT_TRUE(lv95.Out.starts_with(
      R"({"frame": "LV95", "filetype": "ascii", "columns": 2, "rows": 2, "tiles": [)"))
      << lv95.Out;
  EXPECT_NE(lv95.Out.find("\n  " + tile14 + "\n"), std::string::npos) << lv95.Out;
  // LV03 differs only in the frame and the corners.
  std::string shifted = lv03.Out;
  for (const auto& [from, to] : {std::pair{"LV03", "LV95"}, {"\"xllcorner\": 6", "\"xllcorner\": 26"},
                                 {"\"yllcorner\": 2", "\"yllcorner\": 12"}}) {
    for (auto at = shifted.find(from); at != std::string::npos; at = shifted.find(from, at))
      shifted.replace(at, std::string_view(from).size(), to);
  }
  EXPECT_EQ(shifted, lv95.Out);

  // The naming typed in, on a shapefile whose settings say binary grids with a prefix.
  test::TTempDir dir;
  std::ofstream(dir.File("quelvaris.ini")) << "[Files]\nfile type=1\nNHM prefix=mnh\n";
  const auto named = Tiles({"--set", "cmbNhmSeparator=-", "--set", "edtNhmSuffix=\"x\\", "672500",
                            "672500", "253000", "253000", dir.File("p.shp")});
  EXPECT_NE(named.Out.find(R"("filetype": "float")"), std::string::npos) << named.Out;
  EXPECT_NE(named.Out.find(R"("stem": "mnh1091-11\"x\\", )"
                           R"("files": ["mnh1091-11\"x\\.hdr", "mnh1091-11\"x\\.flt"])"),
            std::string::npos)
      << named.Out;
}

TEST(TileLayoutMode, refusesAnExtentWithoutTilesInOneLineAndAsJson) {
  struct TCase {
    std::vector<std::string_view> Args;
    std::string Reason;
  };
  const TCase cases[] = {{{"674875", "2678875", "249500", "252500"}, "mixed-frames"},
                         {{"2674875", "2678875", "249500", "1252500"}, "mixed-frames"},
                         {{"474875", "478875", "249500", "252500"}, "outside-grid"},
                         {{"2678875", "2674875", "1249500", "1252500"}, "inverted"},
                         {{"--set", "rgNhmFiletype=1", "--set", "cmbNhmFileExt=.asc", "674875",
                           "678875", "249500", "252500"},
                          "edit"}};
  for (const auto& [args, reason] : cases) {
    const auto o = Tiles(args);
    EXPECT_EQ(o.Exit, 2);
    EXPECT_TRUE(o.Err.starts_with("quelvaris-host: ") && o.Err.find('\n') == o.Err.size() - 1)
        << o.Err;
    EXPECT_TRUE(o.Out.starts_with(R"({"error": ")")) << o.Out;
    EXPECT_TRUE(o.Out.ends_with(std::string(R"(", "reason": ")") + reason + "\"}\n")) << o.Out;
  }
  EXPECT_THROW(Tiles({"1", "2", "3"}), EUsageError);
}

}  // namespace
}  // namespace qv::host
