#include <gtest/gtest.h>

#include "RecordingPlatform.h"
#include "TileFiles.h"
#include "calculation/AsciiGridReader.h"
#include "calculation/FloatGridReader.h"
#include "calculation/GridHeader.h"

namespace qv {
namespace {

class BlockReading : public ::testing::Test {
 protected:
  test::RecordingPlatform platform;
  test::TTempDir dir;
};

// Tiny blocks put every token and every float on a block boundary sooner or later.
TEST_F(BlockReading, asciiTokensSplitAcrossBlocksReadWhole) {
  std::string text;
  std::vector<double> expected;
  for (int i = 0; i < 200; ++i) {
    const double v = i * 1.25 - 17.5;
    expected.push_back(v);
    char buffer[32];
    text.append(buffer, std::to_chars(buffer, buffer + 32, v).ptr);
    text += i % 3 == 0 ? "\r\n" : (i % 3 == 1 ? "   " : "\t");
  }
  test::WriteText(dir.File("values.txt"), text);
  for (std::size_t block : {16, 17, 23, 64}) {
    TAsciiGridReader reader(TBlockFile::Open(dir.File("values.txt"), block));
    std::vector<double> row(200);
    const auto placement = TRowPlacement::For(200, 0, 200);
    ASSERT_TRUE(reader.ReadRow(row, placement, -1).Ok);
    EXPECT_EQ(row, expected) << block;
    EXPECT_TRUE(reader.AtEnd());
  }
}

TEST_F(BlockReading, aTokenLongerThanABlockIsABadValueNotAHang) {
  test::WriteText(dir.File("long.txt"), "1 " + std::string(100, '7') + ".5 2 3");
  TAsciiGridReader reader(TBlockFile::Open(dir.File("long.txt"), 16));
  std::vector<double> row(2);
  EXPECT_TRUE(reader.ReadRow(row, TRowPlacement::For(1, 0, 2), -1).Ok);
  EXPECT_EQ(row[0], 1);
  const auto result = reader.ReadRow(row, TRowPlacement::For(1, 0, 2), -1);
  EXPECT_FALSE(result.Ok);
  EXPECT_EQ(row[0], -1);
}

TEST_F(BlockReading, floatsSplitAcrossBlocksReadWhole) {
  std::vector<float> values;
  for (int i = 0; i < 101; ++i) values.push_back(static_cast<float>(i) * 0.5f - 3.0f);
  test::WriteFloats(dir.File("v.flt"), values, 2);  // the last value is cut short
  for (std::size_t block : {16, 17, 18, 19}) {
    TFloatGridReader reader(TBlockFile::Open(dir.File("v.flt"), block), "v.flt");
    std::vector<double> row(101);
    reader.ReadRow(row, TRowPlacement::For(101, 0, 101), 99);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(row[i], static_cast<double>(values[i])) << block;
    EXPECT_EQ(row[100], 99);
    EXPECT_TRUE(reader.AtEnd());
  }
}

TEST_F(BlockReading, headerLinesAreCutNotHeldWhole) {
  // A binary file read as a header: one endless line. Nothing matches, nothing throws.
  test::WriteText(dir.File("junk.txt"), std::string(3 << 20, 'z'));
  auto file = TBlockFile::Open(dir.File("junk.txt"));
  const TGridHeader h = ReadGridHeader(*file, true, "junk.txt");
  EXPECT_EQ(h.NCols, 0);
  EXPECT_FALSE(h.HasX);
  EXPECT_TRUE(file->AtEnd());
}

}  // namespace
}  // namespace qv
