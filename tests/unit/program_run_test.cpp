// A program on a scripted clock: each frame at the whole second its schedule
// sets, pause and continue, a lost line, manual commands that abort it, and
// a ten-hour program that ends on time to the millisecond.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/console_harness.h"

namespace pump {
namespace {

using program::Program;
using program::Step;
using Frames = std::vector<std::string>;

struct LineOpen : testing::ConsoleHarness {
  LineOpen() {
    openPort("/dev/ttyUSB0");
    clock.advance(250);  // off the whole second, so the program's time is its own
    start = clock.now();
    events.clear();
    serial.written.clear();
    dialogs.shown.clear();
  }
  // "<ms since the program's start> <frame>" for each command sent.
  Frames timedFrames() const {
    Frames frames;
    for (const auto& event : events) {
      if (event.kind != EventKind::Command) continue;
      const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                          event.monotonicTime.time_since_epoch())
                          .count();
      frames.push_back(std::to_string(ms - start) + " " + event.detail);
    }
    return frames;
  }
  // What was written to the pump apart from the status polls.
  Frames commands() const {
    Frames frames;
    for (const auto& frame : serial.written)
      if (frame != "Q00F0000Y") frames.push_back(frame);
    return frames;
  }
  long long start = 0;
};

// Hold 3 s at 10 ml/min under 2.0 MPa; ramp to 20 over 4 s; hold 20 under 3.5 MPa for 2 s.
const Program kHoldRampLimit{"三步",
                             {Step{3, 10, 10, 20}, Step{4, 10, 20, 20}, Step{2, 20, 20, 35}}};

TEST(ProgramRun, HoldRampAndLimitChangeGoOutAtTheirWholeSecondsAndOnlyWhenTheyChange) {
  LineOpen f;
  ASSERT_TRUE(f.session->startProgram(kHoldRampLimit).ok());
  f.clock.advance(20'000);
  EXPECT_EQ(f.timedFrames(), (Frames{"0 Q00P02.0Y", "0 Q00L0010Y", "0 Q00R0000Y",
                                     // the ramp: 12.5 rounds up, 17.5 too
                                     "4000 Q00L0013Y", "5000 Q00L0015Y", "6000 Q00L0018Y",
                                     // its end flow, then the next step's new limit
                                     "7000 Q00L0020Y", "7000 Q00P03.5Y", "9000 Q00S0000Y"}));
  EXPECT_EQ(f.eventDetails(EventKind::Program),
            (Frames{"start 三步", "step 1/3", "step 2/3", "step 3/3", "end"}));
  EXPECT_EQ(f.session->runningProgram(), nullptr);
  EXPECT_FALSE(f.session->state().program);
  EXPECT_FALSE(f.session->state().pumpCommandedRunning);
}

TEST(ProgramRun, TheStateCarriesStepAndTimeLeftAndEachEventTheStateAfterIt) {
  LineOpen f;
  ASSERT_TRUE(f.session->startProgram(kHoldRampLimit).ok());
  f.clock.advance(3'500);
  ASSERT_TRUE(f.session->state().program);
  const session::ProgramProgress progress = *f.session->state().program;
  EXPECT_EQ(progress.name, "三步");
  EXPECT_EQ(progress.step, 2);
  EXPECT_EQ(progress.steps, 3);
  EXPECT_EQ(progress.secondsLeft, 6);
  EXPECT_EQ(progress.elapsedMs, 3'000) << "as of its last whole second";
  EXPECT_EQ(progress.state, session::ProgramRunState::Running);
  ASSERT_TRUE(f.session->pauseProgram().ok());
  const auto& paused = f.events.back();
  EXPECT_EQ(paused.detail, "pause");
  ASSERT_TRUE(paused.state.program);
  EXPECT_EQ(paused.state.program->state, session::ProgramRunState::Paused);
  EXPECT_STREQ(session::ProgramRunStateName(paused.state.program->state), "paused");
}

TEST(ProgramRun, APauseStopsThePumpAndTheClockAndContinueSendsWhatIsDueNowThenRun) {
  LineOpen f;
  ASSERT_TRUE(f.session->startProgram(kHoldRampLimit).ok());
  f.clock.advance(4'600);  // 0.6 s into the ramp's second second... at 13 ml/min
  ASSERT_TRUE(f.session->pauseProgram().ok());
  f.clock.advance(60'000);  // a minute paused: nothing goes out, the clock halts
  ASSERT_TRUE(f.session->continueProgram().ok());
  f.clock.advance(20'000);
  EXPECT_EQ(f.timedFrames(),
            (Frames{"0 Q00P02.0Y", "0 Q00L0010Y", "0 Q00R0000Y", "4000 Q00L0013Y", "4600 Q00S0000Y",
                    // continue: the step's limit and the flow due now, then run
                    "64600 Q00P02.0Y", "64600 Q00L0013Y", "64600 Q00R0000Y",
                    // the rest of the schedule, a minute later than planned
                    "65000 Q00L0015Y", "66000 Q00L0018Y", "67000 Q00L0020Y", "67000 Q00P03.5Y",
                    "69000 Q00S0000Y"}));
  EXPECT_EQ(f.eventDetails(EventKind::Program),
            (Frames{"start 三步", "step 1/3", "step 2/3", "pause", "continue", "step 3/3", "end"}));
}

TEST(ProgramRun, PauseContinueAndAbortAreRefusedWhenThereIsNothingToActOn) {
  LineOpen f;
  EXPECT_EQ(f.session->pauseProgram().refusal, texts::kNoProgramRunning);
  EXPECT_EQ(f.session->abortProgram().refusal, texts::kNoProgramRunning);
  EXPECT_EQ(f.session->continueProgram().refusal, texts::kNoProgramPaused);
  ASSERT_TRUE(f.session->startProgram(kHoldRampLimit).ok());
  EXPECT_EQ(f.session->continueProgram().refusal, texts::kNoProgramPaused) << "not paused";
  EXPECT_EQ(f.session->startProgram(kHoldRampLimit).refusal, texts::kProgramAlreadyRunning);
  f.serial.written.clear();
  ASSERT_TRUE(f.session->abortProgram().ok());
  EXPECT_EQ(f.serial.written, Frames{"Q00S0000Y"});
  EXPECT_EQ(f.events.back().detail, "abort");
  f.clock.advance(20'000);
  EXPECT_EQ(f.commands(), Frames{"Q00S0000Y"}) << "nothing more after an abort";
}

TEST(ProgramRun, AFaultyProgramOrOneWithoutALineIsRefusedAndSendsNothing) {
  testing::ConsoleHarness closed;
  EXPECT_EQ(closed.session->startProgram(kHoldRampLimit).refusal, texts::kPortNotOpen);
  LineOpen f;
  const auto faulty = f.session->startProgram(Program{"x", {Step{0, 1, 1, 1}}});
  EXPECT_FALSE(faulty.ok());
  EXPECT_NE(faulty.refusal.find("step 1"), std::string::npos) << faulty.refusal;
  EXPECT_TRUE(f.serial.written.empty());
  EXPECT_TRUE(f.eventDetails(EventKind::Program).empty());
}

TEST(ProgramRun, AProgramAndATimedRunNeverRunAtOnce) {
  LineOpen f;
  f.startTimedRun("10");
  const auto refused = f.session->startProgram(kHoldRampLimit);
  EXPECT_EQ(refused.refusal, texts::kProgramWhileTimedRun);
  EXPECT_TRUE(f.eventDetails(EventKind::Program).empty());

  LineOpen g;
  ASSERT_TRUE(g.session->startProgram(kHoldRampLimit).ok());
  g.serial.written.clear();
  g.startTimedRun("10");
  EXPECT_FALSE(g.session->runInProgress());
  EXPECT_EQ(g.messages(), Frames{texts::kTimedRunWhileProgram}) << "told in a box";
  EXPECT_TRUE(g.serial.written.empty()) << "the program goes on untouched";
  EXPECT_EQ(g.session->timedRun(5).refusal, texts::kTimedRunWhileProgram) << "from afar";
  EXPECT_TRUE(g.session->runningProgram());
}

TEST(ProgramRun, AManualStopAbortsTheProgramFirstThenGoesOutAsAlways) {
  LineOpen f;
  ASSERT_TRUE(f.session->startProgram(kHoldRampLimit).ok());
  f.clock.advance(4'500);
  f.serial.written.clear();
  f.window->stopPump();
  EXPECT_EQ(f.serial.written, (Frames{"Q00S0000Y", "Q00S0000Y"})) << "the abort's, then the key's";
  EXPECT_EQ(f.events.back().kind, EventKind::Command);
  EXPECT_EQ(f.eventDetails(EventKind::Program).back(), "abort manual");
  f.clock.advance(20'000);
  EXPECT_EQ(f.commands().size(), 2U) << "the ramp goes no further";
}

TEST(ProgramRun, ASetpointFromAfarAbortsTheProgramToo) {
  LineOpen f;
  ASSERT_TRUE(f.session->startProgram(kHoldRampLimit).ok());
  f.serial.written.clear();
  ASSERT_TRUE(f.session->setFlow(7).ok());
  EXPECT_EQ(f.serial.written, (Frames{"Q00S0000Y", "Q00L0007Y"}));
  EXPECT_FALSE(f.session->runningProgram());
}

TEST(ProgramRun, ALostLinePausesTheProgramKeepsItsStopForTheLineAndNeverResumesByItself) {
  LineOpen f;
  ASSERT_TRUE(f.session->startProgram(kHoldRampLimit).ok());
  f.clock.advance(1'000);
  f.serial.written.clear();
  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  f.serial.loseLine("Input/output error");
  EXPECT_EQ(f.eventDetails(EventKind::Program).back(), "pause");
  EXPECT_TRUE(f.session->holdsKeptStop());
  ASSERT_FALSE(f.dialogs.shown.empty());
  EXPECT_NE(f.dialogs.shown.back().prompt.find(texts::kProgramPausedByLoss), std::string::npos);
  EXPECT_EQ(f.session->continueProgram().refusal, texts::kPortNotOpen);
  f.clock.advance(4'000);  // the line is back: the kept stop goes first
  ASSERT_FALSE(f.serial.written.empty());
  EXPECT_EQ(f.serial.written.front(), "Q00S0000Y");
  f.clock.advance(30'000);
  EXPECT_EQ(f.commands(), Frames{"Q00S0000Y"}) << "the program waits for continue";
  ASSERT_TRUE(f.session->state().program);
  EXPECT_EQ(f.session->state().program->state, session::ProgramRunState::Paused);
}

TEST(ProgramRun, StoppingBeforeExitAbortsTheProgramWithItsStopOnTheLine) {
  LineOpen f;
  ASSERT_TRUE(f.session->startProgram(kHoldRampLimit).ok());
  f.serial.written.clear();
  EXPECT_TRUE(f.session->stopRunBeforeExit());
  EXPECT_EQ(f.serial.written, Frames{"Q00S0000Y"});
  EXPECT_EQ(f.eventDetails(EventKind::Program).back(), "abort");
  EXPECT_TRUE(f.session->stopTakenBeforeExit());
}

// 5 h up from 0 to 200 ml/min, 2.5 h at 200, 2.5 h back down: ten hours.
const Program kTenHours{
    "十小时", {Step{18'000, 0, 200, 50}, Step{9'000, 200, 200, 50}, Step{9'000, 200, 0, 40}}};

TEST(ProgramRun, ATenHourProgramEndsOnTimeToTheMillisecondAndEachRampFlowGoesOutOnce) {
  LineOpen f;
  ASSERT_TRUE(f.session->startProgram(kTenHours).ok());
  // Held up now and then, as a busy window is: late ticks do not move the schedule.
  for (int hour = 0; hour < 11; ++hour) {
    f.clock.advance(1'700'000);
    f.clock.stall(2'300);
    f.clock.advance(1'897'700);
  }
  const Frames frames = f.timedFrames();
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back(), "36000000 Q00S0000Y");
  EXPECT_EQ(f.eventDetails(EventKind::Program).back(), "end");
  // 0 at the start, 1..200 up, 199..0 down: each whole flow once each way.
  int flows = 0;
  for (const auto& frame : frames) flows += frame.find(" Q00L") != std::string::npos;
  EXPECT_EQ(flows, 1 + 200 + 200);
  // Every frame falls on a whole second of the schedule except those a stall held up.
  int offSecond = 0;
  for (const auto& frame : frames) offSecond += std::stoll(frame) % 1000 != 0;
  EXPECT_LE(offSecond, 11);
}

}  // namespace
}  // namespace pump
