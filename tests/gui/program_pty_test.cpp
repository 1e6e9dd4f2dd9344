// Programs on a real line: the Qt serial port and timers, the pump played by
// the test on the master side of a pseudo-terminal. Each frame is taken with
// the time it reached the pump, against the time its step set.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/gui/console_on_qt.h"
#include "tests/support/pty_pair.h"

namespace pump {
namespace {

using program::Program;
using program::Step;
using testing::ConsoleOnQt;
using testing::PtyPair;
using testing::WaitUntil;

// How late a frame may reach the pump on a loaded machine (sanitizers, two
// cores shared); the schedule itself is exact (see the scripted-clock tests).
constexpr qint64 kLateMs = 250;

struct Arrival {
  std::string frame;
  qint64 atMs = -1;
};

// The next frame that is not the status poll, with when it came; an empty
// frame when none came in time.
Arrival NextCommand(PtyPair& pump, const QElapsedTimer& since, int timeoutMs) {
  const std::string frame = pump.nextCommand(timeoutMs);
  return frame.empty() ? Arrival{} : Arrival{frame, since.elapsed()};
}

// Expects each frame in turn, each no earlier than its time and not much later.
qint64 ExpectOnSchedule(PtyPair& pump, const QElapsedTimer& since,
                        const std::vector<std::pair<qint64, std::string>>& schedule) {
  qint64 latest = 0;
  for (const auto& [dueMs, frame] : schedule) {
    const Arrival got = NextCommand(pump, since, 3000);
    EXPECT_EQ(got.frame, frame) << "due at " << dueMs << " ms";
    EXPECT_GE(got.atMs, dueMs - 20) << frame << " early";
    EXPECT_LE(got.atMs, dueMs + kLateMs) << frame << " late";
    latest = std::max(latest, got.atMs - dueMs);
  }
  return latest;
}

struct ProgramOnLine : ::testing::Test {
  void SetUp() override {
    ASSERT_TRUE(pump.ok());
    console.open(pump.slavePath());
    ASSERT_TRUE(testing::MenusReleased(*console.window));
  }
  PtyPair pump;
  ConsoleOnQt console;
};

TEST_F(ProgramOnLine, AHoldARampAndALimitChangeReachThePumpOnSchedule) {
  // 1 s at 10 under 2.0 MPa; 10 to 13 over 3 s; 1 s at 13 under 3.0 MPa.
  const Program program{"pty", {Step{1, 10, 10, 20}, Step{3, 10, 13, 20}, Step{1, 13, 13, 30}}};
  QElapsedTimer since;
  since.start();
  ASSERT_TRUE(console.session->startProgram(program).ok());
  const qint64 late = ExpectOnSchedule(pump, since,
                                       {{0, "Q00P02.0Y"},
                                        {0, "Q00L0010Y"},
                                        {0, "Q00R0000Y"},
                                        {2000, "Q00L0011Y"},
                                        {3000, "Q00L0012Y"},
                                        {4000, "Q00L0013Y"},
                                        {4000, "Q00P03.0Y"},
                                        {5000, "Q00S0000Y"}});
  std::printf("latest frame on the pseudo-terminal: %lld ms after its time\n",
              static_cast<long long>(late));
  EXPECT_EQ(NextCommand(pump, since, 1500).frame, "") << "nothing after the end but polls";
  EXPECT_EQ(console.eventDetails(EventKind::Program).back(), "end");
}

TEST_F(ProgramOnLine, PauseStopsThePumpAndContinueSendsLimitFlowAndRunThenTheRest) {
  const Program program{"pause", {Step{2, 20, 20, 15}, Step{1, 30, 30, 15}}};
  QElapsedTimer since;
  since.start();
  ASSERT_TRUE(console.session->startProgram(program).ok());
  ExpectOnSchedule(pump, since, {{0, "Q00P01.5Y"}, {0, "Q00L0020Y"}, {0, "Q00R0000Y"}});
  QTest::qWait(500);
  ASSERT_TRUE(console.session->pauseProgram().ok());
  EXPECT_EQ(NextCommand(pump, since, 1000).frame, "Q00S0000Y");
  EXPECT_EQ(NextCommand(pump, since, 2500).frame, "") << "paused: the step does not end";
  since.restart();
  ASSERT_TRUE(console.session->continueProgram().ok());
  // 1.5 s of the first step are left after its half second run.
  ExpectOnSchedule(pump, since,
                   {{0, "Q00P01.5Y"},
                    {0, "Q00L0020Y"},
                    {0, "Q00R0000Y"},
                    {1500, "Q00L0030Y"},
                    {2500, "Q00S0000Y"}});
}

TEST_F(ProgramOnLine, AManualStopAbortsTheProgramAndNothingOfItFollows) {
  const Program program{"manual", {Step{4, 0, 40, 10}}};
  QElapsedTimer since;
  since.start();
  ASSERT_TRUE(console.session->startProgram(program).ok());
  ExpectOnSchedule(pump, since,
                   {{0, "Q00P01.0Y"}, {0, "Q00L0000Y"}, {0, "Q00R0000Y"}, {1000, "Q00L0010Y"}});
  console.window->stopPump();
  EXPECT_EQ(NextCommand(pump, since, 1000).frame, "Q00S0000Y");
  EXPECT_EQ(NextCommand(pump, since, 1000).frame, "Q00S0000Y");
  EXPECT_EQ(NextCommand(pump, since, 2500).frame, "") << "the ramp goes no further";
  EXPECT_EQ(console.eventDetails(EventKind::Program).back(), "abort manual");
}

TEST_F(ProgramOnLine, ADroppedLinePausesTheProgramAndAnotherPortEndsItWithoutStoppingThatPump) {
  const Program program{"drop", {Step{10, 25, 25, 20}}};
  QElapsedTimer since;
  since.start();
  ASSERT_TRUE(console.session->startProgram(program).ok());
  ExpectOnSchedule(pump, since, {{0, "Q00P02.0Y"}, {0, "Q00L0025Y"}, {0, "Q00R0000Y"}});
  PtyPair next;  // made first, so it cannot take the dropped line's name
  ASSERT_TRUE(next.ok());
  pump.closeMaster();
  ASSERT_TRUE(WaitUntil([&] { return console.session->holdsKeptStop(); }, 5000));
  EXPECT_EQ(console.session->state().program->state, session::ProgramRunState::Paused);

  console.dialogs.shown.clear();
  console.dialogs.yesNoAnswers = {true};
  console.open(next.slavePath());
  since.restart();
  EXPECT_EQ(NextCommand(next, since, 3000).frame, "") << "the old pump's stop is not this one's";
  EXPECT_FALSE(console.session->runningProgram());
  EXPECT_EQ(console.eventDetails(EventKind::Program).back(), "abort");
  ASSERT_FALSE(console.messages().empty());
  EXPECT_NE(console.messages().back().find("未收到停泵命令"), std::string::npos);
}

}  // namespace
}  // namespace pump
