// What a session derives from its rows: RUN periods, link gaps, limit and
// flow steps, and rows fed live from the console's events.
#include "trend/session.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "runlog/local_time.h"
#include "tests/support/pump_states.h"
#include "tests/trend/logic/rows.h"
#include "trend/live_trend.h"

namespace pump::trend {
namespace {

using testing::AxisMs;
using testing::LinkRow;
using testing::Reading;

TEST(Session, RunPeriodsSpanFromRunToStopAndAnOpenOneReachesTheNewestRow) {
  Session session;
  Row row = Reading(0, 1);
  session.append(row);
  row = Reading(1000, 1), row.pumpRunning = true, session.append(row);
  row = Reading(2000, 1), row.pumpRunning = true, session.append(row);
  row = Reading(3000, 1), row.pumpRunning = false, session.append(row);
  row = Reading(4000, 1), row.pumpRunning = true, session.append(row);
  row = Reading(5000, 1), row.pumpRunning = true, session.append(row);

  const auto runs = session.runPeriods();
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].startMs, AxisMs(1000));
  EXPECT_EQ(runs[0].endMs, AxisMs(3000));
  EXPECT_FALSE(runs[0].open);
  EXPECT_EQ(runs[1].endMs, AxisMs(5000));
  EXPECT_EQ(session.runPeriods(AxisMs(9000))[1].endMs, AxisMs(9000));
}

TEST(Session, EveryLinkLossUntilAnsweringAgainIsOneGap) {
  Session session;
  session.append(Reading(0, 1));
  session.append(LinkRow(1000, "no_answer"));
  session.append(LinkRow(2000, "lost"));
  session.append(LinkRow(3000, "reconnecting"));
  session.append(LinkRow(4000, "answering"));
  session.append(LinkRow(5000, "lost"));

  const auto gaps = session.linkGaps(AxisMs(8000));
  ASSERT_EQ(gaps.size(), 2u);
  EXPECT_EQ(gaps[0].startMs, AxisMs(1000));
  EXPECT_EQ(gaps[0].endMs, AxisMs(4000));
  EXPECT_TRUE(gaps[1].open);
  EXPECT_EQ(gaps[1].endMs, AxisMs(8000));
}

TEST(Session, LimitAndFlowStepOnlyWhenTheyChange) {
  Session session;
  Row row = Reading(0, 1);
  session.append(row);
  session.append(Reading(1000, 1));
  row = Reading(2000, 1), row.pressureLimit = 3.5f, session.append(row);
  row = Reading(3000, 1), row.pressureLimit = 3.5f, row.flow = kNoValue, session.append(row);

  ASSERT_EQ(session.limitSteps().size(), 2u);
  EXPECT_EQ(session.limitSteps()[1].timeMs, AxisMs(2000));
  EXPECT_EQ(session.limitSteps()[1].value, 3.5f);
  ASSERT_EQ(session.flowSteps().size(), 2u);
  EXPECT_TRUE(std::isnan(session.flowSteps()[1].value));
  EXPECT_EQ(session.row(1).pressureLimit, 5);
  EXPECT_EQ(session.row(3).pressureLimit, 3.5f);
}

TEST(Session, AWallClockJumpIsKeptExactlyWhileTheAxisStaysMonotonic) {
  Session session;
  session.append(Reading(0, 1));
  Row jumped = Reading(1000, 1);
  jumped.wallMs -= 40LL * 24 * 3600 * 1000;  // the clock was set back 40 days
  session.append(jumped);
  EXPECT_EQ(session.row(1).wallMs, jumped.wallMs);
  EXPECT_EQ(session.axisTimeMs(1), AxisMs(1000));
}

session::SessionEvent Event(pump::EventKind kind, std::string detail, int afterMs,
                            std::string pressure = "01.5") {
  static const auto steady = std::chrono::steady_clock::now();
  static const auto wall = std::chrono::system_clock::now();
  return {kind, std::move(detail),
          // The keypad's read-out says STOP; the last frame sent was a run.
          pump::testing::Showing(pressure, "04.0", "250", true),
          wall + std::chrono::milliseconds(afterMs), steady + std::chrono::milliseconds(afterMs)};
}

TEST(LiveTrend, EachEventAfterAnOpenBecomesARowWithTheDisplayedValues) {
  session::EventFeed feed;
  LiveTrend live(feed);
  feed.publish(Event(pump::EventKind::Link, "not_connected", 0));  // before any open
  EXPECT_FALSE(live.started());
  feed.publish(Event(pump::EventKind::Open, "/dev/ttyS0", 100));
  feed.publish(Event(pump::EventKind::Reading, "Q00N01.5Y", 1600));
  feed.publish(Event(pump::EventKind::Reply, "Q00A01Y", 1700, ""));

  const Session& s = live.session();
  ASSERT_EQ(s.size(), 3u);
  const Row reading = s.row(1);
  EXPECT_EQ(reading.event, EventKind::Reading);
  EXPECT_EQ(reading.elapsedMs, 1500);
  EXPECT_EQ(reading.pressure, 1.5f);
  EXPECT_EQ(reading.pressureLimit, 4.0f);
  EXPECT_EQ(reading.flow, 250);
  EXPECT_TRUE(reading.pumpRunning) << "as the run log has it: the run frame sent";
  EXPECT_EQ(reading.detail, "Q00N01.5Y");
  EXPECT_TRUE(std::isnan(s.row(2).pressure));
  EXPECT_EQ(live.name(), runlog::LogFileName(Event(pump::EventKind::Open, "", 100).wallTime))
      << "named as the run log of the same open";
}

// Each row carries the local offset of its own second: two readings a fifth
// of a second apart, either side of the change to summer time, differ by an hour.
TEST(LiveTrend, ReadingsEitherSideOfAClockChangeCarryTheirOwnOffset) {
  const char* const before = std::getenv("TZ");
  const std::string kept = before ? before : "";
  ::setenv("TZ", "Europe/Berlin", 1);
  ::tzset();
  // 2026-03-29 01:00:00 UTC: Berlin goes from UTC+1 to UTC+2.
  const auto change = std::chrono::system_clock::from_time_t(1774746000);
  const auto steady = std::chrono::steady_clock::now();
  const auto at = [&](pump::EventKind kind, int fromChangeMs) {
    const std::chrono::milliseconds offset(fromChangeMs);
    return session::SessionEvent{kind, "", pump::testing::Showing("01.5", "04.0", "250", true),
                                 change + offset, steady + offset};
  };
  session::EventFeed feed;
  LiveTrend live(feed);
  feed.publish(at(pump::EventKind::Open, -1500));
  feed.publish(at(pump::EventKind::Reading, -100));
  feed.publish(at(pump::EventKind::Reading, 100));
  if (before) {
    ::setenv("TZ", kept.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();

  ASSERT_EQ(live.session().size(), 3u);
  EXPECT_EQ(live.session().row(1).utcOffsetMinutes, 60);
  EXPECT_EQ(live.session().row(2).utcOffsetMinutes, 120);
}

TEST(LiveTrend, ANewOpenStartsANewSession) {
  session::EventFeed feed;
  LiveTrend live(feed);
  feed.publish(Event(pump::EventKind::Open, "/dev/ttyS0", 0));
  feed.publish(Event(pump::EventKind::Reading, "Q00N01.5Y", 1500));
  feed.publish(Event(pump::EventKind::Close, "/dev/ttyS0", 2000));
  feed.publish(Event(pump::EventKind::Open, "/dev/ttyS1", 5000));
  ASSERT_EQ(live.session().size(), 1u);
  EXPECT_EQ(live.session().row(0).detail, "/dev/ttyS1");
  EXPECT_EQ(live.session().row(0).elapsedMs, 0);
}

TEST(LiveTrend, ALineTheConsoleReopensGoesOnInTheSameSessionUnderTheSameName) {
  session::EventFeed feed;
  LiveTrend live(feed);
  feed.publish(Event(pump::EventKind::Open, "/dev/ttyS0", 0));
  const std::string name = live.name();
  feed.publish(Event(pump::EventKind::Close, "/dev/ttyS0", 2000));
  feed.publish(Event(pump::EventKind::Link, "lost", 2000));
  auto reopen = Event(pump::EventKind::Open, "/dev/ttyS0", 9000);
  reopen.reopened = true;
  feed.publish(reopen);
  ASSERT_EQ(live.session().size(), 4u);
  EXPECT_EQ(live.session().row(3).elapsedMs, 9000);
  EXPECT_EQ(live.name(), name) << "the run log goes on in the same file";
}

}  // namespace
}  // namespace pump::trend
