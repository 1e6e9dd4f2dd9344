// A program's plan on the live trend: the planned flow drawn where each
// stretch of the program ran, the pauses left out, and its step boundaries.
#include <gtest/gtest.h>

#include "trend/live_trend.h"

namespace pump::trend {
namespace {

const auto kSteady = std::chrono::steady_clock::now();
const auto kWall = std::chrono::system_clock::now();

// A hold at 20 ml/min for 10 s, then a ramp to 40 over 10 s.
const program::Program kHoldThenRamp{"升流量", {{10, 20, 20, 30}, {10, 20, 40, 30}}};

session::SessionEvent Event(pump::EventKind kind, std::string detail, int atMs,
                            std::optional<long long> programElapsedMs = std::nullopt) {
  session::SessionEvent event{kind,
                              std::move(detail),
                              {},
                              kWall + std::chrono::milliseconds(atMs),
                              kSteady + std::chrono::milliseconds(atMs)};
  if (programElapsedMs) {
    event.state.program = session::ProgramProgress{};
    event.state.program->elapsedMs = *programElapsedMs;
  }
  return event;
}

struct Point {
  double ms;
  double value;
  bool operator==(const Point&) const = default;
};

// The lines from the session's open, in ms.
std::vector<std::vector<Point>> Lines(const LiveTrend& live, double fromMs, double toMs) {
  const double origin = live.axisTimeMs(kSteady);
  std::vector<std::vector<Point>> lines;
  for (const Polyline& line : live.program().plannedFlow(origin + fromMs, origin + toMs)) {
    lines.emplace_back();
    for (const PlotPoint& p : line) lines.back().push_back({p.timeMs - origin, p.value});
  }
  return lines;
}

std::vector<double> Boundaries(const LiveTrend& live, double fromMs, double toMs) {
  const double origin = live.axisTimeMs(kSteady);
  std::vector<double> marks;
  for (double at : live.program().stepBoundaries(origin + fromMs, origin + toMs))
    marks.push_back(at - origin);
  return marks;
}

TEST(ProgramTrace, ARunningProgramsPlanRunsAheadToItsEnd) {
  session::EventFeed feed;
  LiveTrend live(feed);
  live.setProgramSource([] { return &kHoldThenRamp; });
  feed.publish(Event(pump::EventKind::Open, "/dev/ttyS0", 0));
  feed.publish(Event(pump::EventKind::Program, "start 升流量", 1000, 0));
  EXPECT_EQ(Lines(live, 0, 60000),
            (std::vector<std::vector<Point>>{{{1000, 20}, {11000, 20}, {11000, 20}, {21000, 40}}}));
  EXPECT_EQ(Boundaries(live, 0, 60000), (std::vector<double>{11000, 21000}));
}

TEST(ProgramTrace, APauseSplitsThePlanAndTheRestFollowsTheContinue) {
  session::EventFeed feed;
  LiveTrend live(feed);
  live.setProgramSource([] { return &kHoldThenRamp; });
  feed.publish(Event(pump::EventKind::Open, "/dev/ttyS0", 0));
  feed.publish(Event(pump::EventKind::Program, "start 升流量", 1000, 0));
  feed.publish(Event(pump::EventKind::Program, "pause", 6000, 5000));
  EXPECT_EQ(Lines(live, 0, 60000), (std::vector<std::vector<Point>>{{{1000, 20}, {6000, 20}}}));
  EXPECT_TRUE(Boundaries(live, 0, 60000).empty()) << "no step ended before the pause";

  feed.publish(Event(pump::EventKind::Program, "continue", 9000, 5000));
  feed.publish(Event(pump::EventKind::Program, "abort manual", 20000, 16000));
  EXPECT_EQ(Lines(live, 0, 60000),
            (std::vector<std::vector<Point>>{{{1000, 20}, {6000, 20}},
                                             {{9000, 20}, {14000, 20}, {14000, 20}, {20000, 32}}}));
  EXPECT_EQ(Boundaries(live, 0, 60000), (std::vector<double>{14000}));
  // Clipped to the view.
  EXPECT_EQ(Lines(live, 5000, 10000),
            (std::vector<std::vector<Point>>{{{5000, 20}, {6000, 20}}, {{9000, 20}, {10000, 20}}}));

  feed.publish(Event(pump::EventKind::Open, "/dev/ttyS1", 30000));
  EXPECT_TRUE(live.program().empty()) << "a new session has no program yet";
}

}  // namespace
}  // namespace pump::trend
