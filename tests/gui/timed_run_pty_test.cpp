// A short timed run on a real line: the Qt serial port and timers, the pump
// played by the test on the master side of a pseudo-terminal.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <memory>

#include "tests/gui/console_on_qt.h"
#include "tests/support/pty_pair.h"

namespace pump {
namespace {

using testing::ConsoleOnQt;
using testing::PtyPair;

TEST(TimedRunOnPseudoTerminal, ThreeSecondRunSendsRunThenStopsOnTime) {
  PtyPair pump;
  ASSERT_TRUE(pump.ok());
  ConsoleOnQt console;
  auto& w = *console.window;
  console.open(pump.slavePath());
  ASSERT_TRUE(testing::MenusReleased(w));

  console.dialogs.answers.push_back("0.05");  // minutes: three seconds
  w.askRunLength();

  QElapsedTimer sinceStart;
  sinceStart.start();
  w.startTimedRun();
  EXPECT_EQ(pump.nextCommand(1000), "Q00R0000Y");
  EXPECT_LT(sinceStart.elapsed(), 500);
  EXPECT_TRUE(w.display.hours.visible() && w.display.minutes.visible() &&
              w.display.seconds.visible());

  EXPECT_EQ(pump.nextCommand(5000), "Q00S0000Y");
  const qint64 stoppedAfter = sinceStart.elapsed();
  EXPECT_GE(stoppedAfter, 2900);
  EXPECT_LE(stoppedAfter, 3700);
  EXPECT_EQ(w.display.hours.caption(), "0");
  EXPECT_EQ(w.display.minutes.caption(), "0");
  EXPECT_EQ(w.display.seconds.caption(), "3");
  EXPECT_TRUE(w.display.seconds.visible()) << "the final time stays on show";
  EXPECT_FALSE(console.qtRunClockTimer.enabled());

  // Nothing more but polls: the finished run stays stopped.
  EXPECT_EQ(pump.nextCommand(1500), "");
  EXPECT_TRUE(console.dialogs.messages().empty());
}

}  // namespace
}  // namespace pump
