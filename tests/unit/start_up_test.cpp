#include <gtest/gtest.h>

#include "tests/support/form1_fixture.h"

namespace pump {
namespace {

using testing::Form1Fixture;

TEST(StartUp, LocksTheFiveMenusAndLeavesCommunicationAndHelpUsable) {
  Form1Fixture f;
  auto& w = *f.form;
  EXPECT_FALSE(w.file.enabled());
  EXPECT_FALSE(w.settime.enabled());
  EXPECT_FALSE(w.Pump.enabled());
  EXPECT_FALSE(w.rightkey.enabled());
  EXPECT_FALSE(w.seting.enabled());
  EXPECT_TRUE(w.Communication.enabled());
  EXPECT_TRUE(w.help.enabled());
}

TEST(StartUp, ShowsDesignCaptionsAndHidesTheRunClock) {
  Form1Fixture f;
  auto& w = *f.form;
  EXPECT_EQ(w.LcurrP.caption(), "00.0");
  EXPECT_EQ(w.LsetP.caption(), "02.0");
  EXPECT_EQ(w.LsetF.caption(), "000");
  EXPECT_EQ(w.LSetState.caption(), "");
  EXPECT_EQ(w.Lstate.caption(), "     STOP");
  for (const Label* clock : {&w.lhour, &w.lmin, &w.lsed, &w.Label1, &w.Label2, &w.Label3}) {
    EXPECT_FALSE(clock->visible());
  }
  EXPECT_EQ(w.lhour.caption(), "00");
  EXPECT_EQ(w.Label1.caption(), "时");
  EXPECT_TRUE(w.LcurrP.visible());
}

TEST(StartUp, SetsTimersStoppedAndOpensNothing) {
  Form1Fixture f;
  EXPECT_EQ(f.timer1.interval(), 1000);
  EXPECT_FALSE(f.timer1.enabled());
  EXPECT_EQ(f.timer2.interval(), 1500);
  EXPECT_FALSE(f.timer2.enabled());
  EXPECT_EQ(f.serial.openCount, 0);
  EXPECT_TRUE(f.serial.written.empty());
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_EQ(f.form->lq, 0);
  EXPECT_EQ(f.form->pr, 0);
  EXPECT_EQ(f.form->Set_Pump_NO, 0);
}

TEST(StartUp, SetsTheChartScaleZeroToHundredByTenToMinusFour) {
  Form1Fixture f;
  EXPECT_EQ(f.canvas.scaleCalls, 1);
  EXPECT_EQ(f.canvas.scale, (std::array<float, 4>{0, 10, 100, -4}));
  EXPECT_EQ(f.form->chart().prcurve(0), 0.0);
  EXPECT_EQ(f.form->chart().itime(), 0);
}

TEST(PopUp, OpensOnlyForTheRightButtonOnceTheMenuIsReleased) {
  Form1Fixture f;
  f.form->Form_MouseDown(2, 0, 10, 10);
  EXPECT_EQ(f.popup.shown, 0) << "rightkey is locked before the port is open";
  f.form->rightkey.setEnabled(true);
  f.form->Form_MouseDown(1, 0, 10, 10);
  f.form->Form_MouseDown(4, 0, 10, 10);
  EXPECT_EQ(f.popup.shown, 0);
  f.form->Form_MouseDown(2, 1, 10, 10);
  EXPECT_EQ(f.popup.shown, 1);
}

TEST(ExitCommand, EndsTheProgramWithoutClosingThePort) {
  Form1Fixture f;
  f.form->end_Click();
  EXPECT_EQ(f.app.ends, 1);
  EXPECT_EQ(f.serial.closeCount, 0);
}

TEST(HelpCommand, DoesNothing) {
  Form1Fixture f;
  f.form->help_Click();
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_EQ(f.app.ends, 0);
}

}  // namespace
}  // namespace pump
