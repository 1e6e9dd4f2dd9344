#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/param_names.h"
#include "tests/support/setpoint_checks.h"

namespace pump {
namespace {

using testing::ChoosePump;
using testing::ConsoleHarness;
using testing::OpenLine;

// Presses keys by face: digits, 'L', 'P', 'R' (RUN), 'S' (STOP), and '^' / 'v'
// for the up and down arrows, which type a zero as the "0" key does.
void Press(console::MainWindow& w, const std::string& keys) {
  for (char key : keys) {
    if (key >= '0' && key <= '9') {
      w.pressDigit(key);
    } else if (key == '^' || key == 'v') {
      w.pressDigit('0');
    } else if (key == 'L') {
      w.pressFlowKey();
    } else if (key == 'P') {
      w.pressPressureKey();
    } else if (key == 'R') {
      w.pressRunKey();
    } else if (key == 'S') {
      w.pressStopKey();
    } else {
      FAIL() << "no key with face " << key;
    }
  }
}

struct WorkedExample {
  PUMP_PRINT_ROW_NAME(WorkedExample)
  const char* name;
  int pumpNumber;
  const char* keys;
  const char* flowShown;      // the flow read-out afterwards
  const char* pressureShown;  // the pressure-limit read-out afterwards
  const char* modeShown;      // the entry-mode read-out afterwards
  std::optional<std::string> sent;
  std::optional<std::string> refusal;
};

class KeypadWorkedExamples : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(KeypadWorkedExamples, ShowSendAndRefuseAsTyped) {
  const WorkedExample& row = GetParam();
  OpenLine f;
  ChoosePump(f, row.pumpNumber);
  auto& w = *f.window;
  Press(w, row.keys);

  EXPECT_EQ(w.display.flowSetpoint.caption(), row.flowShown);
  EXPECT_EQ(w.display.pressureLimit.caption(), row.pressureShown);
  EXPECT_EQ(w.display.entryMode.caption(), row.modeShown);
  testing::ExpectSentAndRefused(f, row.sent, row.refusal, "设定错误");
}

INSTANTIATE_TEST_SUITE_P(
    FromStartUp, KeypadWorkedExamples,
    ::testing::Values(
        WorkedExample{"Flow150", 0, "L150", "150", "02.0", "", "Q00L0150Y", {}},
        WorkedExample{"Pressure2_5", 0, "P025", "000", "02.5", "", "Q00P02.5Y", {}},
        WorkedExample{"Flow201Refused", 0, "L201", "201", "02.0", "Lset", {}, "流量设定错误"},
        WorkedExample{"Pressure5_1Refused", 0, "P051", "000", "05.1", "Pset", {}, "压力设定错误"},
        WorkedExample{"Flow150ToPump7", 7, "L150", "150", "02.0", "", "Q07L0150Y", {}},
        WorkedExample{"Pressure2_5ToPump5", 5, "P025", "000", "02.5", "", "Q05P02.5Y", {}},
        WorkedExample{"Flow200IsTheLimit", 0, "L200", "200", "02.0", "", "Q00L0200Y", {}},
        WorkedExample{"FlowZeroIsSent", 0, "L000", "000", "02.0", "", "Q00L0000Y", {}},
        WorkedExample{"Pressure5IsTheLimit", 0, "P050", "000", "05.0", "", "Q00P05.0Y", {}},
        WorkedExample{"PressureZeroIsSent", 0, "P000", "000", "00.0", "", "Q00P00.0Y", {}},
        WorkedExample{"ArrowsTypeZeros", 0, "L^5v", "050", "02.0", "", "Q00L0050Y", {}},
        WorkedExample{"Flow999Refused", 0, "L999", "999", "02.0", "Lset", {}, "流量设定错误"},
        WorkedExample{"Pressure99_9Refused", 0, "P999", "000", "99.9", "Pset", {}, "压力设定错误"}),
    testing::RowName());

struct StateStep {
  const char* keys;  // pressed in this step
  const char* flowShown;
  const char* pressureShown;
  const char* modeShown;
  std::size_t framesSent;  // in total so far
};

struct StateWalk {
  PUMP_PRINT_ROW_NAME(StateWalk)
  const char* name;
  std::vector<StateStep> steps;
};

class KeypadStateTable : public ::testing::TestWithParam<StateWalk> {};

TEST_P(KeypadStateTable, MovesBetweenIdleFlowAndPressureEntry) {
  OpenLine f;
  auto& w = *f.window;
  for (const StateStep& step : GetParam().steps) {
    SCOPED_TRACE(std::string("after keys ") + step.keys);
    Press(w, step.keys);
    EXPECT_EQ(w.display.flowSetpoint.caption(), step.flowShown);
    EXPECT_EQ(w.display.pressureLimit.caption(), step.pressureShown);
    EXPECT_EQ(w.display.entryMode.caption(), step.modeShown);
    EXPECT_EQ(f.serial.written.size(), step.framesSent);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Transitions, KeypadStateTable,
    ::testing::Values(StateWalk{"IdleDigitDoesNothing", {{"7", "000", "02.0", "", 0}}},
                      StateWalk{"FlowEntryGrowsAndCompletesAtThree",
                                {{"L", "", "02.0", "Lset", 0},
                                 {"1", "1", "02.0", "Lset", 0},
                                 {"2", "12", "02.0", "Lset", 0},
                                 {"3", "123", "02.0", "", 1}}},
                      StateWalk{"PressureEntryAddsThePointAfterTheSecondDigit",
                                {{"P", "000", "", "Pset", 0},
                                 {"0", "000", "0", "Pset", 0},
                                 {"2", "000", "02.", "Pset", 0},
                                 {"5", "000", "02.5", "", 1}}},
                      StateWalk{"ModeKeysDuringFlowEntryChangeNothing",
                                {{"L4", "4", "02.0", "Lset", 0},
                                 {"L", "4", "02.0", "Lset", 0},
                                 {"P", "4", "02.0", "Lset", 0},
                                 {"56", "456", "02.0", "Lset", 0}}},
                      StateWalk{"ModeKeysDuringPressureEntryChangeNothing",
                                {{"P01", "000", "01.", "Pset", 0},
                                 {"LP", "000", "01.", "Pset", 0},
                                 {"5", "000", "01.5", "", 1}}},
                      StateWalk{"RunAndStopMidEntryLetTheEntryGoOn",
                                {{"L1", "1", "02.0", "Lset", 0},
                                 {"R", "1", "02.0", "Lset", 1},
                                 {"S", "1", "02.0", "Lset", 2},
                                 {"00", "100", "02.0", "", 3}}},
                      StateWalk{"AfterARefusalDigitsDoNothingUntilTheNextModeKey",
                                {{"L300", "300", "02.0", "Lset", 0},
                                 {"1", "300", "02.0", "Lset", 0},
                                 {"L", "", "02.0", "Lset", 0},
                                 {"099", "099", "02.0", "", 1}}},
                      StateWalk{"FlowThenPressureEntry",
                                {{"L050", "050", "02.0", "", 1},
                                 {"P", "050", "", "Pset", 1},
                                 {"033", "050", "03.3", "", 2}}}),
    testing::RowName());

TEST(KeypadKeys, RunAndStopSendAddressZeroWhateverThePumpNumberAndSetTheRunState) {
  OpenLine f;
  ChoosePump(f, 7);
  auto& w = *f.window;
  Press(w, "R");
  EXPECT_EQ(w.display.pumpState.caption(), "     RUN ");
  Press(w, "S");
  EXPECT_EQ(w.display.pumpState.caption(), "     STOP");
  EXPECT_EQ(f.serial.written, (std::vector<std::string>{"Q00R0000Y", "Q00S0000Y"}));
  EXPECT_EQ(w.display.entryMode.caption(), "");
  EXPECT_EQ(w.display.flowSetpoint.caption(), "000");
}

TEST(KeypadKeys, APumpNumberTheDialogRefusesLeavesTheKeypadOnTheOldPump) {
  OpenLine f;
  ChoosePump(f, 4);
  ChoosePump(f, 100);
  Press(*f.window, "L150");
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q04L0150Y"});
  ASSERT_EQ(f.dialogs.messages().size(), 1u);
  EXPECT_EQ(f.dialogs.messages()[0].prompt, "泵编号设定错误!");
}

TEST(KeypadKeys, EveryRefusedEntryIsPublishedWithTheValueAsTyped) {
  OpenLine f;
  Press(*f.window, "L201P051L150");
  EXPECT_EQ(f.eventDetails(pump::EventKind::Refused), (std::vector<std::string>{"201", "05.1"}));
  EXPECT_EQ(f.eventDetails(pump::EventKind::Command), std::vector<std::string>{"Q00L0150Y"});
}

// A reply handled between two key presses rewrites the display; the entry
// carries on with what the operator typed.
TEST(KeypadAndReplies, FlowReplyMidEntryShowsAtOnceAndTheEntryCompletesAtThreeDigits) {
  OpenLine f;
  auto& w = *f.window;
  Press(w, "L1");
  f.serial.receive("Q00L0150Y");
  EXPECT_EQ(w.display.flowSetpoint.caption(), "0150");
  Press(w, "2");
  EXPECT_EQ(w.display.flowSetpoint.caption(), "12");
  Press(w, "5");
  EXPECT_EQ(w.display.flowSetpoint.caption(), "125");
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q00L0125Y"});
  EXPECT_EQ(w.display.entryMode.caption(), "");
}

TEST(KeypadAndReplies, PressureReplyAfterThePointDoesNotJamTheEntry) {
  OpenLine f;
  auto& w = *f.window;
  Press(w, "P03");
  f.serial.receive("Q00P04.5Y");
  EXPECT_EQ(w.display.pressureLimit.caption(), "04.5");
  Press(w, "2");
  EXPECT_EQ(w.display.pressureLimit.caption(), "03.2");
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q00P03.2Y"});
  Press(w, "P");
  EXPECT_EQ(w.display.entryMode.caption(), "Pset") << "the mode keys work again";
}

TEST(KeypadAndReplies, ReplyRightAfterTheModeKeyIsReplacedByTheFirstDigit) {
  OpenLine f;
  auto& w = *f.window;
  Press(w, "L");
  f.serial.receive("Q00L0080Y");
  Press(w, "0");
  EXPECT_EQ(w.display.flowSetpoint.caption(), "0");
  Press(w, "90");
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q00L0090Y"});
}

TEST(KeypadAndReplies, ReplyAfterASentEntryReplacesTheTypedDigits) {
  OpenLine f;
  auto& w = *f.window;
  Press(w, "L150");
  f.serial.receive("Q00L0150Y");
  Press(w, "7");
  EXPECT_EQ(w.display.flowSetpoint.caption(), "0150") << "no entry is under way";
}

TEST(KeypadBeforePortOpen, SetpointTellsTheOperatorOnceAndKeepsTheEntryMode) {
  ConsoleHarness f;
  auto& w = *f.window;
  Press(w, "L150");
  EXPECT_TRUE(f.serial.written.empty());
  const auto messages = f.dialogs.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].prompt.find("通信端口"), std::string::npos);
  EXPECT_EQ(messages[0].title, "通信错误");
  EXPECT_EQ(w.display.entryMode.caption(), "Lset");
  EXPECT_EQ(w.display.flowSetpoint.caption(), "150");
  EXPECT_EQ(f.app.ends, 0);
}

TEST(KeypadBeforePortOpen, RunAndStopLeaveTheRunStateAlone) {
  ConsoleHarness f;
  auto& w = *f.window;
  Press(w, "R");
  EXPECT_EQ(w.display.pumpState.caption(), "     STOP");
  f.openPort();
  Press(w, "R");
  f.serial.loseLine("unplugged");
  Press(w, "S");
  EXPECT_EQ(w.display.pumpState.caption(), "     RUN ") << "the stop has not gone out";
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q00R0000Y"});
  EXPECT_EQ(f.dialogs.messages().size(), 2u) << "not open, line lost; the stop is kept";
  EXPECT_EQ(w.display.linkStatus.caption(), "● 停泵命令待发送");
  EXPECT_EQ(f.app.ends, 0);
}

TEST(KeypadBeforePortOpen, PressureEntryCanBeTypedAgainOnceThePortIsOpen) {
  ConsoleHarness f;
  auto& w = *f.window;
  Press(w, "P025");
  EXPECT_EQ(w.display.entryMode.caption(), "Pset");
  f.openPort();
  Press(w, "P025");
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q00P02.5Y"});
  EXPECT_EQ(w.display.entryMode.caption(), "");
}

}  // namespace
}  // namespace pump
