#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "tests/support/param_names.h"
#include "tests/support/setpoint_checks.h"

namespace pump {
namespace {

using testing::ChoosePump;
using testing::ConsoleHarness;
using testing::OpenLine;

TEST(SetpointDialogs, AskWithTheirOwnPromptsTitlesAndDefaults) {
  OpenLine f;
  auto& w = *f.window;
  w.askFlow();
  w.askPressureLimit();
  w.askPumpNumber();
  ASSERT_EQ(f.dialogs.shown.size(), 3u);
  const auto& flow = f.dialogs.shown[0];
  EXPECT_EQ(flow.prompt,
            "请输入您需要的流量 单位 ml/min \r\n流量范围为1\xE2\x80\x94"
            "200ml/min");
  EXPECT_EQ(flow.title, "流量设定");
  EXPECT_EQ(flow.defaultAnswer, "0");
  const auto& pressure = f.dialogs.shown[1];
  EXPECT_EQ(pressure.prompt,
            "请输入您需要保护压 单位 MPa\r\n压力设定范围为0\xE2\x80\x94"
            "5.0MPa");
  EXPECT_EQ(pressure.title, "压力设定");
  EXPECT_EQ(pressure.defaultAnswer, "2");
  const auto& number = f.dialogs.shown[2];
  EXPECT_EQ(number.prompt, "请输入要控制泵的编号 ");
  EXPECT_EQ(number.title, "编号设定");
  EXPECT_EQ(number.defaultAnswer, "0");
}

struct DialogAnswer {
  PUMP_PRINT_ROW_NAME(DialogAnswer)
  const char* name;
  const char* answer;  // "" is Cancel
  std::optional<std::string> sent;
  std::optional<std::string> refusal;  // title is always "错误"
};

// Refused answers are published as typed.
void ExpectDialogOutcome(ConsoleHarness& f, const DialogAnswer& row) {
  testing::ExpectSentAndRefused(f, row.sent, row.refusal, "错误");
  const auto published =
      row.refusal ? std::vector<std::string>{row.answer} : std::vector<std::string>{};
  EXPECT_EQ(f.eventDetails(pump::EventKind::Refused), published);
}

class FlowDialog : public ::testing::TestWithParam<DialogAnswer> {};

TEST_P(FlowDialog, SendsRefusesOrEndsSilently) {
  OpenLine f;
  auto& w = *f.window;
  ChoosePump(f, 7);  // the dialogs do not follow the keypad: they address pump 00
  f.dialogs.answers.push_back(GetParam().answer);
  w.askFlow();
  ExpectDialogOutcome(f, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FlowDialog,
    ::testing::Values(DialogAnswer{"Flow150", "150", "Q00L0150Y", {}},
                      DialogAnswer{"Limit200", "200", "Q00L0200Y", {}},
                      DialogAnswer{"Zero", "0", "Q00L0000Y", {}},
                      DialogAnswer{"FractionRoundsInTheField", "49.5", "Q00L0050Y", {}},
                      DialogAnswer{"JustAboveTheLimitIsRefused", "200.4", {}, "流量设定错误!"},
                      DialogAnswer{"AboveTheLimit", "201", {}, "流量设定错误!"},
                      DialogAnswer{"NegativeIsRefused", "-1", {}, "流量设定错误!"},
                      DialogAnswer{"FullWidthDigits", "１５０", "Q00L0150Y", {}},
                      DialogAnswer{"FullWidthMinusIsRefused", "－５", {}, "流量设定错误!"},
                      DialogAnswer{"BlanksAround", " 80\u3000", "Q00L0080Y", {}},
                      DialogAnswer{"Cancel", "", {}, {}}, DialogAnswer{"NotANumber", "abc", {}, {}},
                      DialogAnswer{"ChinesePointIsNotANumber", "1。5", {}, {}},
                      DialogAnswer{"TooLargeForADouble", "1e400", {}, {}}),
    testing::RowName());

class PressureDialog : public ::testing::TestWithParam<DialogAnswer> {};

TEST_P(PressureDialog, SendsRefusesOrEndsSilently) {
  OpenLine f;
  auto& w = *f.window;
  ChoosePump(f, 7);
  f.dialogs.answers.push_back(GetParam().answer);
  w.askPressureLimit();
  ExpectDialogOutcome(f, GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PressureDialog,
    ::testing::Values(DialogAnswer{"Pressure2_5", "2.5", "Q00P02.5Y", {}},
                      DialogAnswer{"Limit5", "5", "Q00P05.0Y", {}},
                      DialogAnswer{"Zero", "0", "Q00P00.0Y", {}},
                      DialogAnswer{"NegativeZeroIsZero", "-0", "Q00P00.0Y", {}},
                      DialogAnswer{"JustAboveTheLimitIsRefused", "5.01", {}, "压力设定错误!"},
                      DialogAnswer{"NegativeIsRefused", "-0.5", {}, "压力设定错误!"},
                      DialogAnswer{"FullWidthDigitsAndPoint", "２．５", "Q00P02.5Y", {}},
                      DialogAnswer{"Cancel", "", {}, {}},
                      DialogAnswer{"NotANumber", "2,5", {}, {}}),
    testing::RowName());

struct PumpNumberAnswer {
  PUMP_PRINT_ROW_NAME(PumpNumberAnswer)
  const char* name;
  const char* answer;
  int stored;  // the pump the keypad addresses afterwards, which was 5 before
  bool refused;
};

class PumpNumberDialog : public ::testing::TestWithParam<PumpNumberAnswer> {};

TEST_P(PumpNumberDialog, StoresARoundedNumberTheFrameCanCarry) {
  OpenLine f;
  auto& w = *f.window;
  f.dialogs.answers = {"5", GetParam().answer};
  w.askPumpNumber();
  w.askPumpNumber();
  EXPECT_TRUE(f.serial.written.empty());
  for (char key : std::string("L150")) key == 'L' ? w.pressFlowKey() : w.pressDigit(key);
  char expected[16];
  std::snprintf(expected, sizeof expected, "Q%02dL0150Y", GetParam().stored);
  testing::ExpectSentAndRefused(
      f, expected,
      GetParam().refused ? std::optional<std::string>("泵编号设定错误!") : std::nullopt, "错误");
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
  auto& w = *f.window;
  f.dialogs.answers.push_back("12");
  w.askPumpNumber();
  w.pressFlowKey();
  w.pressDigit('1');
  w.pressDigit('5');
  w.pressDigit('0');
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q12L0150Y"});
}

TEST(SetpointDialogs, LeaveTheDisplaysAndAKeypadEntryUntouched) {
  OpenLine f;
  auto& w = *f.window;
  w.pressFlowKey();
  w.pressDigit('1');
  f.dialogs.answers = {"150", "2.5", "3"};
  w.askFlow();
  w.askPressureLimit();
  w.askPumpNumber();
  EXPECT_EQ(w.display.flowSetpoint.caption(), "1");
  EXPECT_EQ(w.display.pressureLimit.caption(), "02.0");
  EXPECT_EQ(w.display.entryMode.caption(), "Lset");
  EXPECT_EQ(w.display.pumpState.caption(), "     STOP");
  w.pressDigit('2');
  w.pressDigit('0');
  EXPECT_EQ(f.serial.written, (std::vector<std::string>{"Q00L0150Y", "Q00P02.5Y", "Q03L0120Y"}));
}

TEST(RunStopMenus, SendAddressZeroFramesAndLeaveTheRunState) {
  OpenLine f;
  ChoosePump(f, 7);
  f.dialogs.shown.clear();
  auto& w = *f.window;
  w.runPump();
  w.stopPump();
  w.runPump();
  w.stopPump();
  EXPECT_EQ(f.serial.written,
            (std::vector<std::string>{"Q00R0000Y", "Q00S0000Y", "Q00R0000Y", "Q00S0000Y"}));
  EXPECT_EQ(w.display.pumpState.caption(), "     STOP");
  w.pressRunKey();
  w.stopPump();
  EXPECT_EQ(w.display.pumpState.caption(), "     RUN ") << "the menu stop leaves the keypad's RUN";
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(RunStopMenus, RefusedWritesAreReportedAndNothingEnds) {
  OpenLine f;
  auto& w = *f.window;
  f.serial.refuseWrites = true;
  const std::vector<std::function<void()>> senders = {[&] { w.runPump(); }, [&] { w.stopPump(); },
                                                      [&] { w.runPump(); }, [&] { w.stopPump(); }};
  for (const auto& send : senders) send();
  f.dialogs.answers = {"150", "2.5"};
  w.askFlow();
  w.askPressureLimit();
  EXPECT_TRUE(f.serial.written.empty());
  EXPECT_EQ(f.dialogs.messages().size(), 6u);
  EXPECT_EQ(f.app.ends, 0);
}

}  // namespace
}  // namespace pump
