#include "link/pump_frame.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>
#include <locale>

namespace pump::link {
namespace {

struct FieldRow {
  double value;
  std::optional<std::string> field;
};

void PrintTo(const FieldRow& row, std::ostream* os) { *os << row.value; }

// Flow is written as a whole number, zero-filled to four digits. The rule for a
// fraction: round half away from zero on the value as written in decimal, as a
// number pattern does, so 150.5 -> 0151 and 0.5 -> 0001.
class FlowFieldTable : public ::testing::TestWithParam<FieldRow> {};

TEST_P(FlowFieldTable, EncodesOrRefuses) {
  EXPECT_EQ(FlowField(GetParam().value), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(
    Flow, FlowFieldTable,
    ::testing::Values(FieldRow{150, "0150"}, FieldRow{5, "0005"}, FieldRow{0, "0000"},
                      FieldRow{200, "0200"}, FieldRow{-0.0, "0000"}, FieldRow{150.5, "0151"},
                      FieldRow{150.49, "0150"}, FieldRow{0.5, "0001"}, FieldRow{2.5, "0003"},
                      FieldRow{199.999, "0200"}, FieldRow{1e-300, "0000"},
                      FieldRow{std::numeric_limits<double>::denorm_min(), "0000"},
                      FieldRow{9999, "9999"}, FieldRow{9999.4, "9999"},
                      // refused: cannot be written in four digits, or negative
                      FieldRow{9999.5, std::nullopt}, FieldRow{10000, std::nullopt},
                      FieldRow{1e300, std::nullopt}, FieldRow{-1, std::nullopt},
                      FieldRow{-0.4, std::nullopt},
                      FieldRow{std::numeric_limits<double>::infinity(), std::nullopt},
                      FieldRow{std::numeric_limits<double>::quiet_NaN(), std::nullopt}));

// Pressure: two digits, ".", one digit; a half in the second decimal rounds up
// even where the nearest double lies just below it (2.45, 0.05).
class PressureFieldTable : public ::testing::TestWithParam<FieldRow> {};

TEST_P(PressureFieldTable, EncodesOrRefuses) {
  EXPECT_EQ(PressureField(GetParam().value), GetParam().field);
}

INSTANTIATE_TEST_SUITE_P(
    Pressure, PressureFieldTable,
    ::testing::Values(FieldRow{2.5, "02.5"}, FieldRow{0, "00.0"}, FieldRow{5, "05.0"},
                      FieldRow{2.45, "02.5"}, FieldRow{2.44, "02.4"}, FieldRow{0.05, "00.1"},
                      FieldRow{0.04, "00.0"}, FieldRow{4.96, "05.0"}, FieldRow{12.3, "12.3"},
                      FieldRow{99.9, "99.9"}, FieldRow{99.94, "99.9"},
                      FieldRow{99.95, std::nullopt}, FieldRow{100, std::nullopt},
                      FieldRow{-0.1, std::nullopt}, FieldRow{-2.5, std::nullopt}));

struct CommaDecimals : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
};

// Both the stream locale and, where the machine has one, the C locale are set
// to write decimal commas.
TEST(PressureField, WritesAPointWhateverTheLocale) {
  const std::locale streams =
      std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
  const std::string before = std::setlocale(LC_NUMERIC, nullptr);
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(PressureField(2.5), "02.5");
  EXPECT_EQ(PressureField(0.05), "00.1");
  EXPECT_EQ(FlowField(150.5), "0151");
  std::setlocale(LC_NUMERIC, before.c_str());
  std::locale::global(streams);
}

struct BuildRow {
  int address;
  char letter;
  std::string field;
  std::optional<std::string> frame;
};

void PrintTo(const BuildRow& row, std::ostream* os) {
  *os << row.address << " " << row.letter << " " << row.field;
}

class BuildFrameTable : public ::testing::TestWithParam<BuildRow> {};

TEST_P(BuildFrameTable, BuildsNineCharactersOrNothing) {
  const auto& row = GetParam();
  const auto frame = BuildFrame(row.address, row.letter, row.field);
  EXPECT_EQ(frame, row.frame);
  if (frame) {
    EXPECT_EQ(frame->size(), kFrameLength);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Frames, BuildFrameTable,
    ::testing::Values(BuildRow{0, 'F', "0000", "Q00F0000Y"}, BuildRow{12, 'L', "0150", "Q12L0150Y"},
                      BuildRow{0, 'P', "02.5", "Q00P02.5Y"}, BuildRow{5, 'L', "0050", "Q05L0050Y"},
                      BuildRow{7, 'R', "0000", "Q07R0000Y"}, BuildRow{99, 'S', "0000", "Q99S0000Y"},
                      // refused: address not two digits, bad letter, bad field
                      BuildRow{100, 'L', "0150", std::nullopt},
                      BuildRow{-1, 'L', "0150", std::nullopt},
                      BuildRow{0, 'l', "0150", std::nullopt},
                      BuildRow{0, '1', "0150", std::nullopt}, BuildRow{0, 'L', "150", std::nullopt},
                      BuildRow{0, 'L', "01500", std::nullopt},
                      BuildRow{0, 'L', "01\n0", std::nullopt}));

TEST(FixedFrames, AreTheFrameBuiltForAddressZero) {
  EXPECT_EQ(BuildFrame(0, 'R', "0000"), std::string(kRunFrame));
  EXPECT_EQ(BuildFrame(0, 'S', "0000"), std::string(kStopFrame));
  EXPECT_EQ(BuildFrame(0, 'F', "0000"), std::string(kPollFrame));
  EXPECT_EQ(kPollFrame, "Q00F0000Y");
}

TEST(ReceivedText, IsAFrameOnlyWithUpperCaseQFirstAndYNinth) {
  EXPECT_TRUE(IsFrame("Q00N01.5Y"));
  EXPECT_TRUE(IsFrame("QxxZabcdY"));
  EXPECT_TRUE(IsFrame("Q00N01.5YQ00L0150Y"));
  EXPECT_FALSE(IsFrame("q00N01.5Y"));
  EXPECT_FALSE(IsFrame("Q00N01.5y"));
  EXPECT_FALSE(IsFrame("Q00N01.5"));
  EXPECT_FALSE(IsFrame("00N01.5YQ"));
  EXPECT_FALSE(IsFrame(""));
}

TEST(ReceivedFrame, KindAndValueAreCharactersFourAndFiveToEight) {
  EXPECT_EQ(FrameKind("Q00N01.5Y"), 'N');
  EXPECT_EQ(FrameValue("Q00N01.5Y"), "01.5");
  EXPECT_EQ(FrameKind("Q00N01.5YQ00L0150Y"), 'N');
  EXPECT_EQ(FrameValue("Q00N01.5YQ00L0150Y"), "01.5");
  EXPECT_EQ(FrameKind("QxxZabcdY"), 'Z');
  EXPECT_EQ(FrameValue("Q07L0150Y"), "0150");
}

TEST(PressureReply, ShowsAPointInPlaceOfTheSeventhCharacter) {
  EXPECT_EQ(PressureDisplay("Q00P02.5Y"), "02.5");
  EXPECT_EQ(PressureDisplay("Q00P0255Y"), "02.5");
  EXPECT_EQ(PressureDisplay("Q00P02x5Y"), "02.5");
}

}  // namespace
}  // namespace pump::link
