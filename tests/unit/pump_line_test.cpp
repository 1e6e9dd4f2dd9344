// The pump line on a recording port: typed commands to the line, whole
// replies back in order, the poll, and a lost line told once.
#include "link/pump_line.h"

#include <gtest/gtest.h>

#include "tests/support/pump_line_rig.h"

namespace pump::link {
namespace {

using Frames = std::vector<std::string>;

using Line = testing::PumpLineRig;

TEST(PumpCommands, EachIntentBecomesItsFrame) {
  EXPECT_EQ(PumpCommand::SetFlow(7, 150.5)->frame(), "Q07L0151Y");
  EXPECT_EQ(PumpCommand::SetPressureLimit(0, 2.45)->frame(), "Q00P02.5Y");
  EXPECT_EQ(PumpCommand::Run().frame(), "Q00R0000Y");
  EXPECT_EQ(PumpCommand::Stop().frame(), "Q00S0000Y");
  EXPECT_EQ(PumpCommand::StatusPoll().frame(), "Q00F0000Y");
}

TEST(PumpCommands, WhatCannotBeWrittenIsNeverMade) {
  EXPECT_FALSE(PumpCommand::SetFlow(100, 10));
  EXPECT_FALSE(PumpCommand::SetFlow(-1, 10));
  EXPECT_FALSE(PumpCommand::SetFlow(0, -1));
  EXPECT_FALSE(PumpCommand::SetFlow(0, 10000));
  EXPECT_FALSE(PumpCommand::SetPressureLimit(0, 99.96));
}

TEST(PumpLine, OpensAtNineSixHundredEightNoneOneAndPollsEveryOneAndAHalfSeconds) {
  Line l;
  ASSERT_FALSE(l.line.open("/dev/ttyUSB0"));
  EXPECT_EQ(l.port.settings, (LineSettings{9600, Parity::None, 8, 1}));
  l.clock.advance(1499);
  EXPECT_TRUE(l.port.written.empty());
  l.clock.advance(1501);
  EXPECT_EQ(l.port.written, Frames(2, "Q00F0000Y"));
}

TEST(PumpLine, SendsCommandsOnlyOnAnOpenLine) {
  Line l;
  EXPECT_EQ(l.line.send(PumpCommand::Run()), SendResult::NotOpen);
  l.line.open("/dev/ttyUSB0");
  EXPECT_EQ(l.line.send(PumpCommand::Run()), SendResult::Sent);
  l.port.refuseWrites = true;
  EXPECT_EQ(l.line.send(PumpCommand::Stop()), SendResult::WriteFailed);
  EXPECT_EQ(l.port.written, Frames{"Q00R0000Y"});
}

TEST(PumpLine, HandsOnWholeRepliesInArrivalOrderWhateverTheReads) {
  Line l;
  l.line.open("/dev/ttyUSB0");
  l.port.receive("xxQ00N01");
  l.port.receive(".5YQ00L0150YQ00P0");
  l.port.receive("2.5Y");
  EXPECT_EQ(l.replies, (Frames{"Q00N01.5Y", "Q00L0150Y", "Q00P02.5Y"}));
}

TEST(PumpLine, TellsOfALostLineOnceAndStopsPolling) {
  Line l;
  l.line.open("/dev/ttyUSB0");
  l.port.loseLine("Input/output error");
  l.port.loseLine("Input/output error");
  ASSERT_EQ(l.failures.size(), 1U);
  EXPECT_EQ(l.failures[0].kind, LineFailure::Kind::Lost);
  EXPECT_EQ(l.failures[0].device, "/dev/ttyUSB0");
  EXPECT_EQ(l.failures[0].reason, "Input/output error");
  EXPECT_FALSE(l.line.connected());
  l.clock.advance(1999);
  EXPECT_TRUE(l.port.written.empty());
  EXPECT_EQ(l.port.openCount, 1);
}

TEST(PumpLineWatch, NoValidFrameForFourAndAHalfSecondsIsNoAnswerUntilOneComes) {
  Line l;
  l.line.open("/dev/ttyUSB0");
  EXPECT_EQ(l.line.state(), LinkState::Waiting) << "nothing has come from the pump yet";
  l.clock.advance(3000);
  l.port.receive("Q00N01");
  EXPECT_EQ(l.line.state(), LinkState::Waiting) << "half a frame is no answer";
  l.port.receive(".5Y");
  EXPECT_EQ(l.line.state(), LinkState::Answering);
  l.clock.advance(4499);
  EXPECT_EQ(l.line.state(), LinkState::Answering);
  l.port.receive("Q00N01");  // half a frame is no answer
  l.clock.advance(1);
  l.clock.advance(499);  // the watch looks every half second
  EXPECT_EQ(l.line.state(), LinkState::NoAnswer);
  EXPECT_EQ(l.line.secondsWithoutAnswer(), 4);
  l.clock.advance(8000);
  EXPECT_EQ(l.line.secondsWithoutAnswer(), 12);
  l.port.receive(".5Y");
  EXPECT_EQ(l.line.state(), LinkState::Answering);
}

TEST(PumpLineWatch, APumpAnsweringEveryPollNeverStartsTheWatch) {
  Line l;
  l.line.open("/dev/ttyUSB0");
  for (int poll = 0; poll < 20; ++poll) {
    l.clock.advance(1500);
    EXPECT_FALSE(l.watchTimer.enabled()) << "poll " << poll;
    l.port.receive("Q00N01.5Y");
  }
  EXPECT_EQ(l.line.state(), LinkState::Answering);
  EXPECT_FALSE(l.watchTimer.enabled());
}

TEST(PumpLineWatch, NoAnswerShowsFourAndAHalfSecondsAfterTheLastFrameBetweenPollsAndCountsOn) {
  Line l;
  int told = 0;
  l.line.setOnWatch([&] { ++told; });
  l.line.open("/dev/ttyUSB0");
  l.clock.advance(1530);
  l.port.receive("Q00N01.5Y");  // 30 ms after the poll
  EXPECT_EQ(told, 1) << "the first answer";
  l.clock.advance(4499);
  EXPECT_EQ(l.line.state(), LinkState::Answering);
  l.clock.advance(1);
  EXPECT_EQ(l.line.state(), LinkState::NoAnswer);
  EXPECT_EQ(l.line.secondsWithoutAnswer(), 4);
  EXPECT_EQ(told, 2);
  l.clock.advance(10000);
  EXPECT_EQ(told, 2 + 10) << "once for each second counted";
  l.port.receive("Q00N01.5Y");
  EXPECT_EQ(l.line.state(), LinkState::Answering);
  EXPECT_FALSE(l.watchTimer.enabled());
}

TEST(PumpLineWatch, ALostLineIsReopenedEveryTwoSecondsByItsNameUntilItIsBack) {
  Line l;
  l.line.open("/dev/pump");
  l.port.loseLine("gone");
  EXPECT_EQ(l.line.state(), LinkState::Lost);
  l.port.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  l.clock.advance(2000);
  EXPECT_EQ(l.line.state(), LinkState::Reconnecting);
  EXPECT_EQ(l.port.opened, (Frames{"/dev/pump", "/dev/pump"}));
  l.clock.advance(1999);
  EXPECT_EQ(l.port.openCount, 2);
  l.clock.advance(1);
  EXPECT_EQ(l.port.opened, (Frames{"/dev/pump", "/dev/pump", "/dev/pump"}));
  EXPECT_EQ(l.line.state(), LinkState::Waiting) << "back, but not heard from yet";
  EXPECT_TRUE(l.line.connected());
  l.clock.advance(1500);
  EXPECT_EQ(l.port.written, Frames{"Q00F0000Y"}) << "the poll resumes";
}

TEST(PumpLineWatch, AnAdapterIsReopenedByItsStableNameAndClosingEndsTheTries) {
  Line l;
  l.stableName = "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0";
  l.line.open("/dev/ttyUSB0");
  l.port.loseLine("gone");
  l.port.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  l.clock.advance(2000);
  EXPECT_EQ(l.port.opened.back(), *l.stableName);
  EXPECT_EQ(l.line.device(), "/dev/ttyUSB0") << "the operator's name stays the shown one";
  l.line.close();
  l.clock.advance(10000);
  EXPECT_EQ(l.port.openCount, 2);
  EXPECT_EQ(l.line.state(), LinkState::NotConnected);
}

// The tries themselves are the session's test; here, who asks for them and
// what a late open follows.
TEST(PumpLineWatch, AFirstOpenThatFailsIsTriedAgainOnlyWhenAskedAndThenFollowsTheStableName) {
  const PortError missing{PortError::Kind::NotFound, "No such file or directory"};
  Line once;
  once.port.failNextOpen = missing;
  EXPECT_TRUE(once.line.open("/dev/ttyUSB0"));
  once.clock.advance(10000);
  EXPECT_EQ(once.port.openCount, 1) << "not asked to: one try only";

  Line l;
  l.stableName = "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0";
  l.port.failNextOpen = missing;
  EXPECT_TRUE(l.line.open("/dev/ttyUSB0", OpenRetry::UntilOpen));
  l.clock.advance(2000);
  ASSERT_TRUE(l.line.connected());
  l.port.loseLine("gone");
  l.clock.advance(2000);
  EXPECT_EQ(l.port.opened.back(), *l.stableName) << "looked up when it opened at last";
}

TEST(PumpLine, APollTheLineRefusesGivesTheLineUpOnce) {
  Line l;
  l.line.open("/dev/ttyUSB0");
  l.port.refuseWrites = true;
  l.clock.advance(1500 + 1999);  // the first poll fails; the reopen is two seconds later
  ASSERT_EQ(l.failures.size(), 1U);
  EXPECT_EQ(l.failures[0].kind, LineFailure::Kind::PollNotWritten);
  EXPECT_FALSE(l.port.isOpen());
}

}  // namespace
}  // namespace pump::link
