// The tile pass: the file check, progress, failures, buffers and links, and every ring row put
// in front of the row pass against an independent model of a 2 x 2 mosaic of window files.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "RowPassRun.h"
#include "platform/Format.h"

namespace qv::test {
namespace {

class TilePass : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLanguage(LanguageEnglish);
    UseTileFiles(calc, dir.Prefix(), "mnh", false);
    calc.NhmSuffix = "_dhm";
    calc.StatusBar = &status;
    calc.RowPass = [this](TWoodedAreaCalculation&, TTile& tile, int row) {
      calls.push_back(std::to_string(tile.TileNumber) + ":" + std::to_string(row));
      return true;
    };
  }
  std::string Name(int tile, const std::string& ext = ".txt") const {
    return dir.Prefix() + "mnh1091-" + std::to_string(tile) + "_dhm" + ext;
  }
  // A 3 x 3 file of ones at the north-west corner of tile 11 or 12.
  void WriteTile(int tile) {
    WriteText(Name(tile), Header(3, 3, (tile == 12 ? WestX12 : WestX11) - 0.5, NorthY11 - 2.5) +
                              "1 1 1\n1 1 1\n1 1 1\n");
  }
  bool Run() {
    std::int32_t found = 0;
    return calc.CheckTileFiles(found) && calc.RunTilePass();
  }

  RecordingPlatform platform;
  TTempDir dir;
  TWoodedAreaCalculation calc;
  TRecordingStatus status;
  std::vector<std::string> calls;
};

TEST_F(TilePass, theFileCheckNamesTheFltFirstThenTheHdrAndRefusesAnUnknownType) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11 - 10);
  UseTileFiles(calc, dir.Prefix(), "mnh", true);
  std::int32_t found = -1;
  ASSERT_TRUE(calc.CheckTileFiles(found));
  EXPECT_EQ(found, 0);
  EXPECT_EQ(calc.Tiles.Get(0, 0).HdrFileName, Name(11, ".hdr"));
  WriteFloats(Name(11, ".flt"), {1});
  ASSERT_TRUE(calc.CheckTileFiles(found));
  EXPECT_EQ(platform.Texts(),
            (std::vector<std::string>{Format(Msg(msgFileNotFound), {Name(11, ".flt")}),
                                      Format(Msg(msgFileNotFound), {Name(11, ".hdr")})}));
  EXPECT_TRUE(calc.Tiles.Get(0, 0).IsDummy);
  calc.NhmFiletype = 2;
  EXPECT_FALSE(calc.CheckTileFiles(found));
  EXPECT_FALSE(calc.RunTilePass());
  EXPECT_TRUE(calls.empty());
}

TEST_F(TilePass, reportsProgressEveryFiftyRowsAndAHundredPercentWhenTheLastRowIsTheFirst) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11 - 120);
  ASSERT_TRUE(Run());  // no file: a dummy tile
  EXPECT_EQ(status.texts, (std::vector<std::string>{"Tile 1 line 0, 0%", "Tile 1 line 50, 41%",
                                                    "Tile 1 line 100, 83%"}));
  status.texts.clear();
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11);
  ASSERT_TRUE(Run());
  EXPECT_EQ(status.texts, std::vector<std::string>{"Tile 1 line 0, 100%"});
}

TEST_F(TilePass, aFailingRowPassOrHeaderEndsThePassWithoutBuffersOrOpenFiles) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 4375 + 100, NorthY11 - 10);
  calc.RowPass = [this](TWoodedAreaCalculation&, TTile&, int row) {
    calls.emplace_back();
    return row < 5;
  };
  EXPECT_FALSE(Run());
  EXPECT_EQ(calls.size(), 2u);
  EXPECT_FALSE(calc.Tiles.Get(0, 0).HasBuffers() || calc.Tiles.Get(0, 1).HasBuffers());
  const auto openFiles = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator{});
  };
  calc.RowPass = [](TWoodedAreaCalculation&, TTile&, int) { return true; };
  WriteTile(11);
  WriteText(Name(12), "ncols 3\nnrows three\n");
  const auto before = openFiles();
  EXPECT_THROW(Run(), ENhmError);
  EXPECT_EQ(openFiles(), before);
  EXPECT_FALSE(calc.Tiles.Get(0, 0).HasBuffers());
}

TEST_F(TilePass, everyRunStartsWithNilLinksAndBuffersLiveOnlyWhileANeighbourNeedsThem) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 4375 + 100, NorthY11 - 10);
  WriteTile(11);
  int links = 0;
  calc.RowPass = [&](TWoodedAreaCalculation&, TTile& tile, int row) {
    for (const auto& link : tile.ColumnLinks()) links += link.Edge ? 1 : 0;
    for (const auto& link : tile.RowLinks()) links += link.Edge ? 1 : 0;
    tile.ColumnLinks()[static_cast<std::size_t>(row)].Edge =
        tile.RowLinks()[static_cast<std::size_t>(row)].Edge = TEdgeId(7);
    return tile.TileNumber == 11;  // the run fails in tile 12
  };
  EXPECT_FALSE(Run());
  EXPECT_GT(links, 0);  // links written earlier in a run are seen later in it
  links = 0;
  calc.RowPass = [&](TWoodedAreaCalculation&, TTile& tile, int) {
    for (const auto& link : tile.ColumnLinks()) links += tile.TileNumber == 11 && link.Edge ? 1 : 0;
    return true;
  };
  EXPECT_TRUE(Run());
  EXPECT_EQ(links, 0);

  // A 3 x 3 block of dummy tiles around 1091-14.
  calc.SetExtent(WestX11 + 4000, NorthY11 - 2990, WestX11 + 2 * 4375 + 10, NorthY11 - 6010);
  int maxHeld = 0;
  bool ready = true;
  calc.RowPass = [&](TWoodedAreaCalculation& c, TTile& tile, int) {
    int held = 0;
    for (int i = 0; i < 9; ++i) held += c.Tiles.Get(i / 3, i % 3).HasBuffers() ? 1 : 0;
    maxHeld = std::max(maxHeld, held);
    for (const TTile* n : {tile.LeftNeighbor, tile.TopNeighbor,
                           tile.TopNeighbor ? tile.TopNeighbor->LeftNeighbor : nullptr}) {
      ready &= n == nullptr || n->HasBuffers();
    }
    return true;
  };
  ASSERT_TRUE(Run());
  EXPECT_TRUE(ready);
  EXPECT_LE(maxHeld, 5);
  for (int i = 0; i < 9; ++i) EXPECT_FALSE(calc.Tiles.Get(i / 3, i % 3).HasBuffers());
}

TEST_F(TilePass, corruptHeadersAndTruncatedFilesEndCleanly) {
  calc.SetExtent(WestX11 + 100, NorthY11, WestX11 + 200, NorthY11 - 300);
  const std::string corner = "xllcorner 672499.5\nyllcorner 253997.5\n";
  for (const std::string& text : std::vector<std::string>{
           "ncols 2000000000\nnrows 2000000000\n" + corner +
               "cellsize 1\nnodata_value -9999\n1 2 3",
           "ncols 3\nnrows 2000000000\nxllcorner 672499.5\nyllcorner -1e300\ncellsize 1\n1 2",
           "ncols 3\nnrows 3\nxllcorner 1e300\nyllcorner 1e300\ncellsize 1\n1 2 3 4 5 6 7 8 9",
           "ncols 3\nnrows 3\n" + corner + "cellsize nan\n",
           "ncols 3\nnrows 3\n" + corner + "cellsize 1\n1 2 3 4 5 6 7 8 9.",
           "ncols 3\nnrows 3\n" + corner + "cellsize 1\n1 2 3 4 5 6 7 8 -"}) {
    WriteText(Name(11), text);
    EXPECT_NO_THROW(Run()) << text;
  }
  UseTileFiles(calc, dir.Prefix(), "mnh", true);
  WriteFloats(Name(11, ".flt"), {1, 2, 3});
  WriteText(Name(11, ".hdr"), "ncols 2000000000\nnrows 3\n" + corner +
                                  "cellsize 1\nnodata_value -9999\nbyteorder lsbfirst\n");
  EXPECT_TRUE(Run());  // the data ends long before the rows the header claims
  WriteText(Name(11, ".hdr"), "ncols 3\nnrows 2000000000\n" + corner +
                                  "cellsize 1\nnodata_value -9999\nbyteorder lsbfirst\n");
  EXPECT_NE(NhmErrorOf([&] { Run(); }).find(Name(11, ".flt")),
            std::string::npos);  // rows to skip missing
}

// ---- the mosaic ----

// Four random window files for tiles 1091-11, -12, -13, -14 (aligned or shifted by less than half
// a metre, starting north or south of their tile, partial, missing, with corner or centre keys
// and their own no-data), the extent around the tiles' common corner.
struct TMosaic {
  struct TFile {
    bool Present = false;
    int C0 = 0, NC = 0, R0 = 0, NR = 0;  // in tile columns and rows; R0 < 0 is north of the tile
    double NoData = -9999;
    std::vector<double> Values;  // NR x NC; NaN is written as nan
  };
  static constexpr double WestX[2] = {WestX11, WestX12}, NorthY[2] = {NorthY11, NorthY13};

  TMosaic(unsigned seed, bool binary) : Binary(binary), random(seed) {
    W1 = Int(5, 40), W2 = Int(1, 40), H1 = Int(1, 40), H2 = Int(0, 40);
    for (int i = 0; i < 4; ++i) {
      TFile& f = Files[i / 2][i % 2];
      f.Present = Int(0, 99) >= 15;
      f.C0 = (i % 2 ? -5 : 4345) + Int(-12, 12), f.NC = Int(1, 45);
      f.R0 = (i / 2 ? -5 : 3000 - H1) + Int(-15, 12), f.NR = Int(1, 50);
      // A binary grid must hold the rows skipped before the extent; an ASCII grid just ends.
      const int mustReach = i < 2 ? 3000 - H1 : 0;
      if (binary && f.R0 + f.NR < mustReach) f.NR = mustReach - f.R0 + Int(0, 5);
      f.NoData = std::vector<double>{-9999, -1, 9999.9, 255}[static_cast<std::size_t>(Int(0, 3))];
      for (int k = 0; k < f.NR * f.NC; ++k) {
        const int pick = Int(0, 40);
        f.Values.push_back(pick == 0   ? std::nan("")
                           : pick == 1 ? Float(f.NoData)
                                       : Int(0, 3000) / 100.0);
      }
    }
  }
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }
  double Float(double v) const { return Binary ? static_cast<double>(static_cast<float>(v)) : v; }

  void Write(const std::string& prefix) {
    for (int i = 0; i < 4; ++i) {
      const TFile& f = Files[i / 2][i % 2];
      if (!f.Present) continue;
      const std::string base = prefix + "t1091-" + std::to_string(11 + i % 2 + 2 * (i / 2));
      const double xll = WestX[i % 2] - 0.5 + f.C0 + Int(-40, 40) / 100.0;
      const double yll = NorthY[i / 2] - f.R0 + Int(-40, 40) / 100.0 - (f.NR - 0.5);
      const bool centre = Int(0, 1) == 1;
      std::ostringstream text;
      text << "ncols " << f.NC << "\nNROWS " << f.NR << "\n"
           << (centre ? "xllcenter " : "xllcorner ") << Number(xll + (centre ? 0.5 : 0)) << "\n"
           << (centre ? "YLLCENTER " : "yllcorner ") << Number(yll + (centre ? 0.5 : 0))
           << "\ncellsize 1\nNODATA_value " << Number(f.NoData) << "\n";
      if (Binary) {
        WriteText(base + ".hdr", text.str() + "byteorder LSBFIRST\n");
        WriteFloats(base + ".flt", std::vector<float>(f.Values.begin(), f.Values.end()));
        continue;
      }
      // Line breaks carry no meaning: wrap anywhere, with CRLF now and then.
      const std::size_t wrap = f.Values.size() % 7 + 1;
      for (std::size_t k = 0; k < f.Values.size(); ++k) {
        text << (std::isnan(f.Values[k]) ? "nan" : Number(f.Values[k]))
             << ((k + 1) % wrap ? " \t"
                 : k % 2        ? "\r\n"
                                : "\n");
      }
      WriteText(base + ".txt", text.str());
    }
  }

  // The value the ring of tile (tr, tk) must hold for the cell centred at (x, y).
  double Expected(int tr, int tk, double x, double y) const {
    const auto noData = [&](int r, int k) {
      return Files[r][k].Present ? Float(Files[r][k].NoData) : -9999.0;
    };
    const int k = static_cast<int>(std::floor((x - WestX11 + 0.5) / 4375));
    const int r = static_cast<int>(std::floor((NorthY11 + 0.5 - y) / 3000));
    if (k < 0 || k > 1 || r < 0 || r > 1 || NorthY11 - y < 3000 - H1 || !Files[r][k].Present)
      return noData(tr, tk);
    const TFile& f = Files[r][k];
    const int i = static_cast<int>(NorthY[r] - y) - f.R0, j = static_cast<int>(x - WestX[k]) - f.C0;
    if (i < 0 || i >= f.NR || j < 0 || j >= f.NC) return noData(tr, tk);
    const double v = Float(f.Values[static_cast<std::size_t>(i * f.NC + j)]);
    return std::isnan(v) || v == noData(r, k) ? noData(tr, tk) : v;
  }

  bool Binary;
  std::mt19937 random;
  int W1, W2, H1, H2;
  TFile Files[2][2];
};

TEST(TilePassMosaic, ringRowsHoldTheMosaicsValuesAcrossBothBorders) {
  SetLanguage(LanguageEnglish);
  for (unsigned seed = 1; seed <= 24; ++seed) {
    SCOPED_TRACE(seed);
    RecordingPlatform platform;
    TTempDir dir;
    TMosaic mosaic(seed, seed > 12);
    mosaic.Write(dir.Prefix());
    TWoodedAreaCalculation calc;
    ASSERT_EQ(calc.SetExtent(WestX12 - mosaic.W1, NorthY13 + mosaic.H1, WestX12 + mosaic.W2 - 1,
                             NorthY13 - mosaic.H2),
              4);
    UseTileFiles(calc, dir.Prefix(), "t", mosaic.Binary);
    int calls[4] = {}, mismatches = 0;
    calc.RowPass = [&](TWoodedAreaCalculation&, TTile& tile, int row) {
      const int at = tile.TileNumber - 11;  // 11, 12, 13, 14: row-major in the block
      ++calls[at];
      for (int back = 0; back < TTile::RingRows; ++back) {
        const auto ring = tile.RowRing(tile.RingSlotBack(back));
        for (int p = 0; p < TTile::RingWidth; ++p) {
          const double want =
              mosaic.Expected(at / 2, at % 2, tile.ColumnX(p), tile.NorthY - (row - back));
          if (ring[static_cast<std::size_t>(p)] != want && mismatches++ == 0) {
            ADD_FAILURE() << "tile " << tile.TileNumber << " row " << row << " back " << back
                          << " position " << p << ": " << ring[static_cast<std::size_t>(p)]
                          << " instead of " << want;
          }
        }
      }
      return true;
    };
    std::int32_t found = 0;
    ASSERT_TRUE(calc.CheckTileFiles(found) && calc.RunTilePass());
    const int firstRowCalls = std::max(2999 - (3000 - mosaic.H1) + 1 - 4, 0);
    EXPECT_EQ(std::vector<int>(calls, calls + 4),
              (std::vector<int>{firstRowCalls, firstRowCalls, mosaic.H2 + 1, mosaic.H2 + 1}));
  }
}

}  // namespace
}  // namespace qv::test
