// A pump that stops reading fills its line: frames wait whole, in order,
// polls give way to commands, and the console says so without calling the
// line lost.
#include <gtest/gtest.h>

#include <regex>

#include "link/pump_line.h"
#include "tests/support/pump_line_rig.h"

namespace pump {
namespace {

using link::PumpCommand;
using link::SendResult;

// Whole frames back to back, nothing torn, nothing interleaved.
bool WholeFramesOnly(const std::string& line) {
  static const std::regex frames("(Q[0-9]{2}[A-Z].{4}Y)*");
  return std::regex_match(line, frames);
}

// A line already open, and set-flow commands to fill it with.
struct Line : testing::PumpLineRig {
  Line() { line.open("/dev/ttyUSB0"); }
  SendResult setFlow(int ml) { return line.send(*PumpCommand::SetFlow(0, ml)); }
};

TEST(PumpNotReading, AFrameTheLineTookInPartIsFinishedBeforeAnyOther) {
  Line l;
  l.port.room = 4;
  EXPECT_EQ(l.line.send(PumpCommand::Run()), SendResult::Queued);
  EXPECT_EQ(l.port.line, "Q00R");
  EXPECT_TRUE(l.line.notReading());
  EXPECT_EQ(l.line.send(PumpCommand::Stop()), SendResult::Queued);
  EXPECT_EQ(l.port.line, "Q00R") << "a later frame overtook the torn one";

  l.port.makeRoom(7);  // the rest of the run and two bytes of the stop
  EXPECT_EQ(l.port.line, "Q00R0000YQ0");
  l.port.makeRoom();
  EXPECT_EQ(l.port.line, "Q00R0000YQ00S0000Y");
  EXPECT_FALSE(l.line.notReading());
  EXPECT_EQ(l.line.send(PumpCommand::Run()), SendResult::Sent) << "straight out once drained";
}

TEST(PumpNotReading, AFullLineIsNeitherLostNorFloodedWithPolls) {
  Line l;
  l.port.room = 0;
  l.clock.advance(60 * 60 * 1000);  // an hour of polls into a full line
  EXPECT_TRUE(l.failures.empty());
  EXPECT_TRUE(l.line.connected());
  EXPECT_TRUE(l.port.isOpen());
  EXPECT_TRUE(l.line.notReading());
  EXPECT_EQ(l.notReadingTold, 1);

  l.port.makeRoom();
  EXPECT_EQ(l.port.line, "Q00F0000Y") << "one waiting poll asks all there is to ask";
  l.clock.advance(1500);
  EXPECT_EQ(l.port.line, "Q00F0000YQ00F0000Y");
}

TEST(PumpNotReading, PollsGiveWayToCommandsAndACommandIsRefusedRatherThanAnOldOneDropped) {
  Line l;
  l.port.room = 0;
  l.clock.advance(1500);  // a poll waits
  for (int ml = 1; ml <= 15; ++ml) ASSERT_EQ(l.setFlow(ml), SendResult::Queued) << ml;
  EXPECT_EQ(l.setFlow(16), SendResult::Queued) << "the waiting poll makes way";
  EXPECT_EQ(l.setFlow(17), SendResult::QueueFull);
  l.clock.advance(1500);  // a poll finds no room: dropped, no failure
  EXPECT_TRUE(l.failures.empty());

  l.port.makeRoom();
  std::string expected;
  for (int ml = 1; ml <= 16; ++ml) expected += PumpCommand::SetFlow(0, ml)->frame();
  EXPECT_EQ(l.port.line, expected);
}

TEST(PumpNotReading, AStopOnAFullQueueGoesAheadOfAllNotBegunAndDropsTheWaitingRunsAndFlows) {
  Line l;
  l.port.room = 4;
  l.setFlow(5);  // on the line in part
  l.line.send(PumpCommand::Run());
  l.line.send(*PumpCommand::SetPressureLimit(0, 3));
  l.line.send(PumpCommand::Stop());
  l.clock.advance(1500);  // a poll waits
  std::vector<std::string> stale{PumpCommand::Run().frame()};
  for (int ml = 10; ml <= 20; ++ml) {
    ASSERT_EQ(l.setFlow(ml), SendResult::Queued);
    stale.push_back(PumpCommand::SetFlow(0, ml)->frame());
  }
  EXPECT_EQ(l.line.send(PumpCommand::Stop()), SendResult::Queued) << "full, but a stop";
  EXPECT_EQ(l.stale, stale);
  EXPECT_TRUE(l.line.holdsUnsentStop());
  l.port.makeRoom();
  EXPECT_EQ(l.port.line, "Q00L0005YQ00S0000YQ00P03.0YQ00F0000Y")
      << "the torn flow finished, the stop, then the limit and the poll it keeps";
}

TEST(PumpNotReading, AStopIsTakenEvenWhenNothingWaitingIsStale) {
  Line l;
  l.port.room = 0;
  for (int i = 0; i < 16; ++i) l.line.send(*PumpCommand::SetPressureLimit(0, 1 + i / 10.0));
  ASSERT_EQ(l.line.send(*PumpCommand::SetPressureLimit(0, 9)), SendResult::QueueFull);
  EXPECT_EQ(l.line.send(PumpCommand::Stop()), SendResult::Queued);
  EXPECT_EQ(l.line.send(PumpCommand::Stop()), SendResult::Queued);
  EXPECT_TRUE(l.stale.empty());
  l.port.makeRoom();
  EXPECT_EQ(l.port.line.substr(0, 18), "Q00S0000YQ00P01.0Y");
  EXPECT_EQ(l.port.line.size(), 17U * 9) << "one stop, however often it was sent";
}

TEST(PumpNotReading, ItIsToldOncePerOpenLineHoweverOftenTheLineFillsAgain) {
  Line l;
  for (int episode = 0; episode < 3; ++episode) {
    l.port.room = 0;
    l.clock.advance(1500);
    l.port.makeRoom();
  }
  EXPECT_EQ(l.notReadingTold, 1);
  l.line.open("/dev/ttyUSB1");
  l.port.room = 0;
  l.clock.advance(1500);
  EXPECT_EQ(l.notReadingTold, 2);
  EXPECT_TRUE(WholeFramesOnly(l.port.line)) << l.port.line;
}

TEST(PumpNotReading, AClosedLineKeepsNoPartialFrameOnlyWhenThePumpWasNotReading) {
  Line l;
  l.line.send(PumpCommand::Run());
  l.line.close();
  EXPECT_EQ(l.port.discards, 0) << "a stop sent just before closing must still go";
  l.line.open("/dev/ttyUSB0");
  l.port.room = 4;
  l.line.send(PumpCommand::Run());
  l.line.close();
  EXPECT_EQ(l.port.discards, 1);
}

TEST(PumpNotReading, AStopStillWaitingWhenTheLineIsLostIsReportedUnsent) {
  Line l;
  l.port.room = 3;
  l.line.send(PumpCommand::Stop());
  l.port.loseLine("Input/output error");
  ASSERT_EQ(l.failures.size(), 1U);
  EXPECT_TRUE(l.failures[0].stopUnsent);
}

// The whole console on a line whose pump stops reading.
struct Console : testing::ConsoleHarness {
  Console() {
    openPort("/dev/ttyUSB0");
    serial.room = 0;
  }
  const std::string& status() const { return window->display.linkStatus.caption(); }
};

TEST(ConsoleWithAPumpNotReading, SaysSoOnceInABoxAndInTheStatusLineUntilTheLineDrains) {
  Console c;
  c.clock.advance(1500);
  ASSERT_EQ(c.messages().size(), 1U);
  EXPECT_EQ(c.messages()[0],
            "泵未读取通信端口 /dev/ttyUSB0 上的数据。\n待发送的命令已暂存，泵恢复读取后依次发出。"
            "\n请检查泵和串口线!");
  EXPECT_EQ(c.dialogs.messages()[0].title, "通信错误");
  EXPECT_EQ(c.status(), "● 泵未读取数据");
  c.window->pressRunKey();
  EXPECT_EQ(c.window->display.pumpState.caption(), "     RUN ") << "a waiting command counts";
  c.clock.advance(10 * 1500);
  EXPECT_EQ(c.messages().size(), 1U);
  EXPECT_TRUE(c.menusReleased()) << "the line is not given up";

  c.serial.makeRoom();
  EXPECT_EQ(c.serial.line, "Q00F0000YQ00R0000Y");
  EXPECT_EQ(c.status(), "● 无应答 16 秒") << "reading again, but not answering yet";
  c.serial.receive("Q00N00.0Y");
  EXPECT_EQ(c.status(), "● 通信正常  /dev/ttyUSB0");
}

TEST(ConsoleWithAPumpNotReading, ACommandFindingTheQueueFullIsRefusedButAStopGoesFirst) {
  Console c;
  for (int i = 0; i < 16; ++i) c.window->runPump();
  ASSERT_EQ(c.messages().size(), 1U) << "the not-reading box";
  c.window->runPump();
  ASSERT_EQ(c.messages().size(), 2U);
  EXPECT_EQ(c.messages()[1], "泵未读取数据，待发送的命令已满，本命令未发送!");
  EXPECT_EQ(c.session->run().refusal, "泵未读取数据，待发送的命令已满，本命令未发送!");

  c.events.clear();
  EXPECT_TRUE(c.session->stop().ok());
  const auto commands = c.eventDetails(EventKind::Command);
  ASSERT_EQ(commands.size(), 17U);
  EXPECT_EQ(commands[0], "dropped Q00R0000Y stale after stop");
  EXPECT_EQ(commands[15], commands[0]);
  EXPECT_EQ(commands[16], "Q00S0000Y");
  EXPECT_EQ(c.messages().size(), 2U) << "a stop taken needs no box";
  c.serial.makeRoom();
  EXPECT_EQ(c.serial.line, "Q00S0000Y");
}

TEST(ConsoleWithAPumpNotReading, AWaitingStopGoesFirstOnTheNextPortOpened) {
  Console c;
  c.window->stopPump();
  c.serial.room.reset();
  c.openPort("/dev/ttyUSB1");
  EXPECT_EQ(c.serial.line, "Q00S0000Y");
}

}  // namespace
}  // namespace pump

namespace pump {
namespace {

TEST(ConsoleWithAPumpNotReading, ATimedRunAskedFromAfarWhoseRunFindsTheQueueFullIsRefused) {
  Console c;
  for (int i = 0; i < 16; ++i) c.window->runPump();
  const session::CommandResult result = c.session->timedRun(5);
  EXPECT_FALSE(result.ok()) << "no run went out, so none was started";
  EXPECT_EQ(result.reason, "pump not reading, command queue full");
  EXPECT_FALSE(c.session->runInProgress());
  EXPECT_TRUE(c.eventDetails(EventKind::Run).empty());
}

}  // namespace
}  // namespace pump
