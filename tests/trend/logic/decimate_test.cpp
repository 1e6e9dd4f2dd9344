// Thinning the pressure line: spikes survive, the point count stays bounded,
// and the line breaks where the link was lost.
#include "trend/decimate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "tests/trend/logic/rows.h"

namespace pump::trend {
namespace {

using testing::AxisMs;
using testing::LinkRow;
using testing::Reading;

std::size_t PointCount(const std::vector<Polyline>& lines) {
  std::size_t count = 0;
  for (const auto& line : lines) count += line.size();
  return count;
}

bool Holds(const std::vector<Polyline>& lines, double timeMs, double pressure) {
  for (const auto& line : lines) {
    for (const PlotPoint& p : line) {
      if (p.timeMs == timeMs && p.value == pressure) return true;
    }
  }
  return false;
}

TEST(Decimation, EveryColumnKeepsItsLowestAndHighestReadingAndNoMoreThanTwoPoints) {
  Session session;
  std::mt19937 random(11);
  std::uniform_real_distribution<float> noise(1.0f, 3.0f);
  for (int i = 0; i < 200'000; ++i) session.append(Reading(i * 7, noise(random)));
  const double start = AxisMs(50'000), end = AxisMs(1'300'000);
  const int columns = 640;
  const auto lines = DecimatePressure(session, start, end, columns, {});

  ASSERT_EQ(lines.size(), 1u);
  EXPECT_LE(PointCount(lines), 2u * columns + 2);
  const double width = (end - start) / columns;
  for (int column = 0; column < columns; ++column) {
    float low = 1e9f, high = -1e9f;
    double lowAt = 0, highAt = 0;
    for (std::size_t i = session.lowerBound(start + column * width);
         i < session.size() && session.axisTimeMs(i) < start + (column + 1) * width; ++i) {
      if (session.pressure(i) < low) low = session.pressure(i), lowAt = session.axisTimeMs(i);
      if (session.pressure(i) > high) high = session.pressure(i), highAt = session.axisTimeMs(i);
    }
    ASSERT_TRUE(Holds(lines, lowAt, low)) << "column " << column;
    ASSERT_TRUE(Holds(lines, highAt, high)) << "column " << column;
  }
  // In time order, reaching one reading past each border.
  EXPECT_TRUE(std::is_sorted(lines[0].begin(), lines[0].end(),
                             [](auto& a, auto& b) { return a.timeMs < b.timeMs; }));
  EXPECT_LT(lines[0].front().timeMs, start);
  EXPECT_GT(lines[0].back().timeMs, end);
}

TEST(Decimation, OneSpikeAmongMillionsOfFlatReadingsIsDrawn) {
  Session session;
  for (int i = 0; i < 2'000'000; ++i) session.append(Reading(i, i == 1'234'567 ? 9.5f : 2.0f));
  const auto lines =
      DecimatePressure(session, session.firstTimeMs(), session.lastTimeMs(), 300, {});
  EXPECT_TRUE(Holds(lines, AxisMs(1'234'567), 9.5));
  EXPECT_LE(PointCount(lines), 2u * 300 + 2);
}

TEST(Decimation, NoLineIsDrawnAcrossALinkLoss) {
  Session session;
  for (int i = 0; i <= 10; ++i) session.append(Reading(i * 1000, 2));
  session.append(LinkRow(10'500, "lost"));
  session.append(LinkRow(20'000, "reconnecting"));
  session.append(LinkRow(30'000, "answering"));
  for (int i = 30; i <= 40; ++i) session.append(Reading(i * 1000, 3));

  const auto lines = DecimatePressure(session, AxisMs(0), AxisMs(40'000), 100, session.linkGaps());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].back().timeMs, AxisMs(10'000));
  EXPECT_EQ(lines[1].front().timeMs, AxisMs(30'000));
  EXPECT_EQ(lines[0].back().value, 2);
  EXPECT_EQ(lines[1].front().value, 3);
}

TEST(Decimation, OnlyReadingsAreDrawnNotTheValuesRepeatedOnOtherRows) {
  Session session;
  session.append(Reading(0, 1));
  session.append(testing::At(500, EventKind::Command, 7, "Q00P200Y"));
  session.append(Reading(1000, 1));
  const auto lines = DecimatePressure(session, AxisMs(0), AxisMs(1000), 1000, {});
  ASSERT_EQ(lines.size(), 1u);
  for (const PlotPoint& p : lines[0]) EXPECT_EQ(p.value, 1);
}

TEST(Decimation, AViewWithNoReadingsDrawsNothing) {
  Session session;
  EXPECT_TRUE(DecimatePressure(session, 0, 1000, 100, {}).empty());
  session.append(Reading(0, 1));
  session.append(LinkRow(1000, "no_answer"));
  EXPECT_TRUE(
      DecimatePressure(session, AxisMs(5000), AxisMs(9000), 100, session.linkGaps(AxisMs(10'000)))
          .empty());
}

}  // namespace
}  // namespace pump::trend
