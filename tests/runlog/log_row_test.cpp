// The columns of a run log row: numbers, texts and times as they end up in the file.
#include "runlog/log_row.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>

#include "runlog/local_time.h"
#include "tests/runlog/log_test_support.h"
#include "tests/support/pump_states.h"

namespace pump::runlog {
namespace {

using namespace std::chrono;
using testing::TimeZone;

// 2026-12-07 06:03:22.517 UTC.
const system_clock::time_point kSomeMorning =
    sys_days{year{2026} / December / 7} + hours{6} + minutes{3} + seconds{22} + milliseconds{517};

TEST(LogColumns, ThePumpsCharactersBecomePlainDecimalNumbersOrStayEmpty) {
  const struct {
    const char* caption;
    const char* column;
  } cases[] = {
      {"00.0", "0.0"},   {"02.5", "2.5"}, {"39.9", "39.9"}, {"000", "0"},
      {"150", "150"},    {"0150", "150"}, {"-1.5", "-1.5"}, {".5", "0.5"},
      {" 02.0 ", "2.0"}, {"", ""},        {"--.-", ""},     {"1,5", ""},
      {"12.", ""},       {"1.2.3", ""},   {"Err", ""},      {"-", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Pressure::Read(c.caption).plain(), c.column) << c.caption;
}

TEST(LogColumns, DetailKeepsPrintableAsciiAndEscapesEveryOtherByte) {
  EXPECT_EQ(AsciiOnly("Q00N01.5Y"), "Q00N01.5Y");
  EXPECT_EQ(AsciiOnly(std::string("\xB1Q\r\n\x00\x7F", 6)), "\\xB1Q\\x0D\\x0A\\x00\\x7F");
  EXPECT_EQ(AsciiOnly("a\\b"), "a\\x5Cb") << "a backslash must not pass for an escape";
  EXPECT_EQ(AsciiOnly("流量"), "\\xE6\\xB5\\x81\\xE9\\x87\\x8F");
}

TEST(LogColumns, FieldsWithCommasOrQuotesAreQuotedAsRfc4180Says) {
  EXPECT_EQ(CsvField("Q00N01.5Y"), "Q00N01.5Y");
  EXPECT_EQ(CsvField("1,5"), "\"1,5\"");
  EXPECT_EQ(CsvField("say \"12\""), "\"say \"\"12\"\"\"");
  EXPECT_EQ(CsvField(""), "");
}

TEST(LogColumns, TimeIsLocalWithMillisecondsAndTheUtcOffsetOfItsZone) {
  {
    TimeZone beijing("UTC-8");
    EXPECT_EQ(LocalTimestamp(kSomeMorning), "2026-12-07T14:03:22.517+08:00");
    EXPECT_EQ(LogFileName(kSomeMorning), "2026-12-07_14-03-22.csv");
  }
  {
    TimeZone newfoundland("<-0330>3:30");
    EXPECT_EQ(LocalTimestamp(kSomeMorning), "2026-12-07T02:33:22.517-03:30");
    EXPECT_EQ(LogFileName(kSomeMorning), "2026-12-07_02-33-22.csv");
  }
  {
    TimeZone utc("UTC0");
    // Milliseconds are cut, not rounded: 22.9999 s is still second 22.
    EXPECT_EQ(LocalTimestamp(kSomeMorning + microseconds{482'900}),
              "2026-12-07T06:03:22.999+00:00");
    EXPECT_EQ(LocalTimestamp(sys_days{year{2026} / December / 31} + hours{23} + minutes{59} +
                             seconds{59} + milliseconds{999} + microseconds{999}),
              "2026-12-31T23:59:59.999+00:00");
  }
}

TEST(LogColumns, TimesInAStreamReadAsEachOneAloneAcrossSecondsAndMidnight) {
  TimeZone beijing("UTC-8");
  LocalTimestamps stream;
  const system_clock::time_point beforeMidnight =
      sys_days{year{2026} / December / 7} + hours{15} + minutes{59} + seconds{58};
  EXPECT_EQ(stream.format(beforeMidnight + 999ms), "2026-12-07T23:59:58.999+08:00");
  EXPECT_EQ(stream.format(beforeMidnight + 1000ms), "2026-12-07T23:59:59.000+08:00");
  EXPECT_EQ(stream.format(beforeMidnight + 1001ms), "2026-12-07T23:59:59.001+08:00");
  EXPECT_EQ(stream.format(beforeMidnight + 2000ms), "2026-12-08T00:00:00.000+08:00");
  EXPECT_EQ(stream.format(beforeMidnight + 1999ms), "2026-12-07T23:59:59.999+08:00")
      << "a time earlier than the last (the wall clock set back)";
  for (auto at = beforeMidnight; at < beforeMidnight + 3s; at += 781250ns) {
    EXPECT_EQ(stream.format(at), LocalTimestamp(at));
  }
  TimeZone utc("UTC0");
  EXPECT_EQ(LocalTimestamps().format(system_clock::time_point{} - 750ms),
            "1969-12-31T23:59:59.250+00:00")
      << "a stream's first time in the last second before 1970";
}

session::SessionEvent Reading(steady_clock::time_point at, std::string frame) {
  session::SessionEvent event{pump::EventKind::Reading, std::move(frame), {}, kSomeMorning, at};
  event.state = pump::testing::Showing("03.9", "02.0", "150", true);
  return event;
}

TEST(LogColumns, ElapsedSecondsHaveThreeDecimalsFromTheOpen) {
  TimeZone utc("UTC0");
  const steady_clock::time_point opened{hours{100}};
  const auto row = [&](steady_clock::duration after) {
    LocalTimestamps times;
    return LogRow(Reading(opened + after, "Q00N03.9Y"), opened, times);
  };
  EXPECT_EQ(row(0s), "2026-12-07T06:03:22.517+00:00,0.000,reading,3.9,150,2.0,RUN,Q00N03.9Y\r\n");
  EXPECT_EQ(row(1500ms).substr(30, 6), "1.500,");
  EXPECT_EQ(row(hours{1} + microseconds{1'400}).substr(30, 9), "3600.001,");
  EXPECT_EQ(row(microseconds{999'600}).substr(30, 6), "1.000,");
}

TEST(LogColumns, NumbersKeepTheirPointUnderACommaLocale) {
  const char* comma = nullptr;
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
    if (std::setlocale(LC_ALL, name)) {
      comma = name;
      break;
    }
  }
  if (!comma) GTEST_SKIP() << "no locale with a decimal comma is installed";
  TimeZone utc("UTC0");
  const steady_clock::time_point opened{};
  LocalTimestamps times;
  const std::string row = LogRow(Reading(opened + 2250ms, "Q00N03.9Y"), opened, times);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(row, "2026-12-07T06:03:22.517+00:00,2.250,reading,3.9,150,2.0,RUN,Q00N03.9Y\r\n")
      << comma;
}

}  // namespace
}  // namespace pump::runlog
