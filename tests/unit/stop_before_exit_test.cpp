// Ending the program while a timed run goes: the run's stop goes out through
// the line first, and the program is told when the line has taken it.
#include <gtest/gtest.h>

#include "tests/support/console_harness.h"

namespace pump {
namespace {

using pump::EventKind;
using testing::ConsoleHarness;
using Frames = std::vector<std::string>;

// A console with a line open and a ten-minute run going.
struct RunGoing : ConsoleHarness {
  RunGoing() {
    openPort("/dev/ttyUSB0");
    startTimedRun("10");
    clock.advance(3000);
    events.clear();
    serial.written.clear();
  }
};

TEST(StopBeforeExit, ARunGoingIsEndedAsItsMenuEndsItWithTheStopOnTheLine) {
  RunGoing f;
  ASSERT_TRUE(f.session->runInProgress());
  EXPECT_TRUE(f.session->stopRunBeforeExit());
  EXPECT_EQ(f.serial.written, Frames{"Q00S0000Y"});
  EXPECT_EQ(f.eventDetails(EventKind::Command), Frames{"Q00S0000Y"});
  EXPECT_EQ(f.eventDetails(EventKind::Run), Frames{"end"});
  EXPECT_FALSE(f.events.back().state.pumpCommandedRunning);
  EXPECT_FALSE(f.session->runInProgress());
  EXPECT_TRUE(f.session->stopTakenBeforeExit()) << "written, and nothing left in the port";
}

TEST(StopBeforeExit, WithNoRunGoingNothingIsSentAndThereIsNothingToWaitFor) {
  ConsoleHarness f;
  f.openPort("/dev/ttyUSB0");
  f.window->pressRunKey();  // the keypad's own run is the operator's to stop
  f.serial.written.clear();
  EXPECT_FALSE(f.session->runInProgress());
  EXPECT_FALSE(f.session->stopRunBeforeExit());
  EXPECT_TRUE(f.serial.written.empty());
}

TEST(StopBeforeExit, AStopStillInThePortIsTakenOnceItLeavesOrThePumpAnswers) {
  RunGoing f;
  f.serial.drained = false;
  ASSERT_TRUE(f.session->stopRunBeforeExit());
  EXPECT_FALSE(f.session->stopTakenBeforeExit());
  f.serial.drained = true;
  EXPECT_TRUE(f.session->stopTakenBeforeExit());

  RunGoing g;
  g.serial.drained = false;
  ASSERT_TRUE(g.session->stopRunBeforeExit());
  g.serial.receive("Q00S0000Y");
  EXPECT_TRUE(g.session->stopTakenBeforeExit()) << "the pump answered after the stop";
}

TEST(StopBeforeExit, AStopWaitingForAPumpThatDoesNotReadIsTakenOnlyOnceWritten) {
  RunGoing f;
  f.serial.room = 4;
  ASSERT_TRUE(f.session->stopRunBeforeExit());
  EXPECT_EQ(f.serial.line.substr(f.serial.line.size() - 4), "Q00S");
  f.serial.receive("Q00N01.5Y");
  EXPECT_FALSE(f.session->stopTakenBeforeExit()) << "an answer does not write the rest";
  f.serial.makeRoom();
  EXPECT_TRUE(f.session->stopTakenBeforeExit());
}

TEST(StopBeforeExit, AStopKeptForALostLineIsNotTakenAndALineGoneWithoutOneHasNothingToSend) {
  RunGoing f;
  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  f.serial.loseLine("Input/output error");
  ASSERT_TRUE(f.session->stopRunBeforeExit());
  EXPECT_EQ(f.window->display.linkStatus.caption(), "● 停泵命令待发送");
  EXPECT_FALSE(f.session->stopTakenBeforeExit()) << "the line may be back within the wait";
  f.clock.advance(4000);  // the second reopen finds it back; the kept stop goes first
  ASSERT_FALSE(f.serial.written.empty());
  EXPECT_EQ(f.serial.written.front(), "Q00S0000Y");
  EXPECT_TRUE(f.session->stopTakenBeforeExit());

  RunGoing g;
  g.serial.drained = false;
  ASSERT_TRUE(g.session->stopRunBeforeExit());
  g.serial.loseLine("Input/output error");
  EXPECT_TRUE(g.session->stopTakenBeforeExit()) << "written before the loss: nothing more to do";
}

}  // namespace
}  // namespace pump
