#include "sim/sim_serial_port.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/doubles.h"

namespace pump::sim {
namespace {

using pump::testing::ManualTimer;
using pump::testing::ScriptedClock;

// A port opened the way the console opens its line, with a handler that reads
// everything waiting at each receive event, as the reply handler does.
struct OpenSimLine {
  ScriptedClock clock;
  SimSerialPort port{std::make_unique<ManualTimer>(clock)};
  std::vector<std::string> reads;
  std::vector<CommEvent> events;

  explicit OpenSimLine(int threshold = 9) {
    port.setOnComm([this] {
      events.push_back(port.commEvent());
      if (port.commEvent() == CommEvent::Receive) reads.push_back(port.input());
    });
    port.setCommPort("sim");
    EXPECT_FALSE(port.open().has_value());
    EXPECT_TRUE(port.setSettings("9600,n,8,1"));
    port.setInputLen(0);
    port.setRThreshold(threshold);
  }
};

TEST(SimSerialPort, APollIsAnsweredThroughOneReceiveEventAfterTheLineTime) {
  OpenSimLine line;
  ASSERT_TRUE(line.port.output("Q00F0000Y"));
  // 10 ms out, 20 ms turnaround, 10 ms back.
  line.clock.advance(39);
  EXPECT_TRUE(line.reads.empty());
  line.clock.advance(1);
  EXPECT_EQ(line.reads, std::vector<std::string>{"Q00N00.0Y"});
  EXPECT_EQ(line.events, std::vector<CommEvent>{CommEvent::Receive});
  EXPECT_EQ(line.port.commEvent(), CommEvent::None);
}

TEST(SimSerialPort, TheConsoleCanSetFlowAndLimitRunThePumpAndWatchThePressureRise) {
  OpenSimLine line;
  for (const char* frame : {"Q00L0200Y", "Q00P05.0Y", "Q00R0000Y"}) {
    line.port.output(frame);
    line.clock.advance(100);
  }
  EXPECT_EQ(line.reads, (std::vector<std::string>{"Q00L0200Y", "Q00P05.0Y", "Q00R0000Y"}));
  EXPECT_TRUE(line.port.pump().running());
  line.clock.advance(20000);
  line.port.output("Q00F0000Y");
  line.clock.advance(100);
  ASSERT_EQ(line.reads.size(), 4u);
  EXPECT_NEAR(std::stod(line.reads.back().substr(4, 4)), 4.0, 0.11);
}

TEST(SimSerialPort, BelowTheThresholdBytesWaitAndTheNextEventTakesThemAll) {
  OpenSimLine line(18);
  line.port.output("Q00F0000Y");
  line.clock.advance(100);
  EXPECT_TRUE(line.events.empty());
  line.port.output("Q00S0000Y");
  line.clock.advance(100);
  EXPECT_EQ(line.reads, std::vector<std::string>{"Q00N00.0YQ00S0000Y"});
}

TEST(SimSerialPort, WithoutAThresholdNoEventIsRaisedAndInputStillReturnsTheBytes) {
  OpenSimLine line(0);
  line.port.output("Q00F0000Y");
  line.clock.advance(100);
  EXPECT_TRUE(line.events.empty());
  EXPECT_EQ(line.port.input(), "Q00N00.0Y");
  EXPECT_EQ(line.port.input(), "");
}

TEST(SimSerialPort, AnInputLengthLimitsOneRead) {
  OpenSimLine line(0);
  line.port.setInputLen(4);
  line.port.output("Q00F0000Y");
  line.clock.advance(100);
  EXPECT_EQ(line.port.input(), "Q00N");
  line.port.setInputLen(0);
  EXPECT_EQ(line.port.input(), "00.0Y");
}

TEST(SimSerialPort, RepliesInFlightAreLostOnCloseAndNothingIsSentWhileClosed) {
  OpenSimLine line;
  line.port.output("Q00R0000Y");
  line.clock.advance(15);  // the pump has it, the echo is not back yet
  line.port.close();
  EXPECT_FALSE(line.port.isOpen());
  EXPECT_FALSE(line.port.output("Q00F0000Y"));
  line.clock.advance(1000);
  EXPECT_TRUE(line.events.empty());

  // The pump kept running; a reopened line sees it.
  EXPECT_FALSE(line.port.open().has_value());
  EXPECT_TRUE(line.port.pump().running());
  line.port.output("Q00S0000Y");
  line.clock.advance(100);
  EXPECT_EQ(line.reads, std::vector<std::string>{"Q00S0000Y"});
}

TEST(SimSerialPort, ALineSetToAnotherSpeedReachesNoPump) {
  OpenSimLine line;
  EXPECT_TRUE(line.port.setSettings("4800,n,8,1"));
  line.port.output("Q00R0000Y");
  line.clock.advance(200);
  EXPECT_TRUE(line.reads.empty());
  EXPECT_FALSE(line.port.pump().running());
  EXPECT_FALSE(line.port.setSettings("fast"));
  EXPECT_TRUE(line.port.setSettings("9600,N,8,1"));
  line.port.output("Q00R0000Y");
  line.clock.advance(200);
  EXPECT_TRUE(line.port.pump().running());
}

TEST(SimSerialPort, AHandlerThatClosesThePortEndsTheEvents) {
  OpenSimLine line;
  line.port.setOnComm([&] {
    line.events.push_back(line.port.commEvent());
    line.port.close();
  });
  line.port.output("Q00F0000Y");
  line.port.output("Q00F0000Y");
  line.clock.advance(500);
  EXPECT_EQ(line.events.size(), 1u);
}

TEST(SimSerialPort, AnswersOnlyTheConfiguredAddress) {
  ScriptedClock clock;
  SimSerialPort port(std::make_unique<ManualTimer>(clock), {.address = 3});
  port.open();
  port.output("Q00F0000Y");
  port.output("Q03F0000Y");
  clock.advance(200);
  EXPECT_EQ(port.input(), "Q03N00.0Y");
}

}  // namespace
}  // namespace pump::sim
