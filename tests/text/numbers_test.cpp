#include "text/numbers.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

const std::string lone = "\xB0";  // a first byte with nothing after it

TEST(ParseInteger, ReadsTheLeadingInteger) {
  struct Case {
    const char* name;
    std::string text;
    std::int32_t expected;
  } const cases[] = {
      {"stops at the point", "1.5", 1},
      {"leading space, trailing letters", " 12abc", 12},
      {"full-width digits", "１２"_gbk, 12},
      {"full-width sign and digits", "－３"_gbk, -3},
      {"full-width space skipped", "　 7"_gbk, 7},
      {"negative", "-3", -3},
      {"plus", "+4", 4},
      {"white space kinds", "\t\n\v\f\r 9", 9},
      {"letter", "x", 0},
      {"empty", "", 0},
      {"sign alone", "-", 0},
      {"two signs", "+-5", 0},
      {"space after sign", "- 5", 0},
      {"largest", "2147483647", INT32_MAX},
      {"smallest", "-2147483648", INT32_MIN},
      {"one beyond wraps", "2147483648", INT32_MIN},
      {"eleven digits wrap", "12345678901", static_cast<std::int32_t>(12345678901LL - 3 * 4294967296LL)},
      {"negative wraps", "-4294967297", -1},
      {"leading zeros", "007", 7},
      {"other two-byte character stops", "1"_gbk + "外"_gbk + "2", 1},
      {"wave dash is no digit", "～1"_gbk, 0},
      {"lone first byte", "3" + lone, 3},
      {"only a lone first byte", lone, 0},
      {"A3 A0 is not mapped",
       "\xA3\xA0"
       "1",
       0},
      {"digits after a full-width digit", "１2"_gbk, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(parse_integer(c.text), c.expected);
  }
}

TEST(ParseInteger, LongRunOfDigitsWrapsWithoutHarm) {
  EXPECT_EQ(parse_integer(std::string(10 * 1024 * 1024, '9')), -1);  // ...999 mod 2^32 read as signed
}

TEST(ParseReal, ReadsTheLongestDecimalNumber) {
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    std::string text;
    double expected;
  } const cases[] = {
      {"port", "8080", 8080},
      {"fraction", " 1.5x", 1.5},
      {"full-width", "１２．５"_gbk, 12.5},
      {"exponent", "1e3", 1000},
      {"full-width exponent", "２Ｅ２"_gbk, 200},
      {"signed exponent", "25e-1", 2.5},
      {"bare e not taken", "7e", 7},
      {"e with sign only not taken", "7e+", 7},
      {"leading point", ".5", 0.5},
      {"trailing point", "5.", 5},
      {"plus", "+2.5", 2.5},
      {"minus", "-0.25", -0.25},
      {"point alone", ".", 0},
      {"sign alone", "-", 0},
      {"no number", "abc", 0},
      {"empty", "", 0},
      {"no inf", "inf", 0},
      {"no nan", "nan", 0},
      {"no hex", "0x10", 0},
      {"overflow", "1e400", inf},
      {"negative overflow", "-1e400", -inf},
      {"overflow from digits", std::string(400, '9'), inf},
      {"overflow despite a negative exponent", std::string(500, '1') + "e-100", inf},
      {"underflow", "1e-400", 0},
      {"underflow from fraction zeros", "0." + std::string(400, '0') + "1", 0},
      {"huge exponent of zero", "0e99999999999999999999", 0},
      {"lone first byte", "3" + lone, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(parse_real(c.text), c.expected);
  }
}

TEST(RealToInteger, TruncatesTowardZeroWithinRange) {
  struct Case {
    double x;
    std::int32_t expected;
  } const cases[] = {
      {2.9, 2},
      {-2.9, -2},
      {0.0, 0},
      {2147483647.9, INT32_MAX},
      {-2147483648.9, INT32_MIN},
      {1e300, INT32_MAX},
      {-std::numeric_limits<double>::infinity(), INT32_MIN},
      {std::numeric_limits<double>::quiet_NaN(), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(real_to_integer(c.x), c.expected);
  }
}

TEST(IntegerText, WritesDecimalDigits) {
  EXPECT_EQ(integer_text(0), "0");
  EXPECT_EQ(integer_text(-42), "-42");
  EXPECT_EQ(integer_text(INT32_MIN), "-2147483648");
  EXPECT_EQ(integer_text(INT64_MIN), "-9223372036854775808");
  EXPECT_EQ(integer_text(INT64_MAX), "9223372036854775807");
}

TEST(RealText, WritesThirteenSignificantDigits) {
  struct Case {
    double x;
    const char* expected;
  } const cases[] = {
      {0, "0"},
      {20, "20"},
      {1.5, "1.5"},
      {0.1 + 0.2, "0.3"},
      {2.0 / 3.0, "0.6666666666667"},
      {-2.5, "-2.5"},
      {10.0 * (1 - 1), "0"},
      {10.0 * (100 - 1), "990"},
      {1.23, "1.23"},
      {60, "60"},
      {1234567890123.0, "1234567890123"},
      {1e13, "1e+013"},
      {12345678901234.0, "1.234567890123e+013"},
      {0.0001, "0.0001"},
      {0.00001, "1e-005"},
      {-1.5e-7, "-1.5e-007"},
      {1e100, "1e+100"},
      {1.5e-300, "1.5e-300"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(real_text(c.x), c.expected);
  }
}

TEST(RealText, NonFiniteValuesDoNotGrowAnExponent) {
  EXPECT_EQ(real_text(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(real_text(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(real_text(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(RoundHalfAway, RoundsHalvesAwayFromZero) {
  struct Case {
    double x;
    int places;
    double expected;
  } const cases[] = {
      {1.005, 2, 1.01},      {2.675, 2, 2.68}, {-1.5, 0, -2},  {2.5, 0, 3},     {-2.5, 0, -3},
      {2.4999, 0, 2},        {15, -1, 20},     {14.9, -1, 10}, {59.999, 2, 60}, {0, 3, 0},
      {1234.5678, -2, 1200}, {0.5, 0, 1},      {0.49, 0, 0},   {1.5, 400, 1.5},  // more places than a double
                                                                                 // holds
      {1e308, -400, 0},                                                          // a unit beyond every value
      {1e308, 2, 1e308},                                                         // scaling overflows
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << " to " << c.places);
    EXPECT_EQ(round_half_away(c.x, c.places), c.expected);
  }
}

TEST(RoundHalfAway, ZeroResultHasNoSign) {
  EXPECT_FALSE(std::signbit(round_half_away(-0.4)));
  EXPECT_FALSE(std::signbit(round_half_away(-0.0)));
  EXPECT_TRUE(std::isnan(round_half_away(std::nan(""))));
  EXPECT_EQ(round_half_away(-std::numeric_limits<double>::infinity()),
            -std::numeric_limits<double>::infinity());
}

TEST(UpperHex, WritesUpperCaseWithoutPadding) {
  EXPECT_EQ(upper_hex(0), "0");
  EXPECT_EQ(upper_hex(5), "5");
  EXPECT_EQ(upper_hex(10), "A");
  EXPECT_EQ(upper_hex(229), "E5");
  EXPECT_EQ(upper_hex(-1), "FFFFFFFF");
  EXPECT_EQ(upper_hex(INT32_MIN), "80000000");
}

TEST(SmallValues, BoolCharSpaceAndZeroTexts) {
  EXPECT_EQ(bool_text(true), "真"_gbk);
  EXPECT_EQ(bool_text(false), "假"_gbk);
  EXPECT_EQ(char_text('%'), "%");
  EXPECT_EQ(char_text(0xE5), "\xE5");
  EXPECT_EQ(char_text(0), "");
  EXPECT_EQ(space_text(3), "   ");
  EXPECT_EQ(space_text(0), "");
  EXPECT_EQ(space_text(INT_MIN), "");
  EXPECT_EQ(zero_bytes(2), std::string(2, '\0'));
  EXPECT_EQ(zero_bytes(-1), "");
}

TEST(ByteArrays, ConvertAtTheFirstZeroByte) {
  const Bytes body("ab\0cd", 5);
  EXPECT_EQ(text_to_bytes("ab"), "ab");
  EXPECT_EQ(bytes_to_text(body), "ab");
  EXPECT_EQ(bytes_to_text("abc"), "abc");
  EXPECT_EQ(bytes_to_text(std::string(1, '\0')), "");
  EXPECT_EQ(bytes_length(body), 5);
}

TEST(ByteArrays, CutsClipOffsetAndCount) {
  const Bytes data("a\0cdef", 6);
  struct Case {
    const char* name;
    int position, n;
    Bytes leading, middle;
  } const cases[] = {
      {"plain", 2, 3, Bytes("a\0c", 3), Bytes("\0cd", 3)},
      {"n beyond", 5, 10, data, "ef"},
      {"n zero", 1, 0, "", ""},
      {"n negative", 1, -3, "", ""},
      {"n INT_MIN", 1, INT_MIN, "", ""},
      {"position below 1 raised to the start", -4, 2, Bytes("a\0", 2), Bytes("a\0", 2)},
      {"position INT_MIN", INT_MIN, 1, "a", "a"},
      {"position past the end lowered to the end", 99, 2, Bytes("a\0", 2), ""},
      {"position INT_MAX", INT_MAX, INT_MAX, data, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(bytes_leading(data, c.n), c.leading);
    EXPECT_EQ(bytes_middle(data, c.position, c.n), c.middle);
  }
}

}  // namespace
}  // namespace vd
