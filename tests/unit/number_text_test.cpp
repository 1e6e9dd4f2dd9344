#include "platform/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <string>

namespace pump {
namespace {

struct DoubleCase {
  const char* text;
  std::optional<double> expected;
  friend void PrintTo(const DoubleCase& row, std::ostream* out) { *out << '"' << row.text << '"'; }
};

class TextToDouble : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(TextToDouble, ReadsNumbersStrictly) {
  const auto result = ToDouble(GetParam().text);
  EXPECT_EQ(result, GetParam().expected) << "text: \"" << GetParam().text << "\"";
  EXPECT_EQ(IsNumeric(GetParam().text), GetParam().expected.has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextToDouble,
    ::testing::Values(
        // Plain numbers.
        DoubleCase{"150", 150}, DoubleCase{"2.5", 2.5}, DoubleCase{"02.5", 2.5},
        DoubleCase{"-3", -3}, DoubleCase{"+4", 4}, DoubleCase{".5", 0.5}, DoubleCase{"5.", 5},
        DoubleCase{"1e2", 100}, DoubleCase{"2.5E-1", 0.25},
        // Blanks around the number, ASCII and ideographic.
        DoubleCase{"  150 ", 150}, DoubleCase{"\t7\t", 7}, DoubleCase{"\u30002.5\u3000", 2.5},
        // Full-width twins of digits, point, signs.
        DoubleCase{"１５０", 150}, DoubleCase{"２．５", 2.5}, DoubleCase{"－１", -1},
        DoubleCase{"＋３", 3}, DoubleCase{"1５.０", 15},
        // Signed zero and numbers at the edges of a double.
        DoubleCase{"-0", 0.0}, DoubleCase{"1e-400", 0.0}, DoubleCase{"0.000e999999999999", 0.0},
        DoubleCase{"1e400", std::nullopt}, DoubleCase{"-1e400", std::nullopt},
        DoubleCase{"0.0000001e309", 1e302}, DoubleCase{"1e99999999999999999999", std::nullopt},
        // Not numbers.
        DoubleCase{"", std::nullopt}, DoubleCase{"   ", std::nullopt},
        DoubleCase{".", std::nullopt}, DoubleCase{"-", std::nullopt},
        DoubleCase{"abc", std::nullopt}, DoubleCase{"12abc", std::nullopt},
        DoubleCase{"1 2", std::nullopt}, DoubleCase{"1.2.3", std::nullopt},
        DoubleCase{"--1", std::nullopt}, DoubleCase{"- 1", std::nullopt},
        DoubleCase{"1e", std::nullopt}, DoubleCase{"e5", std::nullopt},
        DoubleCase{"inf", std::nullopt}, DoubleCase{"nan", std::nullopt},
        DoubleCase{"0x10", std::nullopt}, DoubleCase{"&H10", std::nullopt},
        DoubleCase{"1,5", std::nullopt}, DoubleCase{"1。5", std::nullopt},
        DoubleCase{"１５０元", std::nullopt}, DoubleCase{"\xEF\xBC", std::nullopt}));

TEST(TextToDouble, MinusZeroCarriesNoSign) {
  const auto zero = ToDouble("-0.0");
  ASSERT_TRUE(zero.has_value());
  EXPECT_FALSE(std::signbit(*zero));
}

struct IntegerCase {
  const char* text;
  std::optional<std::int16_t> expected;
  friend void PrintTo(const IntegerCase& row, std::ostream* out) { *out << '"' << row.text << '"'; }
};

class TextToInteger : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(TextToInteger, RoundsHalvesToEvenWithinSixteenBits) {
  EXPECT_EQ(ToInteger(GetParam().text), GetParam().expected)
      << "text: \"" << GetParam().text << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextToInteger,
    ::testing::Values(IntegerCase{"3", 3}, IntegerCase{" 12 ", 12}, IntegerCase{"１２", 12},
                      IntegerCase{"2.5", 2}, IntegerCase{"3.5", 4}, IntegerCase{"-2.5", -2},
                      IntegerCase{"-3.5", -4}, IntegerCase{"2.4999", 2}, IntegerCase{"2.5001", 3},
                      IntegerCase{"0.5", 0}, IntegerCase{"1.5", 2}, IntegerCase{"２．５", 2},
                      IntegerCase{"32767", 32767}, IntegerCase{"32767.4", 32767},
                      IntegerCase{"32767.5", std::nullopt}, IntegerCase{"32768", std::nullopt},
                      IntegerCase{"-32768", -32768}, IntegerCase{"-32768.5", -32768},
                      IntegerCase{"-32769", std::nullopt}, IntegerCase{"1e400", std::nullopt},
                      IntegerCase{"", std::nullopt}, IntegerCase{"seven", std::nullopt},
                      IntegerCase{"7a", std::nullopt}));

}  // namespace
}  // namespace pump
