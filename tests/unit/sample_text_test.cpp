#include "records/sample_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

namespace pump::records {
namespace {

std::string Text(double value) {
  char text[kMaxSampleTextBytes + 1];
  return std::string(text, WriteSampleText(text, value));
}

std::string Printf15g(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

// printf's rounding of the exact binary value is the reference throughout.
void ExpectLikePrintf(double value) {
  ASSERT_EQ(Text(value), Printf15g(value)) << std::hexfloat << value;
}

TEST(SampleText, RoundingCarriesIntoANewLeadingDigit) {
  EXPECT_EQ(Text(9.9999999999999995), "10");
  EXPECT_EQ(Text(999999999999999.9), "1e+15");
  EXPECT_EQ(Text(0.000099999999999999999), "0.0001");
  EXPECT_EQ(Text(-9.99999999999999999e-5), "-0.0001");
}

TEST(SampleText, DigitsThatAreExactlyHalfwayFollowTheExactBinaryValue) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<std::int64_t> fifteenDigits(100000000000000, 999999999999999);
  for (int i = 0; i < 20000; ++i) {
    const std::string halfway =
        std::to_string(fifteenDigits(random)) + "5e-" + std::to_string(i % 40);
    ExpectLikePrintf(std::stod(halfway));
  }
}

TEST(SampleText, AgreesWithPrintfOverRandomBitPatterns) {
  std::mt19937_64 random(2024);
  for (int i = 0; i < 200000; ++i) {
    const double value = std::bit_cast<double>(random());
    if (!std::isfinite(value)) continue;
    ExpectLikePrintf(value);
  }
}

TEST(SampleText, AgreesWithPrintfOverReadingsOfEveryScale) {
  std::mt19937_64 random(99);
  std::uniform_real_distribution<double> unit(-1, 1);
  for (int scale = -330; scale <= 310; ++scale) {
    for (int i = 0; i < 50; ++i) ExpectLikePrintf(unit(random) * std::pow(10.0, scale));
  }
  for (int tenths = -1000; tenths <= 1000; ++tenths) ExpectLikePrintf(tenths / 10.0);
}

}  // namespace
}  // namespace pump::records
