// Whole tiles (4375 x 3000 cells) through the tile pass; run in the normal build only.
#include <gtest/gtest.h>

#include <charconv>
#include <chrono>
#include <cstdio>

#include "RecordingPlatform.h"
#include "TileFiles.h"
#include "calculation/WoodedAreaCalculation.h"
#include "dialog/languages/Languages.h"
#include "platform/Format.h"

namespace qv {
namespace {

using test::NoData;

// Cell values of the test tile: heights with two decimals, and scattered no-data.
double CellValue(int r, int c) {
  if ((r * 31 + c * 17) % 101 == 0) return NoData;
  return ((r * 37 + c * 11) % 3500) / 100.0;
}

void WriteWholeAsciiTile(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fputs(
      "ncols 4375\nnrows 3000\nxllcenter 672500\nyllcenter 251001\ncellsize 1\n"
      "NODATA_value -9999\n",
      f);
  std::string line;
  char buffer[32];
  for (int r = 0; r < 3000; ++r) {
    line.clear();
    for (int c = 0; c < 4375; ++c) {
      line.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, CellValue(r, c),
                                        std::chars_format::fixed, 2)
                              .ptr);
      line += c % 500 == 499 ? "\r\n" : " ";
    }
    line += "\r\n";
    std::fwrite(line.data(), 1, line.size(), f);
  }
  std::fclose(f);
}

void WriteWholeFloatTile(const std::string& hdr, const std::string& flt) {
  test::WriteText(hdr,
                  "ncols 4375\nnrows 3000\nxllcorner 672499.5\nyllcorner 251000.5\n"
                  "cellsize 1\nnodata_value -9999\nbyteorder lsbfirst\n");
  std::vector<float> values;
  values.reserve(4375 * 3000);
  for (int r = 0; r < 3000; ++r) {
    for (int c = 0; c < 4375; ++c) values.push_back(static_cast<float>(CellValue(r, c)));
  }
  test::WriteFloats(flt, values);
}

// Tile 1091-11 read whole, with a dummy 1091-12 east of it: every ring row of both tiles holds
// tile 11's values at the right positions.
void CheckWholeTile(bool binary) {
  SetLanguage(LanguageEnglish);
  test::RecordingPlatform platform;
  test::TTempDir dir;
  if (binary) {
    WriteWholeFloatTile(dir.Prefix() + "mnh1091-11.hdr", dir.Prefix() + "mnh1091-11.flt");
  } else {
    WriteWholeAsciiTile(dir.Prefix() + "mnh1091-11.txt");
  }
  TWoodedAreaCalculation calc;
  ASSERT_EQ(calc.SetExtent(672500, 254000, 672500 + 4385, 251001), 2);
  test::UseTileFiles(calc, dir.Prefix(), "mnh", binary);

  long mismatches = 0;
  int calls = 0;
  calc.RowPass = [&](TWoodedAreaCalculation&, TTile& tile, int row) {
    ++calls;
    const bool own = tile.TileNumber == 11;
    for (int back = 0; back < TTile::RingRows; ++back) {
      const auto ring = tile.RowRing(tile.RingSlotBack(back));
      const int r = row - back;
      for (int p = 0; p < TTile::RingWidth; ++p) {
        const int c = own ? p - 4 : 4371 + p;  // tile 12 sees tile 11's last columns first
        double want = (c >= 0 && c < 4375 && (own || p < 4)) ? CellValue(r, c) : NoData;
        if (binary) want = static_cast<double>(static_cast<float>(want));
        mismatches += ring[static_cast<std::size_t>(p)] != want ? 1 : 0;
      }
    }
    return true;
  };
  std::int32_t found = 0;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(calc.CheckTileFiles(found));
  ASSERT_TRUE(calc.RunTilePass());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(found, 1);
  EXPECT_EQ(calls, 2 * 2996);
  EXPECT_EQ(mismatches, 0);
  const std::string missing = dir.Prefix() + "mnh1091-12" + (binary ? ".flt" : ".txt");
  EXPECT_EQ(platform.Texts(),
            std::vector<std::string>{Format(Msg(msgFileNotFound), {std::string_view(missing)})});
  std::printf("whole %s tile with checks: %.2f s\n", binary ? "binary" : "ASCII", seconds);
}

TEST(LongTilePass, aWholeAsciiTileReachesTheRowPassValueForValue) { CheckWholeTile(false); }

TEST(LongTilePass, aWholeBinaryTileReachesTheRowPassValueForValue) { CheckWholeTile(true); }

}  // namespace
}  // namespace qv
