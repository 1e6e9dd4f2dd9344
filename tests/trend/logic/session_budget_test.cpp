// A session that runs for ever stays within its memory budget: older
// stretches are kept as the lowest and highest of their readings, events stay
// exact, and a spike early on is still drawn when the whole session is.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <string>

#include "tests/trend/logic/rows.h"
#include "trend/decimate.h"
#include "trend/session.h"

namespace pump::trend {
namespace {

using testing::At;
using testing::AxisMs;
using testing::LinkRow;
using testing::Reading;

constexpr std::int64_t kSpikeMs = 1'000, kDipMs = 1'500;
constexpr float kSpike = 9.5f, kDip = 0.2f;

// A row of the stream after the pump was started at flow 120.
Row Running(std::int64_t elapsedMs, EventKind event, float pressure, std::string_view detail) {
  Row row = At(elapsedMs, event, pressure, detail);
  row.flow = 120;
  row.pumpRunning = true;
  return row;
}

// Readings every millisecond from `from` to `to`, with a spike and a dip early on.
void FeedReadings(Session& session, std::int64_t from, std::int64_t to, bool running = true) {
  for (std::int64_t t = from; t < to; ++t) {
    const float pressure = t == kSpikeMs ? kSpike
                           : t == kDipMs ? kDip
                                         : 2.0f + 0.1f * static_cast<float>(t % 7);
    session.append(running ? Running(t, EventKind::Reading, pressure, "Q00N02.0Y")
                           : Reading(t, pressure));
  }
}

std::size_t RowsOf(const Session& session, EventKind event) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < session.size(); ++i) count += session.row(i).event == event;
  return count;
}

// The lowest and highest point of the pixel column an axis time falls in.
std::pair<double, double> ColumnExtremes(const std::vector<Polyline>& lines, double startMs,
                                         double widthMs, double timeMs) {
  const double column = std::floor((timeMs - startMs) / widthMs);
  double lowest = 1e9, highest = -1e9;
  for (const Polyline& line : lines) {
    for (const PlotPoint& p : line) {
      if (std::floor((p.timeMs - startMs) / widthMs) != column) continue;
      lowest = std::min(lowest, p.value);
      highest = std::max(highest, p.value);
    }
  }
  return {lowest, highest};
}

// An early part of a long session: an open, readings with a spike and a dip,
// a link loss, then the pump started at flow 120.
void StartSession(Session& session) {
  session.append(At(0, EventKind::Open, kNoValue, "/dev/ttyS0"));
  FeedReadings(session, 1, 2'000, false);
  session.append(LinkRow(2'000, "lost"));
  session.append(LinkRow(2'500, "answering"));
  FeedReadings(session, 2'500, 3'000, false);
  session.append(Running(3'000, EventKind::Command, 2, "Q00S120Y"));
}

TEST(SessionBudget, MillionsOfReadingsStayWithinTheBudgetAndEarlyExtremesAreStillDrawn) {
  constexpr std::size_t kBudget = std::size_t{12} << 20;
  constexpr std::int64_t kEnd = 3'000'000;
  Session session(kBudget);
  StartSession(session);
  std::size_t largest = 0;
  for (std::int64_t from = 3'001; from < kEnd; from += 100'000) {
    const std::int64_t to = std::min(from + 100'000, kEnd);
    FeedReadings(session, from, to);
    session.append(Running(to, EventKind::Reply, kNoValue, "Q00A01Y"));
    largest = std::max(largest, session.memoryBytes());
  }
  EXPECT_LE(largest, kBudget);
  EXPECT_LT(session.size(), 1'000'000u) << "older stretches are kept coarser";

  // Drawn whole at 1200 columns, the spike and the dip are their columns' extremes.
  const double start = session.firstTimeMs(), end = session.lastTimeMs();
  const auto lines = DecimatePressure(session, start, end, 1200, session.linkGaps());
  const double width = (end - start) / 1200;
  EXPECT_EQ(ColumnExtremes(lines, start, width, AxisMs(kSpikeMs)).second, kSpike);
  EXPECT_EQ(ColumnExtremes(lines, start, width, AxisMs(kDipMs)).first, kDip);
  const std::size_t spike = session.lowerBound(AxisMs(kSpikeMs));
  EXPECT_EQ(session.pressure(spike), kSpike);
  EXPECT_EQ(session.summary(spike), Summary::Highest);
  EXPECT_EQ(session.summary(session.lowerBound(AxisMs(kDipMs))), Summary::Lowest);
  for (std::size_t i = 1; i < session.size(); i += 1 + i / 1000) {
    ASSERT_LE(session.axisTimeMs(i - 1), session.axisTimeMs(i)) << i;
  }

  // Events stay exact; the newest stretch keeps every reading.
  const auto gaps = session.linkGaps();
  ASSERT_EQ(gaps.size(), 1u);
  EXPECT_EQ(gaps[0].startMs, AxisMs(2'000));
  EXPECT_EQ(gaps[0].endMs, AxisMs(2'500));
  const auto runs = session.runPeriods();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].startMs, AxisMs(3'000));
  ASSERT_EQ(session.flowSteps().size(), 2u);
  EXPECT_EQ(session.flowSteps()[1].timeMs, AxisMs(3'000));
  const Row command = session.row(session.lowerBound(AxisMs(3'000)));
  EXPECT_EQ(command.detail, "Q00S120Y");
  EXPECT_EQ(command.flow, 120);
  EXPECT_EQ(command.pressureLimit, 5);
  EXPECT_EQ(RowsOf(session, EventKind::Link), 2u);
  EXPECT_EQ(RowsOf(session, EventKind::Open), 1u);
  const std::size_t newest = session.lowerBound(AxisMs(kEnd - 100'000));
  EXPECT_EQ(session.size() - newest, 100'000u + 2) << "every reading and both replies";
  EXPECT_EQ(session.summary(session.size() - 2), Summary::None);
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kFreedMemoryIsHeld = true;  // the sanitizer keeps freed blocks a while
#else
constexpr bool kFreedMemoryIsHeld = false;
#endif

TEST(SessionBudget, ALiveSessionOfDaysAtTheFastestPaceStaysUnder200Megabytes) {
  if (kFreedMemoryIsHeld) GTEST_SKIP() << "resident memory counts freed blocks here";
  int pipe[2];
  ASSERT_EQ(::pipe(pipe), 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const long before = ResidentKilobytes();
    Session session;
    // 25 million readings: five and a half hours at 115200 baud, 450 MB kept whole.
    FeedReadings(session, 0, 25'000'000);
    const long grown = ResidentKilobytes() - before;
    [[maybe_unused]] const auto written = ::write(pipe[1], &grown, sizeof grown);
    ::_exit(0);
  }
  ::close(pipe[1]);
  long grown = -1;
  EXPECT_EQ(::read(pipe[0], &grown, sizeof grown), static_cast<ssize_t>(sizeof grown));
  ::close(pipe[0]);
  ::waitpid(child, nullptr, 0);
  EXPECT_GT(grown, 0);
  EXPECT_LT(grown, 200 * 1024) << grown << " kB";
  RecordProperty("resident_growth_kB", std::to_string(grown));
}

}  // namespace
}  // namespace pump::trend
