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

// A port opened the way the console opens its line, recording the bytes of
// each delivery.
struct OpenSimLine {
  ScriptedClock clock;
  SimSerialPort port{std::make_unique<ManualTimer>(clock)};
  std::vector<std::string> reads;

  OpenSimLine() {
    port.setOnBytes([this](std::string_view bytes) { reads.emplace_back(bytes); });
    EXPECT_FALSE(port.open("sim", {}).has_value());
  }
};

TEST(SimSerialPort, APollIsAnsweredInOneDeliveryAfterTheLineTime) {
  OpenSimLine line;
  ASSERT_TRUE(line.port.write("Q00F0000Y"));
  // 10 ms out, 20 ms turnaround, 10 ms back.
  line.clock.advance(39);
  EXPECT_TRUE(line.reads.empty());
  line.clock.advance(1);
  EXPECT_EQ(line.reads, std::vector<std::string>{"Q00N00.0Y"});
}

TEST(SimSerialPort, TheConsoleCanSetFlowAndLimitRunThePumpAndWatchThePressureRise) {
  OpenSimLine line;
  for (const char* frame : {"Q00L0200Y", "Q00P05.0Y", "Q00R0000Y"}) {
    line.port.write(frame);
    line.clock.advance(100);
  }
  EXPECT_EQ(line.reads, (std::vector<std::string>{"Q00L0200Y", "Q00P05.0Y", "Q00R0000Y"}));
  EXPECT_TRUE(line.port.pump().running());
  line.clock.advance(20000);
  line.port.write("Q00F0000Y");
  line.clock.advance(100);
  ASSERT_EQ(line.reads.size(), 4u);
  EXPECT_NEAR(std::stod(line.reads.back().substr(4, 4)), 4.0, 0.11);
}

TEST(SimSerialPort, RepliesInFlightAreLostOnCloseAndNothingIsSentWhileClosed) {
  OpenSimLine line;
  line.port.write("Q00R0000Y");
  line.clock.advance(15);  // the pump has it, the echo is not back yet
  line.port.close();
  EXPECT_FALSE(line.port.isOpen());
  EXPECT_FALSE(line.port.write("Q00F0000Y"));
  line.clock.advance(1000);
  EXPECT_TRUE(line.reads.empty());

  // The pump kept running; a reopened line sees it.
  EXPECT_FALSE(line.port.open("sim", {}).has_value());
  EXPECT_TRUE(line.port.pump().running());
  line.port.write("Q00S0000Y");
  line.clock.advance(100);
  EXPECT_EQ(line.reads, std::vector<std::string>{"Q00S0000Y"});
}

TEST(SimSerialPort, ALineOpenedAtAnotherSpeedReachesNoPump) {
  OpenSimLine line;
  EXPECT_FALSE(line.port.open("sim", {.baud = 4800}).has_value());
  line.port.write("Q00R0000Y");
  line.clock.advance(200);
  EXPECT_TRUE(line.reads.empty());
  EXPECT_FALSE(line.port.pump().running());
  EXPECT_FALSE(line.port.open("sim", {}).has_value());
  line.port.write("Q00R0000Y");
  line.clock.advance(200);
  EXPECT_TRUE(line.port.pump().running());
}

TEST(SimSerialPort, AHandlerThatClosesThePortEndsTheDeliveries) {
  OpenSimLine line;
  int deliveries = 0;
  line.port.setOnBytes([&](std::string_view) {
    ++deliveries;
    line.port.close();
  });
  line.port.write("Q00F0000Y");
  line.port.write("Q00F0000Y");
  line.clock.advance(500);
  EXPECT_EQ(deliveries, 1);
}

TEST(SimSerialPort, AnswersOnlyTheConfiguredAddress) {
  ScriptedClock clock;
  SimSerialPort port(std::make_unique<ManualTimer>(clock), {.address = 3});
  std::string read;
  port.setOnBytes([&](std::string_view bytes) { read += bytes; });
  port.open("sim", {});
  port.write("Q00F0000Y");
  port.write("Q03F0000Y");
  clock.advance(200);
  EXPECT_EQ(read, "Q03N00.0Y");
}

}  // namespace
}  // namespace pump::sim

namespace pump::sim {
namespace {

// Counts how often the port looks at its line.
class CountingTimer : public pump::testing::ManualTimer {
 public:
  CountingTimer(pump::testing::ScriptedClock& clock, int& looks)
      : ManualTimer(clock), looks_(looks) {}
  void setOnTick(std::function<void()> onTick) override {
    ManualTimer::setOnTick([this, onTick = std::move(onTick)] {
      ++looks_;
      if (onTick) onTick();
    });
  }

 private:
  int& looks_;
};

TEST(SimSerialPort, ALineAtRestIsLookedAtFourTimesASecondYetAPollIsAnsweredAsSoon) {
  pump::testing::ScriptedClock clock;
  int looks = 0;
  SimSerialPort port{std::make_unique<CountingTimer>(clock, looks)};
  std::vector<std::string> reads;
  port.setOnBytes([&](std::string_view bytes) { reads.emplace_back(bytes); });
  ASSERT_FALSE(port.open("sim", {}).has_value());
  clock.advance(250);  // settles into its slow look
  looks = 0;
  clock.advance(10'000);
  EXPECT_LE(looks, 41) << "not a hundred looks a second";
  clock.advance(130);  // a write halfway through a slow look
  ASSERT_TRUE(port.write("Q00F0000Y"));
  EXPECT_EQ(port.pump().now(), clock.now()) << "the pump's time is not behind the line's";
  clock.advance(39);
  EXPECT_TRUE(reads.empty());
  clock.advance(11);
  EXPECT_EQ(reads, std::vector<std::string>{"Q00N00.0Y"}) << "answered as from a busy line";
}

}  // namespace
}  // namespace pump::sim
