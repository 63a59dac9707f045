// Decimal text to number and back.
#include "core/Number.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <limits>

#include "support/GbkPrint.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct ParseCase {
  Text text;
  double number;
  std::int32_t integer;
};

TEST(Number, ReadsTheLongestDecimalPrefix) {
  const ParseCase kCases[] = {
      {"15", 15, 15},
      {"2.9", 2.9, 2},
      {"-2.9", -2.9, -2},
      {"-0.5", -0.5, 0},
      {"+7", 7, 7},
      {"10分钟", 10, 10},
      {"abc", 0, 0},
      {"", 0, 0},
      {"  42", 42, 42},
      {"\t42", 42, 42},
      {"　 42", 42, 42},
      {".5", 0.5, 0},
      {"5.", 5, 5},
      {"007", 7, 7},
      {".", 0, 0},
      {"-", 0, 0},
      {"+-1", 0, 0},
      {"- 1", 0, 0},
      {"1e3", 1000, 1000},
      {"2.5E-1", 0.25, 0},
      {"1e+2x", 100, 100},
      {"1e", 1, 1},
      {"1e+", 1, 1},
      {"1.5.6", 1.5, 1},
      {"1,000", 1, 1},
      {"0x1A", 0, 0},
      {"3 4", 3, 3},
      {"１２", 12, 12},
      {"1０", 10, 10},
      {"－３．５", -3.5, -3},
      {"＋４", 4, 4},
      {"2ｅ3", 2, 2},  // the exponent letter is ASCII only
      {"1e-400", 0, 0},
      {"1e400", kInf, kMax},
      {"-1e400", -kInf, kMin},
      {"2147483647", 2147483647.0, kMax},
      {"-2147483648", -2147483648.0, kMin},
      {"2147483646.9", 2147483646.9, 2147483646},
      {"3000000000", 3e9, kMax},
      {"-3000000000", -3e9, kMin},
  };
  for (const ParseCase& c : kCases) {
    SCOPED_TRACE("text \"" + utf8(c.text) + "\"");
    EXPECT_EQ(textToNumber(c.text), c.number);
    EXPECT_EQ(textToInt32(c.text), c.integer);
  }
}

struct FormatCase {
  Text actual;
  Text expected;
};

TEST(Number, WritesPlainDecimal) {
  const FormatCase kCases[] = {
      {numberToText(std::int64_t{0}), "0"},
      {numberToText(std::int64_t{-42}), "-42"},
      {numberToText(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808"},
      {numberToText(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615"},
      {numberToText(900000), "900000"},
      {numberToText(std::size_t{12}), "12"},
      {numberToText(2.5), "2.5"},
      {numberToText(3.0), "3"},
      {numberToText(-0.25), "-0.25"},
      {numberToText(0.1), "0.1"},
      {numberToText(-0.0), "0"},
      {numberToText(1e20), "100000000000000000000"},
      {numberToText(1e-7), "0.0000001"},
      {numberToText(123456789.125), "123456789.125"},
      {numberToText(kInf), "inf"},
  };
  for (const FormatCase& c : kCases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Number, TextOfADoubleReadsBackAsTheSameDouble) {
  for (double value : {0.1, 1.0 / 3.0, -2.0 / 7.0, 12345.678, 1e-300, 1.7976931348623157e308}) {
    SCOPED_TRACE(value);
    const Text text = numberToText(value);
    EXPECT_EQ(text.find_first_of("eE"), Text::npos) << text;
    EXPECT_EQ(textToNumber(text), value) << text;
  }
}

}  // namespace
