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

TEST(ReportText, LinkStatesReadInTheOperatorsWordsAndOtherDetailsAsLogged) {
  const LocalMoment start{kStartWallMs, 480};
  auto text = [&](const std::string& kind, const std::string& detail) {
    return EventText({{kStartWallMs + 1500, 480}, kind, detail}, start);
  };
  EXPECT_EQ(text("link", "answering").label, "14:00:01.500");
  EXPECT_EQ(text("link", "answering").value, "连接  通信正常");
  EXPECT_EQ(text("link", "waiting").value, "连接  等待泵应答");
  EXPECT_EQ(text("link", "no_answer").value, "连接  泵无应答");
  EXPECT_EQ(text("link", "lost").value, "连接  通信中断");
  EXPECT_EQ(text("link", "reconnecting").value, "连接  正在重连");
  EXPECT_EQ(text("link", "not_connected").value, "连接  未连接");
  EXPECT_EQ(text("link", "something_new").value, "连接  something_new");
  EXPECT_EQ(text("command", "waiting").value, "命令  waiting");
}

}  // namespace
}  // namespace pump::report
