// The report's words: range bounds as typed on the command line, and
// durations as the figures show them.
#include "report/report_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "tests/report/log_files.h"

namespace pump::report {
namespace {

using testing::kStartWallMs;

TEST(ReportText, ARangeBoundIsReadWithOrWithoutMillisecondsAndOffset) {
  EXPECT_EQ(ParseRangeTime("2026-12-07T14:00:00+08:00"), kStartWallMs);
  EXPECT_EQ(ParseRangeTime("2026-12-07T14:00:00.250+08:00"), kStartWallMs + 250);
  EXPECT_EQ(ParseRangeTime("2026-12-07T06:00:00Z"), kStartWallMs);
  EXPECT_EQ(ParseRangeTime("yesterday"), std::nullopt);
  EXPECT_EQ(ParseRangeTime("2026-12-07T14:00:00 and more"), std::nullopt);
  EXPECT_EQ(ParseRangeTime("2026-13-07T14:00:00+08:00"), std::nullopt);
}

TEST(ReportText, ARangeBoundWithoutOffsetIsThisMachinesLocalTime) {
  const char* before = std::getenv("TZ");
  const std::string saved = before ? before : "";
  ::setenv("TZ", "Asia/Shanghai", 1);
  ::tzset();
  EXPECT_EQ(ParseRangeTime("2026-12-07T14:00:00"), kStartWallMs);
  before ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
}

TEST(ReportText, DurationsPastAMinuteAlsoReadAsHoursMinutesAndSeconds) {
  EXPECT_EQ(DurationText(20), "20.0 秒");
  EXPECT_EQ(DurationText(3725.04), "3725.0 秒（1:02:05）");
}

TEST(ReportText, SkippedRowsAreCountedAndTheFirstNamedBesideTheFigures) {
  RunFigures figures;
  LogReading reading;
  reading.skippedRows = 12;
  reading.skippedWhy = {"第 4 行：时间不可读", "第 9 行：时间早于上一行"};
  const auto lines = FigureLines(figures, reading);
  EXPECT_EQ(lines.back().label, "跳过 12 行");
  EXPECT_EQ(lines.back().value, "第 4 行：时间不可读；第 9 行：时间早于上一行；……");
}

}  // namespace
}  // namespace pump::report
