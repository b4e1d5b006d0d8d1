// The bytes of headers and records, checked field by field at their file offsets.
#include <gtest/gtest.h>

#include <limits>
#include <cstdio>

#include "ShapeTestSupport.h"
#include "RecordingPlatform.h"
#include "shapefile/DBaseFile.h"
#include "shapefile/DBaseNumber.h"
#include "shapefile/ShapeHeader.h"
#include "shapefile/ShapeRecord.h"

namespace qv {
namespace {

using test::BE32;
using test::LE16;
using test::LE32;
using test::LEDouble;

TEST(ShapeHeader, mixesBigAndLittleEndianFieldsAtTheirOffsets) {
  TShapeHeader h;
  h.FileLength = 374;
  h.SetBox(T2DRect(2600000.5, 1200010.25, 2600020.75, 1199990.0));
  const TBytes b = h.Encode();
  ASSERT_EQ(b.size(), 100u);
  EXPECT_EQ((std::vector<std::uint8_t>(b.begin(), b.begin() + 4)),
            (std::vector<std::uint8_t>{0x00, 0x00, 0x27, 0x0A}));  // 9994 big-endian
  for (std::size_t i = 4; i < 24; ++i) EXPECT_EQ(b[i], 0) << i;
  EXPECT_EQ(BE32(b, 24), 374);
  EXPECT_EQ(LE32(b, 28), 1000);
  EXPECT_EQ(LE32(b, 32), 5);
  EXPECT_EQ(LEDouble(b, 36), 2600000.5);   // Xmin
  EXPECT_EQ(LEDouble(b, 44), 1199990.0);   // Ymin = Bottom
  EXPECT_EQ(LEDouble(b, 52), 2600020.75);  // Xmax
  EXPECT_EQ(LEDouble(b, 60), 1200010.25);  // Ymax = Top
  for (std::size_t i = 68; i < 100; ++i) EXPECT_EQ(b[i], 0) << i;
}

TEST(PolygonRecord, polygonWithTwoHolesHasThreePartsAndFifteenPoints) {
  std::vector<T2DPoint> points;
  auto square = [&](double x, double y, double s) {
    for (const auto& p : {T2DPoint(x, y), T2DPoint(x, y + s), T2DPoint(x + s, y + s),
                          T2DPoint(x + s, y), T2DPoint(x, y)})
      points.push_back(p);
  };
  square(0, 0, 10);
  square(1, 1, 2);
  square(5, 5, 2);
  const std::vector<std::int32_t> starts{0, 5, 10};
  TBytes b;
  const auto content = EncodePolygonRecord(7, T2DRect(0, 10, 10, 0), starts, points, b);
  EXPECT_EQ(content, 148);
  ASSERT_EQ(b.size(), 2u * (148 + 4));
  EXPECT_EQ(BE32(b, 0), 7);
  EXPECT_EQ(BE32(b, 4), 148);
  EXPECT_EQ(LE32(b, 8), 5);
  EXPECT_EQ(LEDouble(b, 12), 0.0);
  EXPECT_EQ(LEDouble(b, 28), 10.0);
  EXPECT_EQ(LE32(b, 44), 3);
  EXPECT_EQ(LE32(b, 48), 15);
  EXPECT_EQ(LE32(b, 52), 0);
  EXPECT_EQ(LE32(b, 56), 5);
  EXPECT_EQ(LE32(b, 60), 10);
  const std::size_t firstPoint = 52 + 4 * 3;
  EXPECT_EQ(LEDouble(b, firstPoint + 16 * 5), 1.0);      // X of the first hole's first point
  EXPECT_EQ(LEDouble(b, firstPoint + 16 * 14 + 8), 5.0);  // Y of the last point
}

TEST(DBaseNumber, isRightAlignedAndBlankPadded) {
  EXPECT_EQ(FormatDBaseInteger(7, 10), std::string(9, ' ') + "7");
  EXPECT_EQ(FormatDBaseFixed(78.53981633974483, 16, 0), std::string(14, ' ') + "79");
  EXPECT_EQ(FormatDBaseFixed(12.5, 16, 2), std::string(11, ' ') + "12.50");
  EXPECT_EQ(FormatDBaseFixed(-3.25, 8, 1), "    -3.2");
  EXPECT_EQ(FormatDBaseInteger(1234567890, 10), "1234567890");
}

TEST(DBaseNumber, roundsLikePrintf) {
  // Ties of the exact binary value go to even, as printf does; 0.125 is exact, 2.675 is not.
  // std::to_chars never looks at the locale, so "." holds whatever the user's settings.
  const double values[] = {0.5, 1.5, 2.5, 3.5, 1e12 + 0.5, 0.125, 2.675, 1234567.005, -0.4};
  for (const double v : values) {
    char expected[64];
    std::snprintf(expected, sizeof expected, "%*.*f", 16, 2, v);
    EXPECT_EQ(FormatDBaseFixed(v, 16, 2), expected) << v;
    std::snprintf(expected, sizeof expected, "%*.0f", 16, v);
    EXPECT_EQ(FormatDBaseFixed(v, 16, 0), expected) << v;
  }
}

TEST(DBaseNumber, valueThatDoesNotFitFillsItsFieldWithAsterisks) {
  EXPECT_EQ(FormatDBaseInteger(12345678901, 10), "**********");
  EXPECT_EQ(FormatDBaseInteger(-123456789, 10), "-123456789");
  EXPECT_EQ(FormatDBaseInteger(-1234567890, 10), "**********");
  EXPECT_EQ(FormatDBaseFixed(1e16, 16, 0), "****************");
  EXPECT_EQ(FormatDBaseFixed(9999999999999999.0, 16, 0), "****************");
  EXPECT_EQ(FormatDBaseFixed(999999999999999.0, 16, 0), " 999999999999999");
  EXPECT_EQ(FormatDBaseFixed(1e13, 16, 2), "****************");
  EXPECT_EQ(FormatDBaseFixed(std::numeric_limits<double>::quiet_NaN(), 16, 2), std::string(16, '*'));
  EXPECT_EQ(FormatDBaseFixed(-std::numeric_limits<double>::infinity(), 16, 0), std::string(16, '*'));
  EXPECT_EQ(FormatDBaseFixed(1.7e308, 16, 2), std::string(16, '*'));
}

TEST(DBaseFile, headerOfTheCrownLayerHasFourFieldsAndTheDate) {
  TdBaseFile f;
  f.Prepare(1, true, TLocalDate{2026, 12, 6});
  const TBytes b = f.EncodeHeader();
  ASSERT_EQ(b.size(), 161u);
  EXPECT_EQ(b[0], 3);
  EXPECT_EQ(b[1], 126);
  EXPECT_EQ(b[2], 12);
  EXPECT_EQ(b[3], 6);
  EXPECT_EQ(LE32(b, 4), 1);
  EXPECT_EQ(LE16(b, 8), 161);
  EXPECT_EQ(LE16(b, 10), 44);
  for (std::size_t i = 12; i < 32; ++i) EXPECT_EQ(b[i], 0) << i;
  struct Expected { const char* name; char type; int length; int decimals; };
  const Expected fields[] = {{"id", 'N', 10, 0}, {"boise", 'L', 1, 0}, {"Surface", 'N', 16, 0},
                             {"Hauteur", 'N', 16, 2}};
  for (std::size_t k = 0; k < 4; ++k) {
    const std::size_t d = 32 + 32 * k;
    const std::string name(reinterpret_cast<const char*>(&b[d]));
    EXPECT_EQ(name, fields[k].name);
    for (std::size_t i = name.size(); i < 11; ++i) EXPECT_EQ(b[d + i], 0);
    EXPECT_EQ(b[d + 11], fields[k].type);
    for (std::size_t i = 12; i < 16; ++i) EXPECT_EQ(b[d + i], 0);
    EXPECT_EQ(b[d + 16], fields[k].length);
    EXPECT_EQ(b[d + 17], fields[k].decimals);
    for (std::size_t i = 18; i < 32; ++i) EXPECT_EQ(b[d + i], 0);
  }
  EXPECT_EQ(b[160], 0x0D);
}

TEST(DBaseFile, yearByteIsYearsSince1900ModuloTheByte) {
  TdBaseFile f;
  f.SetDate({2026, 1, 31});
  EXPECT_EQ(f.Year, 126);
  f.SetDate({2156, 2, 1});
  EXPECT_EQ(f.Year, 0);
  f.SetDate({1899, 2, 1});
  EXPECT_EQ(f.Year, 255);
}

TEST(DBaseFile, recordTextHasTheFieldWidthsOfTheHeader) {
  TdBaseFile f;
  f.Prepare(1, false, {});
  EXPECT_EQ(f.HeaderLength, 129);
  EXPECT_EQ(f.RecordLength, 28);
  EXPECT_EQ(f.FormatRecord(7, true, 210.0, false, 0.0),
            " " + std::string(9, ' ') + "7T" + std::string(13, ' ') + "210");
  f.Prepare(1, true, {});
  const std::string r = f.FormatRecord(12345678901, false, 78.539816, true, 12.5);
  EXPECT_EQ(r, " **********F" + std::string(14, ' ') + "79" + std::string(11, ' ') + "12.50");
  EXPECT_EQ(r.size(), 44u);
}

TEST(DBaseFile, wrongDescriptorTypeIsReportedAndWritesNothing) {
  test::RecordingPlatform platform;
  TdBaseFile f;
  f.Prepare(1, false, {});
  f.Fields[1].Type = 'C';
  EXPECT_EQ(f.FormatRecord(1, true, 1.0, false, 0.0), "");
  EXPECT_FALSE(f.WriteRecord(1, true, 1.0, false, 0.0));
  ASSERT_EQ(platform.messages.size(), 2u);
  EXPECT_EQ(platform.messages[0].text, "Error writing wooded-field to dBase-File");
  EXPECT_EQ(platform.messages[0].kind, test::TRecordedMessage::Kind::Error);
  EXPECT_EQ(platform.beeps, 2);
}

}  // namespace
}  // namespace qv
