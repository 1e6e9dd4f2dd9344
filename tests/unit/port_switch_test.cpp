#include "sim/port_switch.h"

#include <gtest/gtest.h>

#include <memory>

#include "sim/sim_serial_port.h"
#include "tests/support/doubles.h"

namespace pump::sim {
namespace {

using pump::testing::RecordingSerialPort;

struct Ports {
  RecordingSerialPort device;
  RecordingSerialPort simulated;
  SwitchingSerialPort port{device, simulated};
};

TEST(SwitchingSerialPort, TheNameSimOpensTheSimulationAndAnyOtherNameTheDevice) {
  Ports p;
  p.port.setCommPort("sim");
  EXPECT_TRUE(p.port.simulatedSelected());
  p.port.open();
  p.port.output("Q00F0000Y");
  EXPECT_EQ(p.simulated.openCount, 1);
  EXPECT_EQ(p.simulated.written, std::vector<std::string>{"Q00F0000Y"});
  EXPECT_EQ(p.device.openCount, 0);
  EXPECT_EQ(p.port.commPort(), "sim");

  Ports q;
  q.port.setCommPort("/dev/ttyS0");
  EXPECT_FALSE(q.port.simulatedSelected());
  q.port.open();
  EXPECT_TRUE(q.port.setSettings("9600,n,8,1"));
  EXPECT_EQ(q.device.openCount, 1);
  EXPECT_EQ(q.device.settings, "9600,n,8,1");
  EXPECT_EQ(q.simulated.openCount, 0);
}

TEST(SwitchingSerialPort, ChoosingTheOtherPortWhileOneIsOpenClosesTheOpenOne) {
  Ports p;
  p.port.setCommPort("/dev/ttyS0");
  p.port.open();
  p.port.setCommPort("sim");
  EXPECT_FALSE(p.device.isOpen());
  EXPECT_EQ(p.device.closeCount, 1);
  EXPECT_FALSE(p.port.isOpen());
  p.port.open();
  EXPECT_TRUE(p.simulated.isOpen());

  // Renaming within the same side leaves its port alone.
  p.port.setCommPort("sim");
  EXPECT_TRUE(p.simulated.isOpen());
}

TEST(SwitchingSerialPort, EventsOfEitherPortReachTheOneHandlerWithTheirOwnBytes) {
  Ports p;
  std::vector<std::string> reads;
  p.port.setOnComm([&] {
    if (p.port.commEvent() == CommEvent::Receive) reads.push_back(p.port.input());
  });
  p.port.setRThreshold(9);
  p.port.setInputLen(0);
  EXPECT_EQ(p.device.rThreshold, 9);
  EXPECT_EQ(p.simulated.rThreshold, 9);

  p.port.setCommPort("sim");
  p.port.open();
  p.simulated.receive("Q00N01.5Y");
  p.port.setCommPort("/dev/ttyS1");
  p.port.open();
  p.device.receive("Q00L0150Y");
  EXPECT_EQ(reads, (std::vector<std::string>{"Q00N01.5Y", "Q00L0150Y"}));
}

TEST(SwitchingSerialPort, WrapsTheBuiltInSimulatedPump) {
  pump::testing::ScriptedClock clock;
  RecordingSerialPort device;
  SimSerialPort simulated(std::make_unique<pump::testing::ManualTimer>(clock));
  SwitchingSerialPort port(device, simulated);
  std::string read;
  port.setOnComm([&] { read += port.input(); });
  port.setCommPort("sim");
  ASSERT_FALSE(port.open().has_value());
  port.setRThreshold(9);
  port.output("Q00F0000Y");
  clock.advance(100);
  EXPECT_EQ(read, "Q00N00.0Y");
  EXPECT_TRUE(device.written.empty());
}

}  // namespace
}  // namespace pump::sim
