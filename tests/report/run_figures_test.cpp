// The run's figures from hand-made logs whose answers are known.
#include "report/run_figures.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "tests/report/log_files.h"

namespace pump::report {
namespace {

using testing::kStartWallMs;
using testing::LogFolder;
using testing::LogLine;
using testing::ReadingLine;

TEST(RunFigures, AGapWithNoAnswerIsTimedAndBreaksTheChartLine) {
  LogFolder folder;
  std::string rows = LogLine(0, "open", "", "10", "5.0", "STOP", "/dev/ttyUSB0");
  for (int s = 0; s <= 10; ++s) rows += ReadingLine(s * 1000, "1.0");
  rows += LogLine(15000, "link", "", "10", "5.0", "STOP", "no_answer");
  rows += LogLine(29500, "link", "", "10", "5.0", "STOP", "answering");
  for (int s = 30; s <= 40; ++s) rows += ReadingLine(s * 1000, "2.0");
  const auto result = FiguresOfLog(folder.write("gap.csv", rows));
  ASSERT_EQ(result.reading.error, "");
  const RunFigures& f = result.figures;
  EXPECT_EQ(f.readings, 22u);
  EXPECT_DOUBLE_EQ(f.noAnswerSeconds, 20.0);
  EXPECT_EQ(f.port, "/dev/ttyUSB0");
  ASSERT_EQ(f.chart.pressurePieces.size(), 2u);
  EXPECT_EQ(f.chart.pressurePieces[0].back().seconds, 10.0);
  EXPECT_EQ(f.chart.pressurePieces[1].front().seconds, 30.0);
  EXPECT_EQ(f.durationMs, 40000);
}

TEST(RunFigures, APortClosedByTheOperatorIsNoMissingAnswerAndALossAtTheEndIs) {
  LogFolder folder;
  std::string closed = ReadingLine(0, "1.0") + LogLine(1000, "close", "", "10", "5.0", "STOP", "x");
  closed += LogLine(2000, "open", "", "10", "5.0", "STOP", "x") + ReadingLine(20000, "1.0");
  EXPECT_DOUBLE_EQ(FiguresOfLog(folder.write("closed.csv", closed)).figures.noAnswerSeconds, 0.0);

  std::string lost = ReadingLine(0, "1.0") + ReadingLine(1000, "1.0");
  lost += LogLine(5500, "link", "", "10", "5.0", "STOP", "lost");
  lost += LogLine(9000, "link", "", "10", "5.0", "STOP", "reconnecting");
  EXPECT_DOUBLE_EQ(FiguresOfLog(folder.write("lost.csv", lost)).figures.noAnswerSeconds, 8.0);
}

TEST(RunFigures, AStretchAtOrOverTheLimitIsTimedAndThePressureFiguresAreExact) {
  LogFolder folder;
  std::string rows;
  const std::array<const char*, 6> pressures{"4.0", "4.0", "5.0", "5.5", "4.9", "4.0"};
  for (std::size_t i = 0; i < pressures.size(); ++i) rows += ReadingLine(i * 1000, pressures[i]);
  const RunFigures f = FiguresOfLog(folder.write("over.csv", rows)).figures;
  EXPECT_DOUBLE_EQ(f.overLimitSeconds, 2.0);  // from the 5.0 at 2 s to the 4.9 at 4 s
  EXPECT_FLOAT_EQ(f.pressureMin, 4.0f);
  EXPECT_FLOAT_EQ(f.pressureMax, 5.5f);
  EXPECT_FLOAT_EQ(f.pressureMean, 27.4f / 6);
  EXPECT_FLOAT_EQ(f.pressureP95, 5.5f);
  EXPECT_EQ(f.noAnswerSeconds, 0.0);
}

TEST(RunFigures, TheNinetyFifthPercentileIsTheNearestRank) {
  LogFolder folder;
  std::string rows;
  for (int i = 20; i >= 1; --i) rows += ReadingLine((20 - i) * 1000, std::to_string(i));
  EXPECT_FLOAT_EQ(FiguresOfLog(folder.write("ranks.csv", rows)).figures.pressureP95, 19.0f);
}

TEST(RunFigures, AFlowRampIsIntegratedStepByStepOverTheRunningTimeOnly) {
  LogFolder folder;
  std::string rows = ReadingLine(0, "1.0", "STOP", "0");
  // Running from 10 s to 70 s, the setpoint rising 0, 1, ... 9 ml/min every 6 s.
  for (int k = 0; k < 10; ++k) {
    rows += LogLine(10000 + k * 6000, "command", "", std::to_string(k), "5.0", "RUN", "F");
  }
  rows += LogLine(70000, "command", "", "9", "5.0", "STOP", "STOP");
  rows += ReadingLine(80000, "1.0", "STOP", "9");
  const RunFigures f = FiguresOfLog(folder.write("ramp.csv", rows)).figures;
  EXPECT_DOUBLE_EQ(f.runningSeconds, 60.0);
  EXPECT_NEAR(f.volumeMl, 4.5, 1e-9);  // (0 + 1 + ... + 9) ml/min x 0.1 min
  EXPECT_EQ(f.chart.flow.size(), 10u);
}

TEST(RunFigures, EventsAndProgramStepsAreListedWithTheirTimes) {
  LogFolder folder;
  std::string rows = LogLine(0, "open", "", "10", "5.0", "STOP", "/dev/ttyS0");
  rows += LogLine(1000, "program", "", "10", "5.0", "STOP", "start 冲洗柱子");
  rows += LogLine(1500, "program", "", "10", "5.0", "RUN", "step 1/2");
  rows += ReadingLine(2000, "1.0", "RUN");
  rows += LogLine(2500, "refused", "", "10", "5.0", "RUN", "99.9");
  rows += LogLine(3000, "program", "", "10", "5.0", "RUN", "step 2/2");
  rows += LogLine(4000, "program", "", "10", "5.0", "STOP", "end");
  const RunFigures f = FiguresOfLog(folder.write("program.csv", rows)).figures;
  EXPECT_EQ(f.programName, "冲洗柱子");
  ASSERT_EQ(f.events.size(), 6u);
  EXPECT_EQ(f.events[2].kind, "program");
  EXPECT_EQ(f.events[2].detail, "step 1/2");
  EXPECT_EQ(f.events[2].at.wallMs, kStartWallMs + 1500);
  EXPECT_EQ(f.events[2].at.utcOffsetMinutes, 480);
  EXPECT_EQ(f.events[3].kind, "refused");
}

TEST(RunFigures, TextTheLogEscapedReadsBackAndBytesThatAreNoTextStayEscaped) {
  LogFolder folder;
  // "start 柱平衡" and a backslash as the log writes them, in ASCII only.
  std::string rows = LogLine(0, "program", "", "10", "5.0", "STOP",
                             R"(start \xE6\x9F\xB1\xE5\xB9\xB3\xE8\xA1\xA1)");
  rows += LogLine(100, "refused", "", "10", "5.0", "STOP", R"(C:\x5Cpath \x07 \xZZ)");
  rows += LogLine(200, "refused", "", "10", "5.0", "STOP", R"(Q00\xFF\xE6)");
  rows += LogLine(300, "program", "", "10", "5.0", "STOP", "group g1 P01 P02");
  const RunFigures f = FiguresOfLog(folder.write("escaped.csv", rows)).figures;
  EXPECT_EQ(f.programName, "柱平衡");
  EXPECT_EQ(f.group, "g1 P01 P02") << "a group part's report names its group and members";
  ASSERT_EQ(f.events.size(), 4u);
  EXPECT_EQ(f.events[1].detail, R"(C:\path ? \xZZ)");
  EXPECT_EQ(f.events[2].detail, R"(Q00\xFF\xE6)");
}

TEST(RunFigures, ARangeKeepsOnlyItsOwnRows) {
  LogFolder folder;
  std::string rows;
  for (int s = 0; s < 60; ++s) rows += ReadingLine(s * 1000, s < 30 ? "1.0" : "3.0");
  const TimeRange range{kStartWallMs + 30000, kStartWallMs + 39000};
  const RunFigures f = FiguresOfLog(folder.write("range.csv", rows), range).figures;
  EXPECT_EQ(f.readings, 10u);
  EXPECT_FLOAT_EQ(f.pressureMin, 3.0f);
  EXPECT_EQ(f.start.wallMs, kStartWallMs + 30000);
  EXPECT_EQ(f.durationMs, 9000);
}

TEST(RunFigures, ALogOfOnlyLinkRowsHasNoReadingAndNoLine) {
  LogFolder folder;
  std::string rows;
  for (int s = 0; s < 5; ++s) rows += LogLine(s * 1000, "link", "", "", "", "STOP", "waiting");
  const auto result = FiguresOfLog(folder.write("links.csv", rows));
  EXPECT_EQ(result.reading.error, "");
  EXPECT_EQ(result.figures.readings, 0u);
  EXPECT_EQ(result.figures.rows, 5u);
  EXPECT_TRUE(result.figures.chart.pressurePieces.empty());
}

}  // namespace
}  // namespace pump::report
