#include <gtest/gtest.h>

#include "tests/support/sim_form1_fixture.h"

namespace pump {
namespace {

using testing::SimForm1Fixture;

// The window's own handlers drive the port; here the port is driven the way
// the open step does, to check the wiring between window, switch and pump.
TEST(SimulatedConsole, TheWindowsPortReachesTheSimulatedPumpAndItsCloseEndsTheLine) {
  SimForm1Fixture f;
  f.serial.setCommPort("sim");
  ASSERT_FALSE(f.serial.open().has_value());
  f.serial.setSettings("9600,n,8,1");
  f.serial.setInputLen(0);
  f.serial.setRThreshold(9);
  f.serial.output("Q00R0000Y");
  f.clock.advance(100);
  EXPECT_TRUE(f.simulated.pump().running());
  EXPECT_FALSE(f.device.isOpen());
  EXPECT_TRUE(f.device.written.empty());

  f.form->Form_Unload();
  EXPECT_FALSE(f.simulated.isOpen());
  EXPECT_FALSE(f.serial.output("Q00S0000Y"));
  f.clock.advance(1000);
  EXPECT_TRUE(f.simulated.pump().running());
}

}  // namespace
}  // namespace pump
