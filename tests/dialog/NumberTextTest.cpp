#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "dialog/NumberText.h"

namespace qv {
namespace {

const TNumberFormat kPoint{".", ","};
const TNumberFormat kComma{",", "."};
const TNumberFormat kSwiss{".", "\xE2\x80\x99"};  // de_CH: U+2019 groups

std::string Number(double v, int digits, const TNumberFormat& nf = kPoint, int precision = 8) {
  return FloatToStrF(v, TFloatFormat::ffNumber, precision, digits, nf);
}

TEST(FloatToStrF, numberFormatGroupsAndRoundsToDigits) {
  EXPECT_EQ(Number(2, 2), "2.00");
  EXPECT_EQ(Number(1000, 0), "1,000");
  EXPECT_EQ(Number(999, 0), "999");
  EXPECT_EQ(Number(1234567.891, 2, kPoint, 15), "1,234,567.89");
  EXPECT_EQ(Number(-1234.6, 0), "-1,235");
  EXPECT_EQ(Number(0.11174, 4), "0.1117");
  EXPECT_EQ(Number(9.996, 2), "10.00");
  EXPECT_EQ(Number(0.5e-3, 2), "0.00");
  EXPECT_EQ(Number(-0.001, 2), "0.00");  // no "-0.00"
  EXPECT_EQ(Number(1000, 0, kSwiss), "1\xE2\x80\x99" "000");
  EXPECT_EQ(Number(1234567.5, 2, kSwiss), "1\xE2\x80\x99" "234\xE2\x80\x99" "567.50");
  EXPECT_EQ(Number(1234.5, 2, kComma), "1.234,50");
}

TEST(FloatToStrF, showsNoMoreThanPrecisionSignificantDigits) {
  EXPECT_EQ(Number(123456.789, 4), "123,456.7900");
  EXPECT_EQ(Number(1234567.891, 2), "1,234,567.90");
  EXPECT_EQ(Number(12345678.9, 0), "12,345,679");
  // More integer digits than Precision: exponent form, which reads back as a number.
  EXPECT_EQ(Number(123456789, 0), "1.2345679E8");
  EXPECT_EQ(Number(99999999.7, 0), "1E8");
  EXPECT_EQ(Number(-2e20, 2, kComma), "-2E20");
}

TEST(FloatToStrF, otherFormats) {
  const auto f = [](double v, TFloatFormat format, int precision, int digits) {
    return FloatToStrF(v, format, precision, digits, kPoint);
  };
  EXPECT_EQ(f(1234.5, TFloatFormat::ffFixed, 8, 2), "1234.50");
  EXPECT_EQ(f(1234.5, TFloatFormat::ffCurrency, 8, 2), "1,234.50");
  EXPECT_EQ(f(0.1117, TFloatFormat::ffGeneral, 15, 0), "0.1117");
  EXPECT_EQ(f(100, TFloatFormat::ffGeneral, 15, 0), "100");
  EXPECT_EQ(f(1e20, TFloatFormat::ffGeneral, 15, 0), "1E20");
  EXPECT_EQ(f(0.00001, TFloatFormat::ffGeneral, 15, 0), "0.00001");
  EXPECT_EQ(f(1.5e-7, TFloatFormat::ffGeneral, 15, 2), "1.5E-07");
  EXPECT_EQ(f(1234.5, TFloatFormat::ffExponent, 5, 2), "1.2345E+03");
  EXPECT_EQ(f(-0.01234, TFloatFormat::ffExponent, 3, 0), "-1.23E-2");
  EXPECT_EQ(f(std::numeric_limits<double>::infinity(), TFloatFormat::ffNumber, 8, 2), "");
  EXPECT_EQ(f(std::numeric_limits<double>::quiet_NaN(), TFloatFormat::ffGeneral, 8, 2), "");
}

TEST(FloatToSettingText, writesTheShortestFormWithinFifteenDigits) {
  EXPECT_EQ(FloatToSettingText(2, kPoint), "2");
  EXPECT_EQ(FloatToSettingText(0.1117, kPoint), "0.1117");
  EXPECT_EQ(FloatToSettingText(100, kPoint), "100");
  EXPECT_EQ(FloatToSettingText(123456789012345, kPoint), "123456789012345");
  EXPECT_EQ(FloatToSettingText(1234567890123456, kPoint), "1.23456789012346e+15");
  EXPECT_EQ(FloatToSettingText(0.00001, kPoint), "1e-05");
  EXPECT_EQ(FloatToSettingText(2.6894, kComma), "2,6894");
  EXPECT_EQ(FloatToSettingText(0.1 + 0.2, kPoint), "0.3");
  EXPECT_EQ(FloatToSettingText(1.0 / 3, kPoint), "0.333333333333333");
  EXPECT_EQ(FloatToSettingText(-1e20, kPoint), "-1e+20");
  EXPECT_EQ(FloatToSettingText(std::numeric_limits<double>::infinity(), kPoint), "");
  // What is written reads back strictly, with either separator.
  for (const double v : {123456.789, -0.000123, 1e-300, 4.35e15}) {
    for (const auto& nf : {kPoint, kComma, kSwiss}) {
      const auto back = StrToFloatStrict(FloatToSettingText(v, nf), nf);
      ASSERT_TRUE(back.has_value()) << v;
      EXPECT_EQ(*back, v);
    }
  }
}

TEST(StrToFloatStrict, acceptsSignDigitsOneSeparatorExponentAndBlanks) {
  EXPECT_EQ(StrToFloatStrict("2", kPoint), 2.0);
  EXPECT_EQ(StrToFloatStrict(" \t-7.9 ", kPoint), -7.9);
  EXPECT_EQ(StrToFloatStrict("+3", kPoint), 3.0);
  EXPECT_EQ(StrToFloatStrict(".5", kPoint), 0.5);
  EXPECT_EQ(StrToFloatStrict("5.", kPoint), 5.0);
  EXPECT_EQ(StrToFloatStrict("1.5E-3", kPoint), 0.0015);
  EXPECT_EQ(StrToFloatStrict("1e+3", kPoint), 1000.0);
  EXPECT_EQ(StrToFloatStrict("2,5", kComma), 2.5);
}

TEST(StrToFloatStrict, refusesEverythingElse) {
  for (const char* text : {"", "  ", "12a", "1.2.3", "inf", "-INF", "nan", "infinity", "0x1p3",
                           "0x10", "1e", "1e+", "e5", "- 1", "--1", "+-1", ".", "-.", "1e999",
                           "-1e999", "1 000", "1,5", "1.2e3.4", "\xE2\x80\x99" "1"}) {
    EXPECT_FALSE(StrToFloatStrict(text, kPoint).has_value()) << text;
  }
  // On a decimal-comma system the point groups digits and is not a decimal separator.
  EXPECT_FALSE(StrToFloatStrict("2.5", kComma).has_value());
}

TEST(StrToFloatStrict, acceptsGroupSeparatorsOnlyWhereTheDisplayPutsThem) {
  EXPECT_EQ(StrToFloatStrict("1,000", kPoint), 1000.0);
  EXPECT_EQ(StrToFloatStrict("-12,345,678.25", kPoint), -12345678.25);
  EXPECT_EQ(StrToFloatStrict("1.234,5", kComma), 1234.5);
  EXPECT_EQ(StrToFloatStrict("1\xE2\x80\x99" "000\xE2\x80\x99" "000", kSwiss), 1e6);
  // A leading zero group is no grouping the display makes: "0,125" is not 125.
  for (const char* text : {"1,00", "1,0000", ",100", "1234,567", "1,000.5,1", "1,,000", "1,",
                           "0,125", "-0,125", "01,000", "0,125.5"}) {
    EXPECT_FALSE(StrToFloatStrict(text, kPoint).has_value()) << text;
    EXPECT_FALSE(StrToIntStrict(text, kPoint).has_value()) << text;
  }
  // An ASCII apostrophe is not U+2019, and a lone lead byte of it matches nothing.
  EXPECT_FALSE(StrToFloatStrict("1'000", kSwiss).has_value());
  EXPECT_FALSE(StrToFloatStrict("1\xE2\x80" "000", kSwiss).has_value());
}

TEST(StrToIntStrict, decimalIntegersWithinThirtyTwoBits) {
  EXPECT_EQ(StrToIntStrict(" 36 ", kPoint), 36);
  EXPECT_EQ(StrToIntStrict("-2147483648", kPoint), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(StrToIntStrict("2147483647", kPoint), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(StrToIntStrict("1,000", kPoint), 1000);
  EXPECT_EQ(StrToIntStrict("1\xE2\x80\x99" "000", kSwiss), 1000);
  for (const char* text : {"2147483648", "-2147483649", "99999999999999999999", "3e9", "1.0",
                           "36.5", "0x1F", "$1F", "", "-", "1,00"}) {
    EXPECT_FALSE(StrToIntStrict(text, kPoint).has_value()) << text;
  }
}

TEST(StrToFloatSetting, readsTheOtherDecimalSeparatorBeforeAnyGrouping) {
  EXPECT_EQ(StrToFloatSetting("2.5", kPoint), 2.5);
  EXPECT_EQ(StrToFloatSetting("2,5", kPoint), 2.5);
  EXPECT_EQ(StrToFloatSetting("0,125", kPoint), 0.125);
  EXPECT_EQ(StrToFloatSetting("2.5", kComma), 2.5);
  EXPECT_EQ(StrToFloatSetting("1,500", kPoint), 1.5);     // never grouped by the file itself
  EXPECT_EQ(StrToFloatSetting("1,500.5", kPoint), 1500.5);  // grouped by hand
  for (const char* text : {"2,5.1", "2;5", "", "1,2,3"})
    EXPECT_FALSE(StrToFloatSetting(text, kPoint).has_value()) << text;
}

TEST(StrToIntSetting, readsHexadecimalAfterItsPrefixes) {
  EXPECT_EQ(StrToIntSetting("0x1F", kPoint), 31);
  EXPECT_EQ(StrToIntSetting("0X1f", kPoint), 31);
  EXPECT_EQ(StrToIntSetting("$1F", kPoint), 31);
  EXPECT_EQ(StrToIntSetting(" -$10 ", kPoint), -16);
  EXPECT_EQ(StrToIntSetting("0x7FFFFFFF", kPoint), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(StrToIntSetting("42", kPoint), 42);
  EXPECT_EQ(StrToIntSetting(" 0x1F\t", kPoint), 31);
  for (const char* text : {"0x", "$", "$G", "0x 1F", "0x80000000", "$-1", "x1F", "0x1.8"}) {
    EXPECT_FALSE(StrToIntSetting(text, kPoint).has_value()) << text;
  }
}

TEST(StrToFloatLenient, dropsGroupSeparatorsAnywhereAndGivesZeroForNonNumbers) {
  EXPECT_EQ(StrToFloatLenient("1,00", kPoint), 100.0);
  EXPECT_EQ(StrToFloatLenient("1\xE2\x80\x99" "2", kSwiss), 12.0);
  EXPECT_EQ(StrToFloatLenient("2.5", kComma), 25.0);
  EXPECT_EQ(StrToFloatLenient("12a", kPoint), 0.0);
  EXPECT_EQ(StrToFloatLenient("", kPoint), 0.0);
  EXPECT_EQ(StrToFloatLenient("1e999", kPoint), 0.0);
}

TEST(TruncToInt32, truncatesTowardZeroAndSaturates) {
  EXPECT_EQ(TruncToInt32(-7.9), -7);
  EXPECT_EQ(TruncToInt32(7.9), 7);
  EXPECT_EQ(TruncToInt32(3e9), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(TruncToInt32(-3e9), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(TruncToInt32(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(FilterNumberText, keepsTheLastDecimalSeparatorAndCutsExtraDecimals) {
  EXPECT_EQ(FilterNumberText("1.2.3", 5, 2, kPoint).Text, "12.3");
  EXPECT_EQ(FilterNumberText("12.345", 6, 2, kPoint).Text, "12.34");
  EXPECT_EQ(FilterNumberText("12.345", 6, 0, kPoint).Text, "12.345");  // no cut without decimals
  EXPECT_EQ(FilterNumberText("-1,2a3 b", 8, 2, kPoint).Text, "-1,23");
  // Multi-byte separators stay whole; other non-ASCII characters go entirely.
  EXPECT_EQ(FilterNumberText("1\xE2\x80\x99" "2\xE2\x80\x98" "3\xC3\xA9", 12, 2, kSwiss).Text,
            "1\xE2\x80\x99" "23");
  // The caret stays behind the same kept character.
  const auto f = FilterNumberText("1a2", 2, 2, kPoint);
  EXPECT_EQ(f.Text, "12");
  EXPECT_EQ(f.Caret, 1u);
}

}  // namespace
}  // namespace qv
