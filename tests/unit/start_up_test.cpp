#include <gtest/gtest.h>

#include "tests/support/console_harness.h"

namespace pump {
namespace {

using testing::ConsoleHarness;

TEST(StartUp, LocksTheFiveMenusAndLeavesCommunicationAndHelpUsable) {
  ConsoleHarness f;
  auto& w = *f.window;
  EXPECT_FALSE(w.menus.file.enabled());
  EXPECT_FALSE(w.menus.timedRun.enabled());
  EXPECT_FALSE(w.menus.pump.enabled());
  EXPECT_FALSE(w.menus.popup.enabled());
  EXPECT_FALSE(w.menus.setpoints.enabled());
  EXPECT_TRUE(w.menus.communication.enabled());
  EXPECT_TRUE(w.menus.help.enabled());
}

TEST(StartUp, ShowsDesignCaptionsAndHidesTheRunClock) {
  ConsoleHarness f;
  auto& w = *f.window;
  EXPECT_EQ(w.display.currentPressure.caption(), "00.0");
  EXPECT_EQ(w.display.pressureLimit.caption(), "02.0");
  EXPECT_EQ(w.display.flowSetpoint.caption(), "000");
  EXPECT_EQ(w.display.entryMode.caption(), "");
  EXPECT_EQ(w.display.pumpState.caption(), "     STOP");
  for (const Label* clock : {&w.display.hours, &w.display.minutes, &w.display.seconds,
                             &w.display.hourUnit, &w.display.minuteUnit, &w.display.secondUnit}) {
    EXPECT_FALSE(clock->visible());
  }
  EXPECT_EQ(w.display.hours.caption(), "00");
  EXPECT_EQ(w.display.hourUnit.caption(), "时");
  EXPECT_TRUE(w.display.currentPressure.visible());
}

TEST(StartUp, SetsTimersStoppedAndOpensNothing) {
  ConsoleHarness f;
  EXPECT_EQ(f.runClockTimer.interval(), 1000);
  EXPECT_FALSE(f.runClockTimer.enabled());
  EXPECT_EQ(f.pollTimer.interval(), 1500);
  EXPECT_FALSE(f.pollTimer.enabled());
  EXPECT_EQ(f.serial.openCount, 0);
  EXPECT_TRUE(f.serial.written.empty());
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_TRUE(f.events.empty());
}

TEST(StartUp, SetsTheChartScaleZeroToHundredByTenToMinusFour) {
  ConsoleHarness f;
  EXPECT_EQ(f.canvas.scaleCalls, 1);
  EXPECT_EQ(f.canvas.scale, (std::array<float, 4>{0, 10, 100, -4}));
  EXPECT_EQ(f.window->chart().sampleAt(0), 0.0);
  EXPECT_EQ(f.window->chart().position(), 0);
}

TEST(PopUp, OpensOnlyForTheRightButtonOnceTheMenuIsReleased) {
  ConsoleHarness f;
  f.window->mouseDown(2);
  EXPECT_EQ(f.popup.shown, 0) << "the pop-up is locked before the port is open";
  f.window->menus.popup.setEnabled(true);
  f.window->mouseDown(1);
  f.window->mouseDown(4);
  EXPECT_EQ(f.popup.shown, 0);
  f.window->mouseDown(2);
  EXPECT_EQ(f.popup.shown, 1);
}

TEST(ExitCommand, EndsTheProgramWithoutClosingThePort) {
  ConsoleHarness f;
  f.window->exitProgram();
  EXPECT_EQ(f.app.ends, 1);
  EXPECT_EQ(f.serial.closeCount, 0);
}

TEST(HelpCommand, DoesNothing) {
  ConsoleHarness f;
  f.window->showHelp();
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_EQ(f.app.ends, 0);
}

}  // namespace
}  // namespace pump
