// The tile pass against an independent model of the mosaic: for 2 x 2 tiles with small random
// window files (aligned or shifted, starting north or south of their tile, partial, missing),
// every ring row put in front of the row pass must hold the mosaic's values at its positions,
// across the left and the top tile border.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>

#include "RecordingPlatform.h"
#include "TileFiles.h"
#include "calculation/WoodedAreaCalculation.h"
#include "dialog/languages/Languages.h"

namespace qv {
namespace {

// The four tiles 1091-11, -12, -13, -14.
constexpr double WestX[2] = {672500, 672500 + 4375};
constexpr double NorthY[2] = {254000, 254000 - 3000};
constexpr int TileNumbers[2][2] = {{11, 12}, {13, 14}};

struct TWindowFile {
  bool Present = false;
  int C0 = 0, NC = 0, R0 = 0, NR = 0;  // in tile columns and rows; R0 < 0 is north of the tile
  double NoData = -9999;
  std::vector<double> Values;  // NR x NC; NaN is written as nan
  bool CenterKeys = false;
  double SubX = 0, SubY = 0;  // sub-metre misalignment
};

class TMosaic {
 public:
  TMosaic(unsigned seed, bool binary) : binary_(binary), random_(seed) {
    w1_ = Int(5, 40);
    w2_ = Int(1, 40);
    h1_ = Int(1, 40);
    h2_ = Int(0, 40);
    skipRows_ = 3000 - h1_;
    for (int r = 0; r < 2; ++r) {
      for (int k = 0; k < 2; ++k) files_[r][k] = RandomFile(r, k);
    }
  }

  double XMin() const { return WestX[1] - w1_; }
  double XMax() const { return WestX[1] + w2_ - 1; }
  double YMax() const { return NorthY[1] + h1_; }
  double YMin() const { return NorthY[1] - h2_; }
  int SkipRows() const { return skipRows_; }
  int LastRowOfSecondRow() const { return h2_; }

  void Write(const std::string& prefix) const {
    for (int r = 0; r < 2; ++r) {
      for (int k = 0; k < 2; ++k) {
        if (files_[r][k].Present)
          Write(prefix + "t1091-" + std::to_string(TileNumbers[r][k]), r, k);
      }
    }
  }

  double NoDataOf(int r, int k) const {
    const TWindowFile& f = files_[r][k];
    if (!f.Present) return -9999.0;
    return binary_ ? static_cast<double>(static_cast<float>(f.NoData)) : f.NoData;
  }

  // The value that the ring of tile (rr, rk) must hold for the cell centred at (x, y).
  double Expected(int rr, int rk, double x, double y) const {
    const double noData = NoDataOf(rr, rk);
    const int col = static_cast<int>(std::floor((x - WestX[0] + 0.5) / 4375));
    const int row = static_cast<int>(std::floor((NorthY[0] + 0.5 - y) / 3000));
    if (col < 0 || col > 1 || row < 0 || row > 1) return noData;
    if (NorthY[0] - y < skipRows_) return noData;  // north of the extent: never read
    const TWindowFile& f = files_[row][col];
    if (!f.Present) return noData;
    const int i = static_cast<int>(NorthY[row] - y) - f.R0;
    const int j = static_cast<int>(x - WestX[col]) - f.C0;
    if (i < 0 || i >= f.NR || j < 0 || j >= f.NC) return noData;
    double v = f.Values[static_cast<std::size_t>(i * f.NC + j)];
    if (binary_) v = static_cast<double>(static_cast<float>(v));
    if (std::isnan(v) || v == NoDataOf(row, col)) return noData;
    return v;
  }

 private:
  int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
  bool Chance(double p) { return std::bernoulli_distribution(p)(random_); }

  TWindowFile RandomFile(int r, int k) {
    TWindowFile f;
    f.Present = !Chance(0.15);
    const int colBase = k == 0 ? 4345 : -5;
    const int rowBase = r == 0 ? skipRows_ : -5;
    f.C0 = colBase + Int(-12, 12);
    f.NC = Int(1, 45);
    f.R0 = rowBase + Int(-15, 12);
    f.NR = Int(1, 50);
    // A binary grid must hold the rows skipped before the extent; an ASCII grid just ends.
    const int mustReach = r == 0 ? skipRows_ : 0;
    if (binary_ && f.R0 + f.NR < mustReach) f.NR = mustReach - f.R0 + Int(0, 5);
    const double noDatas[] = {-9999, -1, 9999.9, 255};
    f.NoData = noDatas[Int(0, 3)];
    f.CenterKeys = Chance(0.5);
    f.SubX = Int(-40, 40) / 100.0;
    f.SubY = Int(-40, 40) / 100.0;
    for (int i = 0; i < f.NR * f.NC; ++i) {
      const int pick = Int(0, 40);
      if (pick == 0) {
        f.Values.push_back(std::nan(""));
      } else if (pick == 1) {
        f.Values.push_back(binary_ ? static_cast<double>(static_cast<float>(f.NoData)) : f.NoData);
      } else {
        f.Values.push_back(Int(0, 3000) / 100.0);
      }
    }
    return f;
  }

  static std::string Num(double v) { return std::isnan(v) ? "nan" : test::Number(v); }

  void Write(const std::string& base, int r, int k) const {
    const TWindowFile& f = files_[r][k];
    const double xll = WestX[k] - 0.5 + f.C0 + f.SubX;
    const double yTop = NorthY[r] - f.R0 + f.SubY;
    const double yll = yTop - (f.NR - 0.5);
    std::ostringstream header;
    header << "ncols " << f.NC << "\nNROWS " << f.NR << "\n"
           << (f.CenterKeys ? "xllcenter " + Num(xll + 0.5) : "xllcorner " + Num(xll)) << "\n"
           << (f.CenterKeys ? "YLLCENTER " + Num(yll + 0.5) : "yllcorner " + Num(yll)) << "\n"
           << "cellsize 1\nNODATA_value " << Num(f.NoData) << "\n";
    if (binary_) {
      std::vector<float> data;
      for (const double v : f.Values) data.push_back(static_cast<float>(v));
      test::WriteText(base + ".hdr", header.str() + "byteorder LSBFIRST\n");
      test::WriteFloats(base + ".flt", data);
      return;
    }
    // Line breaks carry no meaning: wrap anywhere, with CRLF now and then.
    std::string text = header.str();
    const int wrap = static_cast<int>(f.Values.size() % 7) + 1;
    for (std::size_t i = 0; i < f.Values.size(); ++i) {
      text += Num(f.Values[i]);
      text += (i + 1) % static_cast<std::size_t>(wrap) == 0 ? (i % 2 ? "\r\n" : "\n") : " \t";
    }
    test::WriteText(base + ".txt", text);
  }

  bool binary_;
  std::mt19937 random_;
  int w1_ = 0, w2_ = 0, h1_ = 0, h2_ = 0, skipRows_ = 0;
  TWindowFile files_[2][2];
};

struct TRingCheck {
  int calls[2][2] = {};
  int mismatches = 0;
  std::string first;
};

void CheckRing(const TMosaic& mosaic, TTile& tile, int row, int rr, int rk, TRingCheck& check) {
  ++check.calls[rr][rk];
  for (int back = 0; back < TTile::RingRows; ++back) {
    const auto ring = tile.RowRing(tile.RingSlotBack(back));
    const double y = tile.NorthY - (row - back);
    for (int p = 0; p < TTile::RingWidth; ++p) {
      const double want = mosaic.Expected(rr, rk, tile.ColumnX(p), y);
      if (ring[static_cast<std::size_t>(p)] == want) continue;
      if (check.mismatches++ == 0) {
        std::ostringstream out;
        out << "tile " << tile.TileNumber << " row " << row << " back " << back << " position " << p
            << ": " << ring[static_cast<std::size_t>(p)] << " instead of " << want;
        check.first = out.str();
      }
    }
  }
}

void RunMosaic(unsigned seed, bool binary) {
  SCOPED_TRACE((binary ? "binary seed " : "ascii seed ") + std::to_string(seed));
  test::RecordingPlatform platform;
  test::TTempDir dir;
  const TMosaic mosaic(seed, binary);
  mosaic.Write(dir.Prefix());

  TWoodedAreaCalculation calc;
  ASSERT_EQ(calc.SetExtent(mosaic.XMin(), mosaic.YMax(), mosaic.XMax(), mosaic.YMin()), 4);
  test::UseTileFiles(calc, dir.Prefix(), "t", binary);
  TRingCheck check;
  calc.RowPass = [&](TWoodedAreaCalculation& c, TTile& tile, int row) {
    for (int r = 0; r < 2; ++r) {
      for (int k = 0; k < 2; ++k) {
        if (&c.Tiles.Get(r, k) == &tile) CheckRing(mosaic, tile, row, r, k, check);
      }
    }
    return true;
  };
  std::int32_t found = 0;
  ASSERT_TRUE(calc.CheckTileFiles(found));
  ASSERT_TRUE(calc.RunTilePass());
  EXPECT_EQ(check.mismatches, 0) << check.first;
  const int firstRowCalls = std::max(2999 - mosaic.SkipRows() + 1 - 4, 0);
  EXPECT_EQ(check.calls[0][0], firstRowCalls);
  EXPECT_EQ(check.calls[0][1], firstRowCalls);
  EXPECT_EQ(check.calls[1][0], mosaic.LastRowOfSecondRow() + 1);
  EXPECT_EQ(check.calls[1][1], mosaic.LastRowOfSecondRow() + 1);
}

TEST(TilePassMosaic, ringRowsEqualTheMosaicAcrossBothBordersForAsciiGrids) {
  SetLanguage(LanguageEnglish);
  for (unsigned seed = 1; seed <= 12; ++seed) RunMosaic(seed, false);
}

TEST(TilePassMosaic, ringRowsEqualTheMosaicAcrossBothBordersForBinaryGrids) {
  SetLanguage(LanguageEnglish);
  for (unsigned seed = 101; seed <= 112; ++seed) RunMosaic(seed, true);
}

}  // namespace
}  // namespace qv
