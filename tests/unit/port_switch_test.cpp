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
  ASSERT_FALSE(p.port.open("sim", {}));
  EXPECT_TRUE(p.port.simulatedSelected());
  p.port.write("Q00F0000Y");
  EXPECT_EQ(p.simulated.opened, std::vector<std::string>{"sim"});
  EXPECT_EQ(p.simulated.written, std::vector<std::string>{"Q00F0000Y"});
  EXPECT_EQ(p.device.openCount, 0);
  EXPECT_EQ(p.port.device(), "sim");

  Ports q;
  const LineSettings settings{.baud = 19200};
  ASSERT_FALSE(q.port.open("/dev/ttyS0", settings));
  EXPECT_FALSE(q.port.simulatedSelected());
  EXPECT_EQ(q.device.opened, std::vector<std::string>{"/dev/ttyS0"});
  EXPECT_EQ(q.device.settings, settings);
  EXPECT_EQ(q.simulated.openCount, 0);
}

TEST(SwitchingSerialPort, OpeningTheOtherPortWhileOneIsOpenClosesTheOpenOne) {
  Ports p;
  p.port.open("/dev/ttyS0", {});
  p.port.open("sim", {});
  EXPECT_FALSE(p.device.isOpen());
  EXPECT_EQ(p.device.closeCount, 1);
  EXPECT_TRUE(p.simulated.isOpen());
  EXPECT_TRUE(p.port.isOpen());
}

TEST(SwitchingSerialPort, BytesAndLossesOfEitherPortReachTheOneHandler) {
  Ports p;
  std::vector<std::string> reads;
  std::vector<std::string> losses;
  p.port.setOnBytes([&](std::string_view bytes) { reads.emplace_back(bytes); });
  p.port.setOnLineLost([&](const std::string& why) { losses.push_back(why); });
  p.port.open("sim", {});
  p.simulated.receive("Q00N01.5Y");
  p.port.open("/dev/ttyS1", {});
  p.device.receive("Q00L0150Y");
  p.device.loseLine("gone");
  EXPECT_EQ(reads, (std::vector<std::string>{"Q00N01.5Y", "Q00L0150Y"}));
  EXPECT_EQ(losses, std::vector<std::string>{"gone"});
}

TEST(SwitchingSerialPort, WrapsTheBuiltInSimulatedPump) {
  pump::testing::ScriptedClock clock;
  RecordingSerialPort device;
  SimSerialPort simulated(std::make_unique<pump::testing::ManualTimer>(clock));
  SwitchingSerialPort port(device, simulated);
  std::string read;
  port.setOnBytes([&](std::string_view bytes) { read += bytes; });
  ASSERT_FALSE(port.open("sim", {}).has_value());
  port.write("Q00F0000Y");
  clock.advance(100);
  EXPECT_EQ(read, "Q00N00.0Y");
  EXPECT_TRUE(device.written.empty());
}

}  // namespace
}  // namespace pump::sim
