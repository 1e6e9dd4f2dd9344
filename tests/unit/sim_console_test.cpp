#include <gtest/gtest.h>

#include "tests/support/sim_console_harness.h"

namespace pump {
namespace {

using testing::SimConsoleHarness;

TEST(SimulatedConsole, ThePortBoxReachesTheSimulatedPumpAndClosingTheWindowEndsTheLine) {
  SimConsoleHarness f;
  f.openPort("sim");
  f.window->pressRunKey();
  f.clock.advance(100);
  EXPECT_TRUE(f.simulated.pump().running());
  EXPECT_FALSE(f.device.isOpen());
  EXPECT_TRUE(f.device.written.empty());
  f.clock.advance(1600);
  EXPECT_EQ(f.window->display.currentPressure.caption().size(), 4U);

  f.window->closeWindow();
  EXPECT_FALSE(f.simulated.isOpen());
  EXPECT_FALSE(f.line.write("Q00S0000Y"));
  f.clock.advance(1000);
  EXPECT_TRUE(f.simulated.pump().running());
}

}  // namespace
}  // namespace pump
