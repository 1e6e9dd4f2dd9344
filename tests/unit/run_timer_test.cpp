// The timed run through the main window: the run-length box, the clock, the
// automatic stop and every operator action in every state of the run.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/support/console_harness.h"

namespace pump {
namespace {

using Frames = std::vector<std::string>;
using Clock = std::array<std::string, 3>;

const std::string kRun = "Q00R0000Y";
const std::string kStop = "Q00S0000Y";

struct TimedRun : ::testing::Test {
  testing::ConsoleHarness f;
  console::MainWindow& w = *f.window;

  TimedRun() {
    f.openPort();
    // The status poll is not what these tests watch: with its timer stopped a
    // refused write cannot drop the line under them.
    f.pollTimer.setEnabled(false);
    f.dialogs.shown.clear();  // only the boxes of the test itself count
  }

  void setLength(const std::string& answer) {
    f.dialogs.answers.push_back(answer);
    w.askRunLength();
  }
  void seconds(long long n) { f.clock.advance(n * 1000); }
  Clock clock() const {
    return {w.display.hours.caption(), w.display.minutes.caption(), w.display.seconds.caption()};
  }
  bool clockShown() const {
    const bool shown = w.display.hours.visible();
    for (const Label* l : {&w.display.minutes, &w.display.seconds, &w.display.hourUnit,
                           &w.display.minuteUnit, &w.display.secondUnit}) {
      EXPECT_EQ(l->visible(), shown) << "the six clock labels are shown and hidden together";
    }
    return shown;
  }
  // Command frames written so far; the status polls are no commands.
  Frames frames() const { return f.eventDetails(pump::EventKind::Command); }
  // Frames written from now on.
  Frames sentDuring(auto action) {
    const std::size_t before = frames().size();
    action();
    const Frames all = frames();
    return Frames(all.begin() + static_cast<long>(before), all.end());
  }
  // Starts a run and counts the seconds until its stop goes out.
  int secondsUntilTheStop() {
    w.startTimedRun();
    for (int second = 1; second <= 1000; ++second) {
      if (!sentDuring([&] { seconds(1); }).empty()) return second;
    }
    return -1;
  }
};

TEST_F(TimedRun, RunLengthBoxAsksInMinutesWithZeroAsDefault) {
  setLength("1.5");
  ASSERT_EQ(f.dialogs.shown.size(), 1u);
  EXPECT_EQ(f.dialogs.shown[0].kind, "question");
  EXPECT_EQ(f.dialogs.shown[0].prompt, "请输入设定时间 单位 分 ");
  EXPECT_EQ(f.dialogs.shown[0].title, "时间设定");
  EXPECT_EQ(f.dialogs.shown[0].defaultAnswer, "0");
  EXPECT_TRUE(frames().empty());
  EXPECT_EQ(secondsUntilTheStop(), 90);
}

TEST_F(TimedRun, CancelEmptyOrLettersKeepTheLengthInForceSilently) {
  setLength("2");
  for (const char* refused : {"", "abc", "1.2.3", "1,5"}) setLength(refused);
  EXPECT_TRUE(f.dialogs.messages().empty());
  EXPECT_EQ(secondsUntilTheStop(), 120);
  setLength("-3");
  EXPECT_EQ(secondsUntilTheStop(), 1);
  setLength(" 01.25 ");
  EXPECT_EQ(secondsUntilTheStop(), 75);
}

TEST_F(TimedRun, ClockCaptionsArePlainDecimalIntegers) {
  setLength("10000");
  w.startTimedRun();
  seconds(59);
  EXPECT_EQ(clock(), (Clock{"0", "0", "59"}));
  seconds(1);
  EXPECT_EQ(clock(), (Clock{"0", "1", "0"}));
  seconds(3725 - 60);
  EXPECT_EQ(clock(), (Clock{"1", "2", "5"}));
}

TEST_F(TimedRun, ClockCountsPastThirtyTwoThousandSevenHundredSixtySevenSeconds) {
  setLength("10000");
  w.startTimedRun();
  seconds(32767);
  EXPECT_EQ(clock(), (Clock{"9", "6", "7"}));
  seconds(1);
  EXPECT_EQ(clock(), (Clock{"9", "6", "8"}));
  seconds(100000 - 32768);
  EXPECT_EQ(clock(), (Clock{"27", "46", "40"}));
  EXPECT_TRUE(f.runClockTimer.enabled());
  EXPECT_EQ(frames(), (Frames{kRun}));
  EXPECT_TRUE(f.dialogs.messages().empty());
}

TEST_F(TimedRun, LongRunStopsOnTimeBeyondNineHours) {
  setLength("600");  // 36000 s, more than a 16-bit counter holds
  w.startTimedRun();
  seconds(35999);
  EXPECT_EQ(frames(), (Frames{kRun}));
  seconds(1);
  EXPECT_EQ(frames(), (Frames{kRun, kStop}));
  EXPECT_EQ(clock(), (Clock{"10", "0", "0"}));
  EXPECT_FALSE(f.runClockTimer.enabled());
}

struct StopCase {
  const char* name;
  const char* length;
  int stopsAfter;
  Clock finalClock;
};

void PrintTo(const StopCase& c, std::ostream* os) { *os << "length " << c.length; }

class StopRule : public TimedRun, public ::testing::WithParamInterface<StopCase> {};

TEST_P(StopRule, StopsOnTheFirstTickThatReachesTheLength) {
  const StopCase c = GetParam();
  setLength(c.length);
  w.startTimedRun();
  EXPECT_EQ(frames(), (Frames{kRun}));
  seconds(c.stopsAfter - 1);
  EXPECT_EQ(frames(), (Frames{kRun})) << "no stop before " << c.stopsAfter << " s";
  EXPECT_TRUE(f.runClockTimer.enabled());
  seconds(1);
  EXPECT_EQ(frames(), (Frames{kRun, kStop}));
  EXPECT_FALSE(f.runClockTimer.enabled());
  EXPECT_EQ(clock(), c.finalClock) << "the final time stays on show";
  EXPECT_TRUE(clockShown());
  seconds(10);
  EXPECT_EQ(frames().size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Lengths, StopRule,
                         ::testing::Values(StopCase{"Zero", "0", 1, {"0", "0", "1"}},
                                           StopCase{"MinusThree", "-3", 1, {"0", "0", "1"}},
                                           StopCase{"Half", "0.5", 30, {"0", "0", "30"}},
                                           StopCase{"OnePointZeroOne", "1.01", 61, {"0", "1", "1"}},
                                           StopCase{"Two", "2", 120, {"0", "2", "0"}}),
                         [](const auto& tested) { return std::string(tested.param.name); });

TEST_F(TimedRun, NoLengthEverSetStopsAfterOneSecond) {
  w.startTimedRun();
  EXPECT_TRUE(clockShown());
  EXPECT_EQ(clock(), (Clock{"00", "00", "00"})) << "design captions until the first tick";
  seconds(1);
  EXPECT_EQ(frames(), (Frames{kRun, kStop}));
  EXPECT_EQ(clock(), (Clock{"0", "0", "1"}));
}

TEST_F(TimedRun, ShorterLengthSetMidRunStopsAtTheNextTick) {
  setLength("2");
  w.startTimedRun();
  seconds(90);
  setLength("1");
  EXPECT_EQ(frames(), (Frames{kRun}));
  seconds(1);
  EXPECT_EQ(frames(), (Frames{kRun, kStop}));
  EXPECT_EQ(clock(), (Clock{"0", "1", "31"}));
}

TEST_F(TimedRun, LongerLengthSetMidRunExtendsIt) {
  setLength("1");
  w.startTimedRun();
  seconds(30);
  setLength("1.5");
  seconds(30);
  EXPECT_EQ(frames(), (Frames{kRun})) << "no stop at 60 s";
  seconds(29);
  EXPECT_EQ(frames(), (Frames{kRun}));
  seconds(1);
  EXPECT_EQ(frames(), (Frames{kRun, kStop}));
}

TEST_F(TimedRun, PauseAndContinueKeepTheCount) {
  setLength("5");
  w.startTimedRun();
  seconds(10);
  EXPECT_EQ(sentDuring([&] { w.pauseTimedRun(); }), (Frames{kStop}));
  EXPECT_FALSE(f.runClockTimer.enabled());
  seconds(7);
  EXPECT_EQ(clock(), (Clock{"0", "0", "10"})) << "halted while paused";
  EXPECT_TRUE(clockShown());
  EXPECT_EQ(sentDuring([&] { w.continueTimedRun(); }), (Frames{kRun}));
  seconds(1);
  EXPECT_EQ(clock(), (Clock{"0", "0", "11"}));
  seconds(300 - 11);
  EXPECT_EQ(frames(), (Frames{kRun, kStop, kRun, kStop})) << "stops at 300 counted seconds";
}

TEST_F(TimedRun, ContinueStartsAFullSecondSoAPartSecondIsLost) {
  setLength("5");
  w.startTimedRun();
  seconds(3);
  f.clock.advance(600);
  w.pauseTimedRun();
  w.continueTimedRun();
  f.clock.advance(999);
  EXPECT_EQ(clock()[2], "3");
  f.clock.advance(1);
  EXPECT_EQ(clock()[2], "4");
}

TEST_F(TimedRun, StartWhileRunningRestartsTheCountAndSendsTheRunFrameAgain) {
  setLength("5");
  w.startTimedRun();
  seconds(42);
  EXPECT_EQ(sentDuring([&] { w.startTimedRun(); }), (Frames{kRun}));
  EXPECT_EQ(clock(), (Clock{"0", "0", "42"})) << "captions change only on a tick";
  seconds(1);
  EXPECT_EQ(clock(), (Clock{"0", "0", "1"}));
}

TEST_F(TimedRun, StartAfterFinishShowsTheLastTimeUntilTheFirstTick) {
  setLength("0.1");
  w.startTimedRun();
  seconds(6);
  ASSERT_FALSE(f.runClockTimer.enabled());
  w.startTimedRun();
  EXPECT_TRUE(f.runClockTimer.enabled());
  EXPECT_EQ(clock(), (Clock{"0", "0", "6"}));
  seconds(1);
  EXPECT_EQ(clock(), (Clock{"0", "0", "1"}));
}

TEST_F(TimedRun, StartWhilePausedBeginsAFreshRun) {
  setLength("1");
  w.startTimedRun();
  seconds(50);
  w.pauseTimedRun();
  w.startTimedRun();
  seconds(59);
  EXPECT_EQ(frames(), (Frames{kRun, kStop, kRun}));
  seconds(1);
  EXPECT_EQ(frames(), (Frames{kRun, kStop, kRun, kStop}));
}

TEST_F(TimedRun, ContinueAfterFinishRunsAWholeNewRunOfTheSameLength) {
  setLength("0.5");
  w.startTimedRun();
  seconds(30);
  EXPECT_EQ(sentDuring([&] { w.continueTimedRun(); }), (Frames{kRun}));
  seconds(29);
  EXPECT_EQ(clock(), (Clock{"0", "0", "29"}));
  EXPECT_EQ(sentDuring([&] { seconds(1); }), (Frames{kStop}));
}

TEST_F(TimedRun, EndHidesTheClockClearsTheLengthAndKeepsTheCount) {
  setLength("5");
  w.startTimedRun();
  seconds(12);
  EXPECT_EQ(sentDuring([&] { w.endTimedRun(); }), (Frames{kStop}));
  EXPECT_FALSE(clockShown());
  EXPECT_FALSE(f.runClockTimer.enabled());
  EXPECT_EQ(clock(), (Clock{"0", "0", "12"}));
}

TEST_F(TimedRun, EndWhilePausedOrIdleStillSendsTheStopFrame) {
  EXPECT_EQ(sentDuring([&] { w.endTimedRun(); }), (Frames{kStop}));
  EXPECT_FALSE(clockShown());
  setLength("5");
  w.startTimedRun();
  seconds(3);
  w.pauseTimedRun();
  EXPECT_EQ(sentDuring([&] { w.endTimedRun(); }), (Frames{kStop}));
  EXPECT_FALSE(clockShown());
}

TEST_F(TimedRun, ContinueAfterEndRunsThePumpForOneSecondWithTheClockHidden) {
  setLength("5");
  w.startTimedRun();
  seconds(12);
  w.endTimedRun();
  EXPECT_EQ(sentDuring([&] { w.continueTimedRun(); }), (Frames{kRun}));
  EXPECT_FALSE(clockShown());
  EXPECT_EQ(sentDuring([&] { seconds(1); }), (Frames{kStop}));
  EXPECT_EQ(clock(), (Clock{"0", "0", "13"})) << "captions move while hidden";
  EXPECT_FALSE(clockShown());
  EXPECT_FALSE(f.runClockTimer.enabled());
}

TEST_F(TimedRun, PauseWithNoRunSendsTheStopFrameAndChangesNothingElse) {
  EXPECT_EQ(sentDuring([&] { w.pauseTimedRun(); }), (Frames{kStop}));
  EXPECT_FALSE(f.runClockTimer.enabled());
  EXPECT_FALSE(clockShown());
  EXPECT_EQ(clock(), (Clock{"00", "00", "00"}));
  EXPECT_EQ(w.display.pumpState.caption(), "     STOP");
}

TEST_F(TimedRun, FramesCarryAddressZeroWhateverPumpTheKeypadUses) {
  f.dialogs.answers.push_back("7");
  w.askPumpNumber();
  setLength("0");
  w.startTimedRun();
  seconds(1);
  w.continueTimedRun();
  w.pauseTimedRun();
  w.endTimedRun();
  EXPECT_EQ(frames(), (Frames{kRun, kStop, kRun, kStop, kStop}));
}

TEST_F(TimedRun, RunStateDisplayIsLeftAlone) {
  w.startTimedRun();
  seconds(1);
  w.endTimedRun();
  EXPECT_EQ(w.display.pumpState.caption(), "     STOP");
  EXPECT_EQ(w.display.entryMode.caption(), "");
}

TEST_F(TimedRun, StartOrContinueThatCannotSendTimesNothing) {
  f.serial.refuseWrites = true;
  w.startTimedRun();
  EXPECT_EQ(f.dialogs.messages().size(), 1u) << "the operator is told once";
  EXPECT_FALSE(clockShown());
  EXPECT_FALSE(f.runClockTimer.enabled());
  w.continueTimedRun();
  EXPECT_FALSE(f.runClockTimer.enabled());
  seconds(10);
  EXPECT_EQ(f.dialogs.messages().size(), 2u) << "no box per tick";
}

TEST_F(TimedRun, StopThatCannotSendIsTriedAgainOnTheNextTick) {
  setLength("0.05");
  w.startTimedRun();
  f.serial.refuseWrites = true;
  seconds(3);
  EXPECT_TRUE(f.runClockTimer.enabled()) << "the pump was not told to stop";
  EXPECT_EQ(clock()[2], "3");
  EXPECT_EQ(f.dialogs.messages().size(), 1u);
  seconds(1);
  EXPECT_EQ(f.dialogs.messages().size(), 2u);
  f.serial.refuseWrites = false;
  seconds(1);
  EXPECT_EQ(frames(), (Frames{kRun, kStop}));
  EXPECT_FALSE(f.runClockTimer.enabled());
  EXPECT_EQ(f.eventDetails(pump::EventKind::Run), (Frames{"start", "stop_due", "stop_sent"}))
      << "the due stop is told once however many tries it takes";
}

// A modal failure box runs an event loop in which the clock keeps ticking.
// Run frames go out; stop frames fail and keep their box open five seconds.
class StopFailingSender : public link::CommandSender {
 public:
  explicit StopFailingSender(testing::ScriptedClock& clock) : clock_(clock) {}
  link::Handed send(const link::PumpCommand& command) override {
    attempts.push_back(command.frame());
    if (command.frame() == kRun) return link::Handed::Sent;
    ++boxesOpen;
    maxBoxesOpen = std::max(maxBoxesOpen, boxesOpen);
    clock_.advance(5000);  // the operator reads the box for five seconds
    --boxesOpen;
    return link::Handed::Failed;
  }
  Frames attempts;
  int boxesOpen = 0;
  int maxBoxesOpen = 0;

 private:
  testing::ScriptedClock& clock_;
};

TEST(TimedRunFailure, TicksDuringAFailureBoxCountButOpenNoSecondBox) {
  testing::ScriptedClock clock;
  testing::ManualTimer timer{clock};
  timer.setInterval(1000);
  StopFailingSender sender{clock};
  testing::ScriptedEventClock time{clock};
  timedrun::RunTimer run(timer, time, sender);
  long shownSeconds = -1;
  run.setOnClock([&](const timedrun::ClockChange& change) {
    if (change.elapsedSeconds) shownSeconds = *change.elapsedSeconds;
  });
  timer.setOnTick([&] { run.tick(); });

  run.start();          // no length set: the first tick is due to stop the pump
  clock.advance(1000);  // that stop fails; the clock ticks on behind its box
  EXPECT_EQ(sender.attempts, (Frames{kRun, kStop}));
  EXPECT_EQ(sender.maxBoxesOpen, 1);
  EXPECT_EQ(shownSeconds, 6);

  clock.advance(1000);  // first tick after the box: the stop is tried again
  EXPECT_EQ(sender.attempts, (Frames{kRun, kStop, kStop}));
  EXPECT_EQ(sender.maxBoxesOpen, 1);
  EXPECT_TRUE(timer.enabled()) << "the pump was never told to stop";
}

}  // namespace
}  // namespace pump

namespace pump {
namespace {

TEST_F(TimedRun, AWindowHeldForElevenSecondsDoesNotLengthenTheRun) {
  setLength("0.5");
  w.startTimedRun();
  seconds(10);
  f.clock.stall(11'000);  // the window's thread is held: no tick
  f.clock.advance(0);     // the late tick shows the real time
  EXPECT_EQ(clock(), (Clock{"0", "0", "21"}));
  seconds(8);
  EXPECT_EQ(frames(), (Frames{kRun}));
  seconds(1);
  EXPECT_EQ(frames(), (Frames{kRun, kStop})) << "stopped 30 s after the start, not 41 s";
}

TEST_F(TimedRun, APauseIsNotCounted) {
  setLength("0.5");
  w.startTimedRun();
  seconds(10);
  w.pauseTimedRun();
  seconds(60);
  w.continueTimedRun();
  seconds(19);
  EXPECT_EQ(frames(), (Frames{kRun, kStop, kRun}));
  seconds(1);
  EXPECT_EQ(frames(), (Frames{kRun, kStop, kRun, kStop}));
  EXPECT_EQ(clock(), (Clock{"0", "0", "30"}));
}

}  // namespace
}  // namespace pump
