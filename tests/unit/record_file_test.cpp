#include "records/record_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "records/pressure_record.h"
#include "tests/support/scoped_variable.h"
#include "tests/support/scratch_folder.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace pump::records {
namespace {

std::string Format(const std::vector<double>& samples, std::string_view separator = ".") {
  return FormatRecord(samples, separator);
}

TEST(RecordFormat, EmptyRecordGivesZeroBytes) { EXPECT_EQ(Format({}), ""); }

TEST(RecordFormat, FiveSamplesMakeOneLineEndedByCrLf) {
  EXPECT_EQ(Format({1, 2, 3, 4, 5}), " 1  2  3  4  5 \r\n");
}

TEST(RecordFormat, SixthSampleStartsASecondLineWithoutBreak) {
  EXPECT_EQ(Format({1, 2, 3, 4, 5, 6}), " 1  2  3  4  5 \r\n 6 ");
}

TEST(RecordFormat, SevenSamplesGiveNineteenPlusSixBytes) {
  const std::string bytes = Format({1, 2.5, 3, 4, 5, -6, 7});
  EXPECT_EQ(bytes, " 1  2.5  3  4  5 \r\n-6  7 ");
  EXPECT_EQ(bytes.find("\r\n"), 17u);
  EXPECT_EQ(bytes.size(), 19u + 6u);
}

TEST(RecordFormat, TenSamplesEndWithALineBreak) {
  EXPECT_EQ(Format({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), " 0  0  0  0  0 \r\n 0  0  0  0  0 \r\n");
}

TEST(RecordFormat, MinusSignTakesThePlaceOfTheBlank) {
  EXPECT_EQ(Format({-1.25}), "-1.25 ");
  EXPECT_EQ(Format({-200}), "-200 ");
  EXPECT_EQ(Format({-0.0}), " 0 ") << "negative zero is not negative";
}

TEST(RecordFormat, FractionsBetweenMinusOneAndOneKeepTheirLeadingZero) {
  EXPECT_EQ(Format({0.5, -0.25, 0.0001, -0.001}), " 0.5 -0.25  0.0001 -0.001 ");
}

TEST(RecordFormat, FifteenSignificantDigitsAtMostAndNoTrailingZeros) {
  EXPECT_EQ(Format({0.1 + 0.2}), " 0.3 ");
  EXPECT_EQ(Format({1.0 / 3}), " 0.333333333333333 ");
  EXPECT_EQ(Format({2.0 / 3}), " 0.666666666666667 ");
  EXPECT_EQ(Format({12.50}), " 12.5 ");
  EXPECT_EQ(Format({123456789012345}), " 123456789012345 ");
  EXPECT_EQ(Format({100}), " 100 ");
}

TEST(RecordFormat, VeryLargeAndVerySmallMagnitudesUseExponentForm) {
  EXPECT_EQ(Format({1e15}), " 1e+15 ");
  EXPECT_EQ(Format({1234567890123456}), " 1.23456789012346e+15 ");
  EXPECT_EQ(Format({0.00001}), " 1e-05 ");
  EXPECT_EQ(Format({-2.5e-300}), "-2.5e-300 ");
  EXPECT_EQ(Format({-1.7976931348623157e308}), "-1.79769313486232e+308 ");
  EXPECT_EQ(Format({4.9406564584124654e-324}), " 4.94065645841247e-324 ");
}

TEST(RecordFormat, UsesTheLocaleDecimalSeparator) {
  EXPECT_EQ(Format({2.5, -0.125, 3, 1.5e-7}, ","), " 2,5 -0,125  3  1,5e-07 ");
  EXPECT_EQ(Format({2.5}, "\xd9\xab"),
            " 2\xd9\xab"
            "5 ")
      << "a separator of several bytes";
}

// The save's own formatting checked against printf's %.15g, sample by sample,
// over a full record: every byte must agree.
TEST(RecordFormat, AMillionSamplesMatchPrintfByteForByte) {
  std::vector<double> samples;
  samples.reserve(PressureRecord::kCapacity);
  std::string expected;
  expected.reserve(20'000'000);
  char text[40];
  for (int i = 1; i <= PressureRecord::kCapacity; ++i) {
    const double sample = (i % 7 == 0 ? -1 : 1) * (i * 0.013 + (i % 3) * 1e-9) / ((i % 11) + 1);
    samples.push_back(sample);
    std::snprintf(text, sizeof text, "%.15g", sample);
    if (sample >= 0) expected += ' ';
    expected += text;
    expected += ' ';
    if (i % 5 == 0) expected += "\r\n";
  }
  const std::string bytes = Format(samples);
  ASSERT_EQ(bytes.size(), expected.size());
  EXPECT_TRUE(bytes == expected);
  EXPECT_TRUE(bytes.ends_with(" \r\n"));
}

TEST(LastLineOfText, EmptyTextHasNoLineAtAll) { EXPECT_EQ(LastLine(""), ""); }

TEST(LastLineOfText, OnlyTheLastOfSeveralLinesIsKept) {
  EXPECT_EQ(LastLine("first\r\nsecond\r\nthird"), "third");
  EXPECT_EQ(LastLine("first\rsecond\rthird"), "third") << "a bare CR ends a line too";
  EXPECT_EQ(LastLine("only line"), "only line");
}

TEST(LastLineOfText, AFinalLineBreakDoesNotAddAnEmptyLine) {
  EXPECT_EQ(LastLine("first\r\nsecond\r\n"), "second");
  EXPECT_EQ(LastLine("first\rsecond\r"), "second");
  EXPECT_EQ(LastLine("\r\n"), "");
}

TEST(LastLineOfText, AnEmptyLastLineBeforeTheFinalBreakIsShownEmpty) {
  EXPECT_EQ(LastLine("first\r\n\r\n"), "");
  EXPECT_EQ(LastLine("first\r\r\n"), "");
}

TEST(LastLineOfText, ABareLineFeedIsPartOfTheLine) { EXPECT_EQ(LastLine("a\r\nb\nc"), "b\nc"); }

TEST(LastLineOfText, SavedRecordShowsItsLastLine) {
  EXPECT_EQ(LastLine(Format({1, 2.5, 3, 4, 5, -6, 7})), "-6  7 ");
  EXPECT_EQ(LastLine(Format({1, 2, 3, 4, 5})), " 1  2  3  4  5 ");
}

TEST(PressureRecordBuffer, HoldsReadingsInArrivalOrder) {
  PressureRecord record;
  EXPECT_EQ(record.count(), 0);
  record.add(1.5);
  record.add(-2);
  EXPECT_EQ(record.samples(), (std::vector<double>{1.5, -2}));
}

TEST(PressureRecordBuffer, KeepsTheFirstMillionAndDropsLaterReadings) {
  PressureRecord record;
  for (int i = 1; i <= PressureRecord::kCapacity; ++i) record.add(i);
  record.add(-1);
  record.add(-2);
  EXPECT_EQ(record.count(), PressureRecord::kCapacity);
  EXPECT_EQ(record.samples().back(), PressureRecord::kCapacity);
}

#ifndef _WIN32
// Points HOME at a fresh folder for one test.
class ScratchHome {
 public:
  std::filesystem::path folder() const { return folder_.path(); }

 private:
  pump::testing::ScratchFolder folder_;
  pump::testing::ScopedVariable home_{"HOME", folder_.path()};
};

TEST(DefaultRecordFile, LivesInTheDocumentsFolderWhichIsNotCreatedBeforeASave) {
  ScratchHome home;
  const std::string path = DefaultRecordPath();
  EXPECT_EQ(path, (home.folder() / "Documents" / "mytext.txt").string());
  EXPECT_FALSE(std::filesystem::exists(home.folder() / "Documents"));
}

TEST(DefaultRecordFile, KeepsTheBytesOfAHomePathThatIsNotUtf8) {
  ScratchHome home;
  const std::string latin1Home = home.folder().string() + "/caf\xE9 \xFF";
  pump::testing::HomeAt at(latin1Home);
  EXPECT_EQ(DefaultRecordPath(), latin1Home + "/Documents/mytext.txt");
}
#endif

}  // namespace
}  // namespace pump::records
