// A program in the main window: its step and time left on the status line
// (a link problem first), a manual action that aborted it said there, and
// the question before the window closes on it.
#include <gtest/gtest.h>

#include "tests/support/console_harness.h"

namespace pump {
namespace {

using program::Program;
using program::Step;
using Frames = std::vector<std::string>;
using CloseAnswer = console::MainWindow::CloseAnswer;

const Program kFiveSteps{"升流量",
                         {Step{60, 0, 50, 30}, Step{600, 50, 50, 30}, Step{3600, 50, 80, 35},
                          Step{30, 80, 80, 35}, Step{300, 80, 0, 20}}};

struct ProgramGoing : testing::ConsoleHarness {
  ProgramGoing() {
    openPort("/dev/ttyUSB0");
    serial.receive("Q00N01.0Y");  // the pump answers
    EXPECT_TRUE(session->startProgram(kFiveSteps).ok());
    serial.written.clear();
    dialogs.shown.clear();
  }
  // Time passes with the pump answering all along.
  void runFor(long long ms) {
    clock.advance(ms);
    serial.receive("Q00N01.0Y");
  }
  const std::string& status() const { return window->display.linkStatus.caption(); }
};

TEST(ProgramStatus, TheStatusLineShowsNameStepAndTimeLeftAndWhenItIsPaused) {
  ProgramGoing f;
  EXPECT_EQ(f.status(), "● 程序 升流量 步骤 1/5 剩余 01:16:30");
  f.runFor(61'000);
  EXPECT_EQ(f.status(), "● 程序 升流量 步骤 2/5 剩余 01:15:29");
  ASSERT_TRUE(f.session->pauseProgram().ok());
  EXPECT_EQ(f.status(), "● 程序 升流量 步骤 2/5 剩余 01:15:29（已暂停）");
  f.session->abortProgram();
  EXPECT_EQ(f.status(), texts::LinkAnswering("/dev/ttyUSB0")) << "an aborted program says nothing";
}

TEST(ProgramStatus, ALinkProblemComesBeforeTheProgram) {
  ProgramGoing f;
  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  f.serial.loseLine("Input/output error");
  EXPECT_EQ(f.status(), texts::kStopWaiting);
  f.clock.advance(4'000);  // back: the stop has gone out, the program waits paused
  EXPECT_EQ(f.status().rfind("● 程序 升流量 步骤 1/5", 0), 0U) << f.status();
}

TEST(ProgramStatus, AManualActionThatAbortedTheProgramIsSaidUntilTheNextProgram) {
  ProgramGoing f;
  f.window->pressRunKey();
  EXPECT_EQ(f.status(), texts::kProgramAbortedByHand);
  f.runFor(10'000);
  EXPECT_EQ(f.status(), texts::kProgramAbortedByHand);
  ASSERT_TRUE(f.session->startProgram(kFiveSteps).ok());
  f.session->abortProgram();
  EXPECT_EQ(f.status(), texts::LinkAnswering("/dev/ttyUSB0")) << "an abort asked for is no news";
}

TEST(ProgramStatus, ClosingDuringAProgramAsksFirstAndYesSendsTheStop) {
  ProgramGoing f;
  EXPECT_EQ(f.window->askToClose(), CloseAnswer::Stay) << "No";
  ASSERT_EQ(f.dialogs.shown.size(), 1U);
  EXPECT_EQ(f.dialogs.shown[0].kind, "yes_no");
  EXPECT_EQ(f.dialogs.shown[0].prompt, texts::kCloseDuringProgram);
  EXPECT_TRUE(f.serial.written.empty());
  EXPECT_TRUE(f.session->runningProgram());

  f.dialogs.yesNoAnswers.push_back(true);
  EXPECT_EQ(f.window->askToClose(), CloseAnswer::CloseAfterStop);
  EXPECT_EQ(f.serial.written, Frames{"Q00S0000Y"});
  EXPECT_FALSE(f.session->runningProgram());

  EXPECT_EQ(f.window->askToClose(), CloseAnswer::Close) << "nothing to ask without a program";
  EXPECT_EQ(f.dialogs.shown.size(), 2U);
}

TEST(ProgramStatus, TheExitItemAsksTheSameQuestionDuringAProgram) {
  ProgramGoing f;
  f.window->exitProgram();
  EXPECT_EQ(f.app.ends, 0) << "No";
  EXPECT_TRUE(f.session->runningProgram());
  EXPECT_FALSE(f.session->exitStopOutstanding()) << "no stop sent for the exit yet";
  f.dialogs.yesNoAnswers.push_back(true);
  f.serial.drained = false;  // the stop still in the port: the application waits
  f.window->exitProgram();
  EXPECT_EQ(f.app.ends, 1);
  EXPECT_EQ(f.serial.written, Frames{"Q00S0000Y"});
  EXPECT_TRUE(f.session->exitStopOutstanding());
  f.serial.receive("Q00N01.0Y");  // the pump has answered since
  EXPECT_FALSE(f.session->exitStopOutstanding());
}

TEST(ProgramStatus, TheProgramsRunAndStopShowOnThePumpStateAsTheKeysDo) {
  ProgramGoing f;
  EXPECT_EQ(f.window->display.pumpState.caption(), texts::kPumpRunning);
  f.session->abortProgram();
  EXPECT_EQ(f.window->display.pumpState.caption(), texts::kPumpStopped);
}

}  // namespace
}  // namespace pump
