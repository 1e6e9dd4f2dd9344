// The console against pump-sim over a real pseudo-terminal: the simulated pump
// answers polls and setpoints and trips at its pressure limit, as a pump does.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/number_text.h"
#include "tests/gui/console_on_qt.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_sim_process.h"

namespace pump {
namespace {

using testing::ConsoleOnQt;
using testing::WaitUntil;

TEST(ConsoleAgainstSimulatedPump, PollsSetpointsRunAndTheOverPressureTripShowOnTheConsole) {
  testing::PumpSimProcess pump;
  ASSERT_FALSE(pump.devicePath().empty());
  ConsoleOnQt console;
  auto& w = *console.window;
  console.open(pump.devicePath());
  ASSERT_TRUE(testing::MenusReleased(w));

  // The first poll's answer: a pump at rest.
  ASSERT_TRUE(WaitUntil([&] { return w.chart().position() >= 1; }, 3000));
  EXPECT_EQ(w.display.currentPressure.caption(), "00.0");

  // A flow setpoint comes back in the flow display, the limit in the pressure display.
  console.dialogs.answers = {"150"};
  w.askFlow();
  ASSERT_TRUE(WaitUntil([&] { return w.display.flowSetpoint.caption() == "0150"; }, 2000));
  console.dialogs.answers = {"1.5"};
  w.askPressureLimit();
  ASSERT_TRUE(WaitUntil([&] { return w.display.pressureLimit.caption() == "01.5"; }, 2000));

  // Running, pressure climbs toward 3 MPa until the 1.5 MPa limit stops the
  // pump; from then on the polled pressure falls.
  w.runPump();
  double highest = 0;
  double last = 0;
  const bool fellAfterTrip = WaitUntil(
      [&] {
        last = ToDouble(w.display.currentPressure.caption()).value_or(0);
        highest = std::max(highest, last);
        return highest >= 1.0 && last < highest - 0.2;
      },
      20000);
  EXPECT_TRUE(fellAfterTrip) << "highest " << highest << ", last " << last;
  EXPECT_LE(highest, 1.6) << "the pump stopped itself at its limit";
  EXPECT_TRUE(console.dialogs.messages().empty());

  // The chart took every reply: its samples hold the climb.
  double charted = 0;
  for (int i = 0; i < 100; ++i) charted = std::max(charted, w.chart().sampleAt(i));
  EXPECT_DOUBLE_EQ(charted, highest);
}

}  // namespace
}  // namespace pump
