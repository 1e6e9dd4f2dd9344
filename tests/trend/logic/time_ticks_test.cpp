// The time axis labels itself at round local times with uncrowded steps.
#include "trend/time_ticks.h"

#include <gtest/gtest.h>

#include "tests/trend/logic/rows.h"

namespace pump::trend {
namespace {

using testing::kChinaOffset;
using testing::kStartWallMs;  // 14:00:00 local

constexpr double kSecond = 1000, kMinute = 60'000, kHour = 3'600'000, kDay = 24 * kHour;

std::vector<std::string> Labels(double start, double end, int width) {
  std::vector<std::string> labels;
  for (const auto& tick : TimeTicks(start, end, width, kChinaOffset)) labels.push_back(tick.label);
  return labels;
}

TEST(TimeTicks, StepGrowsWithTheSpanSoLabelsDoNotCrowd) {
  EXPECT_EQ(TimeTickStepMs(2 * kSecond, 1200), 200);
  EXPECT_EQ(TimeTickStepMs(30 * kSecond, 1200), 5 * kSecond);
  EXPECT_EQ(TimeTickStepMs(kHour, 1200), 5 * kMinute);
  EXPECT_EQ(TimeTickStepMs(24 * kHour, 1200), 2 * kHour);
  EXPECT_EQ(TimeTickStepMs(10 * kDay, 1200), kDay);
  EXPECT_EQ(TimeTickStepMs(kHour, 300), 30 * kMinute);
}

TEST(TimeTicks, SecondsMinutesAndDaysEachReadTheirOwnWay) {
  const double t = kStartWallMs;
  EXPECT_EQ(Labels(t + 1, t + 20 * kSecond, 1200),
            (std::vector<std::string>{"14:00:02", "14:00:04", "14:00:06", "14:00:08", "14:00:10",
                                      "14:00:12", "14:00:14", "14:00:16", "14:00:18", "14:00:20"}));
  EXPECT_EQ(Labels(t - 7 * kMinute, t + 12 * kMinute, 600),
            (std::vector<std::string>{"13:55", "14:00", "14:05", "14:10"}));
  EXPECT_EQ(Labels(t, t + 500, 1200).front(), "14:00:00.0");
  EXPECT_EQ(Labels(t, t + 5 * kDay, 600),
            (std::vector<std::string>{"12-08", "12-09", "12-10", "12-11", "12-12"}));
}

TEST(TimeTicks, HoursFallOnTheLocalClockAndMidnightShowsTheDate) {
  // 14:00 local is 06:00 UTC: hour ticks must land on local whole hours.
  const auto ticks = TimeTicks(kStartWallMs + 1, kStartWallMs + 24 * kHour, 1200, kChinaOffset);
  ASSERT_EQ(ticks.size(), 12u);
  EXPECT_EQ(ticks[0].label, "16:00");
  EXPECT_EQ(ticks[0].timeMs, kStartWallMs + 2 * kHour);
  EXPECT_EQ(ticks[4].label, "12-08");
  EXPECT_EQ(ticks[5].label, "02:00");
}

TEST(TimeTicks, DateOfTheViewIsLocal) {
  EXPECT_EQ(LocalDate(kStartWallMs, kChinaOffset), "2026-12-07");
  EXPECT_EQ(LocalDate(kStartWallMs + 10 * kHour, kChinaOffset), "2026-12-08");
  EXPECT_EQ(LocalDate(kStartWallMs + 10 * kHour, 0), "2026-12-07");
}

}  // namespace
}  // namespace pump::trend
