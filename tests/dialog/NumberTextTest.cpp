#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

#include "dialog/NumberText.h"

namespace qv {
namespace {

const TNumberFormat kPoint{".", ","};
const TNumberFormat kComma{",", "."};
const TNumberFormat kSwiss{".", "\xE2\x80\x99"};  // de_CH: U+2019 groups
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kIntMin = std::numeric_limits<std::int32_t>::min();

// Every case runs under a process locale with a decimal comma: the system's number format
// alone decides, whatever the C library was told.
class NumberText : public ::testing::Test {
 protected:
  void SetUp() override { std::setlocale(LC_ALL, "fr_FR.UTF-8"); }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(NumberText, displayTexts) {
  using enum TFloatFormat;
  const struct {
    double Value;
    TFloatFormat Format;
    int Precision, Digits;
    const TNumberFormat& Nf;
    const char* Text;
  } cases[] = {
      {999, ffNumber, 8, 0, kPoint, "999"}, {-1234.6, ffNumber, 8, 0, kPoint, "-1,235"},
      {1234567.891, ffNumber, 15, 2, kPoint, "1,234,567.89"}, {9.996, ffNumber, 8, 2, kPoint, "10.00"},
      {0.5e-3, ffNumber, 8, 2, kPoint, "0.00"}, {-0.001, ffNumber, 8, 2, kPoint, "0.00"},
      {1234567.5, ffNumber, 8, 2, kSwiss, "1\xE2\x80\x99" "234\xE2\x80\x99" "567.50"},
      // No more than Precision significant digits; more integer digits give exponent form.
      {123456.789, ffNumber, 8, 4, kPoint, "123,456.7900"},
      {1234567.891, ffNumber, 8, 2, kPoint, "1,234,567.90"},
      {12345678.9, ffNumber, 8, 0, kPoint, "12,345,679"}, {123456789, ffNumber, 8, 0, kPoint, "1.2345679E8"},
      {99999999.7, ffNumber, 8, 0, kPoint, "1E8"}, {-2e20, ffNumber, 8, 2, kComma, "-2E20"},
      {1234.5, ffFixed, 8, 2, kPoint, "1234.50"}, {1234.5, ffCurrency, 8, 2, kPoint, "1,234.50"},
      {100, ffGeneral, 15, 0, kPoint, "100"}, {1e20, ffGeneral, 15, 0, kPoint, "1E20"},
      {0.00001, ffGeneral, 15, 0, kPoint, "0.00001"},
      {1.5e-7, ffGeneral, 15, 2, kComma, "1,5E-07"}, {1234.5, ffExponent, 5, 2, kPoint, "1.2345E+03"},
      {-0.01234, ffExponent, 3, 0, kPoint, "-1.23E-2"}, {kInf, ffNumber, 8, 2, kPoint, ""},
      {std::numeric_limits<double>::quiet_NaN(), ffGeneral, 8, 2, kPoint, ""}};
  for (const auto& c : cases)
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, c.Nf), c.Text) << c.Value;
}

TEST_F(NumberText, settingTextsAreShortAndReadBackStrictly) {
  const std::pair<double, const char*> cases[] = {
      {123456789012345, "123456789012345"}, {1234567890123456, "1.23456789012346e+15"},
      {0.00001, "1e-05"}, {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"}, {kInf, ""}};
  for (const auto& [value, text] : cases) EXPECT_EQ(FloatToSettingText(value, kPoint), text);
  for (const double v : {123456.789, -0.000123, 1e-300, 4.35e15}) {
    for (const auto& nf : {kPoint, kComma, kSwiss})
      EXPECT_EQ(StrToFloatStrict(FloatToSettingText(v, nf), nf), v) << v;
  }
}

TEST_F(NumberText, strictConversions) {
  const struct {
    const char* Text;
    const TNumberFormat& Nf;
    std::optional<double> Float;
    std::optional<std::int32_t> Int;
  } cases[] = {
      {" \t-7 ", kPoint, -7.0, -7}, {"+3", kPoint, 3.0, 3}, {".5", kPoint, 0.5, {}},
      {"5.", kPoint, 5.0, {}}, {"1.5E-3", kPoint, 0.0015, {}}, {"1e+3", kPoint, 1000.0, {}},
      {"2,5", kComma, 2.5, {}}, {"2.5", kComma, {}, {}},  // there the point groups digits
      // Group separators only where the display puts them, never after a leading zero.
      {"1,000", kPoint, 1000.0, 1000}, {"-12,345,678.25", kPoint, -12345678.25, {}},
      {"1.234,5", kComma, 1234.5, {}}, {"1\xE2\x80\x99" "000", kSwiss, 1000.0, 1000},
      {"1'000", kSwiss, {}, {}}, {"1\xE2\x80" "000", kSwiss, {}, {}},
      {"-2147483648", kPoint, -2147483648.0, kIntMin}, {"2147483647", kPoint, 2147483647.0, kIntMax},
      {"2147483648", kPoint, 2147483648.0, {}}, {"-2147483649", kPoint, -2147483649.0, {}},
      {"3e9", kPoint, 3e9, {}}, {"36.5", kPoint, 36.5, {}}, {"1e999", kPoint, {}, {}}};
  for (const auto& c : cases) {
    EXPECT_EQ(StrToFloatStrict(c.Text, c.Nf), c.Float) << c.Text;
    EXPECT_EQ(StrToIntStrict(c.Text, c.Nf), c.Int) << c.Text;
  }
  for (const char* text :
       {"", "  ", "12a", "1.2.3", "inf", "-INF", "nan", "0x1p3", "0x10", "$1F", "1e", "1e+", "e5",
        "- 1", "--1", "+-1", ".", "-.", "-", "1 000", "1.2e3.4", "\xE2\x80\x99" "1", "1,00",
        "1,0000", ",100", "1234,567", "1,000.5,1", "1,,000", "1,", "0,125", "-0,125", "01,000"}) {
    EXPECT_FALSE(StrToFloatStrict(text, kPoint).has_value()) << text;
    EXPECT_FALSE(StrToIntStrict(text, kPoint).has_value()) << text;
  }
}

TEST_F(NumberText, settingsReadsTakeTheOtherDecimalSeparatorAndHexadecimal) {
  const std::pair<const char*, std::optional<double>> floats[] = {
      {"2.5", 2.5}, {"2,5", 2.5}, {"0,125", 0.125}, {"1,500", 1.5},  // the file never groups
      {"1,500.5", 1500.5}, {"2,5.1", {}}, {"2;5", {}}, {"", {}}, {"1,2,3", {}}};
  for (const auto& [text, value] : floats) EXPECT_EQ(StrToFloatSetting(text, kPoint), value) << text;
  EXPECT_EQ(StrToFloatSetting("2.5", kComma), 2.5);
  const std::pair<const char*, std::optional<std::int32_t>> ints[] = {
      {"0x1F", 31}, {"0X1f", 31}, {"$1F", 31}, {" -$10 ", -16}, {"+0x10", 16}, {"$aA", 170},
      {"0x7FFFFFFF", kIntMax}, {"42", 42}, {" 0x1F\t", 31}, {"0x", {}}, {"$", {}}, {"$G", {}},
      {"0x 1F", {}}, {"0x80000000", {}}, {"$-1", {}}, {"x1F", {}}, {"0x1.8", {}}};
  for (const auto& [text, value] : ints) EXPECT_EQ(StrToIntSetting(text, kPoint), value) << text;
}

TEST_F(NumberText, forgivingReadTruncationAndFilter) {
  EXPECT_EQ(StrToFloatLenient("1,00", kPoint), 100.0);
  EXPECT_EQ(StrToFloatLenient("1\xE2\x80\x99" "2", kSwiss), 12.0);
  EXPECT_EQ(StrToFloatLenient("2.5", kComma), 25.0);
  EXPECT_EQ(StrToFloatLenient("2.5", {".", "."}), 2.5);  // a separator that cannot group
  for (const char* text : {"12a", "", "1e999"}) EXPECT_EQ(StrToFloatLenient(text, kPoint), 0.0);
  for (const auto& [value, truncated] : {std::pair{-7.9, -7}, {7.9, 7}, {3e9, kIntMax},
                                         {-3e9, kIntMin}, {std::nan(""), 0}})
    EXPECT_EQ(TruncToInt32(value), truncated) << value;

  // The last decimal separator stays, digits behind it are cut; multi-byte separators stay
  // whole and other non-ASCII characters go entirely.
  const struct {
    const char* Text;
    int Digits;
    const TNumberFormat& Nf;
    const char* Kept;
  } filtered[] = {{"1.2.3", 2, kPoint, "12.3"}, {"12.345", 2, kPoint, "12.34"},
                  {"12.345", 0, kPoint, "12.345"}, {"-1,2a3 b", 2, kPoint, "-1,23"},
                  {"1\xE2\x80\x99" "2\xE2\x80\x98" "3\xC3\xA9", 2, kSwiss, "1\xE2\x80\x99" "23"}};
  for (const auto& f : filtered)
    EXPECT_EQ(FilterNumberText(f.Text, 0, f.Digits, f.Nf).Text, f.Kept) << f.Text;
  const auto f = FilterNumberText("1a2", 2, 2, kPoint);
  EXPECT_EQ(f.Text + "|" + std::to_string(f.Caret), "12|1");  // behind the same kept character
}

}  // namespace
}  // namespace qv
