// The texts of the attribute table: numbers in their fields, records, the date byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

#include "RecordingPlatform.h"
#include "shapefile/DBaseFile.h"
#include "shapefile/DBaseNumber.h"

namespace qv {
namespace {

TEST(DBaseNumber, isRightAlignedRoundedLikePrintfAndAsterisksWhenItDoesNotFit) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  const struct { double value; int width, decimals; const char* text; } fixed[] = {
      {78.53981633974483, 16, 0, "              79"}, {12.5, 16, 2, "           12.50"},
      {-3.25, 8, 1, "    -3.2"}, {999999999999999.0, 16, 0, " 999999999999999"},
      {1e16, 16, 0, "****************"}, {9999999999999999.0, 16, 0, "****************"},
      {1e13, 16, 2, "****************"}, {nan, 16, 2, "****************"},
      {-inf, 16, 0, "****************"}, {1.7e308, 16, 2, "****************"}};
  for (const auto& f : fixed) EXPECT_EQ(FormatDBaseFixed(f.value, f.width, f.decimals), f.text) << f.value;
  const struct { std::int64_t value; const char* text; } integers[] = {
      {7, "         7"}, {1234567890, "1234567890"}, {-123456789, "-123456789"},
      {12345678901, "**********"}, {-1234567890, "**********"}};
  for (const auto& i : integers) EXPECT_EQ(FormatDBaseInteger(i.value, 10), i.text) << i.value;
  // Ties of the exact binary value go to even, as printf does; 0.125 is exact, 2.675 is not.
  // std::to_chars never looks at the locale, so "." holds whatever the user's settings.
  for (const double v : {0.5, 1.5, 2.5, 3.5, 1e12 + 0.5, 0.125, 2.675, 1234567.005, -0.4}) {
    for (const int decimals : {0, 2}) {
      char expected[64];
      std::snprintf(expected, sizeof expected, "%*.*f", 16, decimals, v);
      EXPECT_EQ(FormatDBaseFixed(v, 16, decimals), expected) << v;
    }
  }
}

TEST(DBaseFile, yearByteIsYearsSince1900ModuloTheByte) {
  TdBaseFile f;
  for (const auto& [year, byte] : {std::pair{2026, 126}, {2156, 0}, {1899, 255}}) {
    f.SetDate({year, 1, 31});
    EXPECT_EQ(f.Year, byte) << year;
  }
}

TEST(DBaseFile, descriptorThatDoesNotFitTheRecordIsReportedAndWritesNothing) {
  test::RecordingPlatform platform;
  const char* errors[] = {"Error writing index-field to dBase-File",
                          "Error writing wooded-field to dBase-File",
                          "Error writing area-field to dBase-File"};
  for (std::size_t k = 0; k < 3; ++k) {
    TdBaseFile f;
    f.Prepare(1, true, {});
    f.Fields[k].Type = 'C';
    EXPECT_EQ(f.FormatRecord(1, true, 1.0, false, 0.0), "");
    EXPECT_FALSE(f.WriteRecord(1, true, 1.0, false, 0.0));
    EXPECT_EQ(platform.Texts(), (std::vector<std::string>(2, errors[k])));
    EXPECT_EQ(platform.beeps, 2);
    platform.Clear();
  }
}

}  // namespace
}  // namespace qv
