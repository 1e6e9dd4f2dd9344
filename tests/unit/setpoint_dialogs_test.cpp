#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "tests/support/form1_fixture.h"
#include "tests/support/param_names.h"

namespace pump {
namespace {

using testing::Form1Fixture;

struct OpenLine : Form1Fixture {
  OpenLine() {
    connect();
    dialogs.shown.clear();  // only the boxes of the test itself count
  }
};

TEST(SetpointDialogs, AskWithTheirOwnPromptsTitlesAndDefaults) {
  OpenLine f;
  auto& w = *f.form;
  w.liquid_Click();
  w.pressure_Click();
  w.Pump_NO_Click();
  ASSERT_EQ(f.dialogs.shown.size(), 3u);
  const auto& flow = f.dialogs.shown[0];
  EXPECT_EQ(flow.prompt,
            "请输入您需要的流量 单位 ml/min \r\n流量范围为1\xE2\x80\x94"
            "200ml/min");
  EXPECT_EQ(flow.title, "流量设定");
  EXPECT_EQ(flow.defaultAnswer, 0);
  const auto& pressure = f.dialogs.shown[1];
  EXPECT_EQ(pressure.prompt,
            "请输入您需要保护压 单位 MPa\r\n压力设定范围为0\xE2\x80\x94"
            "5.0MPa");
  EXPECT_EQ(pressure.title, "压力设定");
  EXPECT_EQ(pressure.defaultAnswer, 2);
  const auto& number = f.dialogs.shown[2];
  EXPECT_EQ(number.prompt, "请输入要控制泵的编号 ");
  EXPECT_EQ(number.title, "编号设定");
  EXPECT_EQ(number.defaultAnswer, 0);
}

struct DialogAnswer {
  PUMP_PRINT_ROW_NAME(DialogAnswer)
  const char* name;
  const char* answer;  // "" is Cancel
  std::optional<std::string> sent;
  std::optional<std::string> refusal;  // title is always "错误"
  std::optional<double> stored;        // setliq / setpresure afterwards; nothing = unchanged
};

constexpr double kEarlier = 123.25;  // what the variable held before the dialog

void ExpectDialogOutcome(Form1Fixture& f, const DialogAnswer& row, double stored) {
  if (row.sent) {
    EXPECT_EQ(f.serial.written, std::vector<std::string>{*row.sent});
  } else {
    EXPECT_TRUE(f.serial.written.empty());
  }
  const auto messages = f.dialogs.messages();
  if (row.refusal) {
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, *row.refusal);
    EXPECT_EQ(messages[0].title, "错误");
  } else {
    EXPECT_TRUE(messages.empty());
  }
  EXPECT_EQ(stored, row.stored.value_or(kEarlier));
}

class FlowDialog : public ::testing::TestWithParam<DialogAnswer> {};

TEST_P(FlowDialog, SendsRefusesOrEndsSilently) {
  OpenLine f;
  auto& w = *f.form;
  w.Set_Pump_NO = 7;  // dialogs always address pump 00
  w.setliq = kEarlier;
  f.dialogs.answers.push_back(GetParam().answer);
  w.liquid_Click();
  ExpectDialogOutcome(f, GetParam(), w.setliq);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FlowDialog,
    ::testing::Values(DialogAnswer{"Flow150", "150", "Q00L0150Y", {}, 150},
                      DialogAnswer{"Limit200", "200", "Q00L0200Y", {}, 200},
                      DialogAnswer{"Zero", "0", "Q00L0000Y", {}, 0},
                      DialogAnswer{"FractionRoundsInTheField", "49.5", "Q00L0050Y", {}, 49.5},
                      DialogAnswer{
                          "JustAboveTheLimitIsRefused", "200.4", {}, "流量设定错误!", 200.4},
                      DialogAnswer{"AboveTheLimit", "201", {}, "流量设定错误!", 201},
                      DialogAnswer{"NegativeIsRefused", "-1", {}, "流量设定错误!", -1},
                      DialogAnswer{"FullWidthDigits", "１５０", "Q00L0150Y", {}, 150},
                      DialogAnswer{"FullWidthMinusIsRefused", "－５", {}, "流量设定错误!", -5},
                      DialogAnswer{"BlanksAround", " 80\u3000", "Q00L0080Y", {}, 80},
                      DialogAnswer{"Cancel", "", {}, {}, {}},
                      DialogAnswer{"NotANumber", "abc", {}, {}, {}},
                      DialogAnswer{"ChinesePointIsNotANumber", "1。5", {}, {}, {}},
                      DialogAnswer{"TooLargeForADouble", "1e400", {}, {}, {}}),
    testing::RowName());

class PressureDialog : public ::testing::TestWithParam<DialogAnswer> {};

TEST_P(PressureDialog, SendsRefusesOrEndsSilently) {
  OpenLine f;
  auto& w = *f.form;
  w.Set_Pump_NO = 7;
  w.setpresure = kEarlier;
  f.dialogs.answers.push_back(GetParam().answer);
  w.pressure_Click();
  ExpectDialogOutcome(f, GetParam(), w.setpresure);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PressureDialog,
    ::testing::Values(DialogAnswer{"Pressure2_5", "2.5", "Q00P02.5Y", {}, 2.5},
                      DialogAnswer{"Limit5", "5", "Q00P05.0Y", {}, 5},
                      DialogAnswer{"Zero", "0", "Q00P00.0Y", {}, 0},
                      DialogAnswer{"NegativeZeroIsZero", "-0", "Q00P00.0Y", {}, 0},
                      DialogAnswer{"JustAboveTheLimitIsRefused", "5.01", {}, "压力设定错误!", 5.01},
                      DialogAnswer{"NegativeIsRefused", "-0.5", {}, "压力设定错误!", -0.5},
                      DialogAnswer{"FullWidthDigitsAndPoint", "２．５", "Q00P02.5Y", {}, 2.5},
                      DialogAnswer{"Cancel", "", {}, {}, {}},
                      DialogAnswer{"NotANumber", "2,5", {}, {}, {}}),
    testing::RowName());

struct PumpNumberAnswer {
  PUMP_PRINT_ROW_NAME(PumpNumberAnswer)
  const char* name;
  const char* answer;
  std::int16_t stored;  // Set_Pump_NO afterwards, which held 5 before
  bool refused;
};

class PumpNumberDialog : public ::testing::TestWithParam<PumpNumberAnswer> {};

TEST_P(PumpNumberDialog, StoresARoundedNumberTheFrameCanCarry) {
  OpenLine f;
  auto& w = *f.form;
  w.Set_Pump_NO = 5;
  f.dialogs.answers.push_back(GetParam().answer);
  w.Pump_NO_Click();
  EXPECT_EQ(w.Set_Pump_NO, GetParam().stored);
  EXPECT_TRUE(f.serial.written.empty());
  const auto messages = f.dialogs.messages();
  if (GetParam().refused) {
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, "泵编号设定错误!");
    EXPECT_EQ(messages[0].title, "错误");
  } else {
    EXPECT_TRUE(messages.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PumpNumberDialog,
    ::testing::Values(PumpNumberAnswer{"Seven", "7", 7, false},
                      PumpNumberAnswer{"Zero", "0", 0, false},
                      PumpNumberAnswer{"NinetyNine", "99", 99, false},
                      PumpNumberAnswer{"HalfGoesDownToEven", "2.5", 2, false},
                      PumpNumberAnswer{"HalfGoesUpToEven", "3.5", 4, false},
                      PumpNumberAnswer{"FullWidth", "１２", 12, false},
                      PumpNumberAnswer{"HundredIsRefused", "100", 5, true},
                      PumpNumberAnswer{"NinetyNineAndAHalfRoundsToHundred", "99.5", 5, true},
                      PumpNumberAnswer{"NegativeIsRefused", "-1", 5, true},
                      PumpNumberAnswer{"BeyondTheIntegerRangeIsSilent", "40000", 5, false},
                      PumpNumberAnswer{"Cancel", "", 5, false},
                      PumpNumberAnswer{"NotANumber", "seven", 5, false}),
    testing::RowName());

TEST(SetpointDialogs, ChosenPumpNumberAddressesTheNextKeypadSetpoint) {
  OpenLine f;
  auto& w = *f.form;
  f.dialogs.answers.push_back("12");
  w.Pump_NO_Click();
  w.Cmdl_Click(0);
  w.Cmd1_Click(0);
  w.Cmd5_Click(0);
  w.Cmd0_Click(0);
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q12L0150Y"});
}

TEST(SetpointDialogs, LeaveTheDisplaysAndAKeypadEntryUntouched) {
  OpenLine f;
  auto& w = *f.form;
  w.Cmdl_Click(0);
  w.Cmd1_Click(0);
  f.dialogs.answers = {"150", "2.5", "3"};
  w.liquid_Click();
  w.pressure_Click();
  w.Pump_NO_Click();
  EXPECT_EQ(w.lq, 1);
  EXPECT_EQ(w.LsetF.caption(), "1");
  EXPECT_EQ(w.LsetP.caption(), "02.0");
  EXPECT_EQ(w.LSetState.caption(), "Lset");
  EXPECT_EQ(w.Lstate.caption(), "     STOP");
  w.Cmd2_Click(0);
  w.Cmd0_Click(0);
  EXPECT_EQ(f.serial.written, (std::vector<std::string>{"Q00L0150Y", "Q00P02.5Y", "Q03L0120Y"}));
}

TEST(RunStopMenus, SendAddressZeroFramesAndLeaveTheRunState) {
  OpenLine f;
  auto& w = *f.form;
  w.Set_Pump_NO = 7;
  w.run_Click();
  w.stop_Click();
  w.rrun_Click();
  w.rstop_Click();
  EXPECT_EQ(f.serial.written,
            (std::vector<std::string>{"Q00R0000Y", "Q00S0000Y", "Q00R0000Y", "Q00S0000Y"}));
  EXPECT_EQ(w.Lstate.caption(), "     STOP");
  w.Cmdr_Click(0);
  w.stop_Click();
  EXPECT_EQ(w.Lstate.caption(), "     RUN ") << "the menu stop leaves the keypad's RUN";
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(RunStopMenus, RefusedWritesAreReportedAndNothingEnds) {
  OpenLine f;
  auto& w = *f.form;
  f.serial.refuseWrites = true;
  const std::vector<std::function<void()>> senders = {
      [&] { w.run_Click(); }, [&] { w.stop_Click(); }, [&] { w.rrun_Click(); },
      [&] { w.rstop_Click(); }};
  for (const auto& send : senders) send();
  f.dialogs.answers = {"150", "2.5"};
  w.liquid_Click();
  w.pressure_Click();
  EXPECT_TRUE(f.serial.written.empty());
  EXPECT_EQ(f.dialogs.messages().size(), 6u);
  EXPECT_EQ(f.app.ends, 0);
  EXPECT_EQ(w.setliq, 150);
  EXPECT_EQ(w.setpresure, 2.5);
}

}  // namespace
}  // namespace pump
