#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/support/form1_fixture.h"
#include "tests/support/param_names.h"

namespace pump {
namespace {

using testing::Form1Fixture;

// Presses keys by face: digits, 'L', 'P', 'R' (RUN), 'S' (STOP), and '^' / 'v'
// for the up and down arrows, which are members of the "0" key's array.
void Press(console::Form1& w, const std::string& keys) {
  for (char key : keys) {
    switch (key) {
      case '0':
        w.Cmd0_Click(0);
        break;
      case '1':
        w.Cmd1_Click(0);
        break;
      case '2':
        w.Cmd2_Click(0);
        break;
      case '3':
        w.Cmd3_Click(0);
        break;
      case '4':
        w.Cmd4_Click(0);
        break;
      case '5':
        w.Cmd5_Click(0);
        break;
      case '6':
        w.Cmd6_Click(0);
        break;
      case '7':
        w.Cmd7_Click(0);
        break;
      case '8':
        w.Cmd8_Click(0);
        break;
      case '9':
        w.Cmd9_Click(0);
        break;
      case '^':
        w.Cmd0_Click(1);
        break;
      case 'v':
        w.Cmd0_Click(2);
        break;
      case 'L':
        w.Cmdl_Click(0);
        break;
      case 'P':
        w.Cmdp_Click(0);
        break;
      case 'R':
        w.Cmdr_Click(0);
        break;
      case 'S':
        w.Cmds_Click(0);
        break;
      default:
        FAIL() << "no key with face " << key;
    }
  }
}

struct OpenLine : Form1Fixture {
  OpenLine() {
    connect();
    dialogs.shown.clear();  // only the boxes of the test itself count
  }
};

struct WorkedExample {
  PUMP_PRINT_ROW_NAME(WorkedExample)
  const char* name;
  std::int16_t pumpNumber;
  const char* keys;
  const char* flowShown;      // LsetF afterwards
  const char* pressureShown;  // LsetP afterwards
  const char* modeShown;      // LSetState afterwards
  std::optional<std::string> sent;
  std::optional<std::string> refusal;
};

class KeypadWorkedExamples : public ::testing::TestWithParam<WorkedExample> {};

TEST_P(KeypadWorkedExamples, ShowSendAndRefuseAsTyped) {
  const WorkedExample& row = GetParam();
  OpenLine f;
  auto& w = *f.form;
  w.Set_Pump_NO = row.pumpNumber;
  Press(w, row.keys);

  EXPECT_EQ(w.LsetF.caption(), row.flowShown);
  EXPECT_EQ(w.LsetP.caption(), row.pressureShown);
  EXPECT_EQ(w.LSetState.caption(), row.modeShown);
  EXPECT_EQ(w.lq, 0);
  EXPECT_EQ(w.pr, 0);
  if (row.sent) {
    EXPECT_EQ(f.serial.written, std::vector<std::string>{*row.sent});
    EXPECT_EQ(w.setliqstr, row.sent->substr(1));
  } else {
    EXPECT_TRUE(f.serial.written.empty());
    EXPECT_EQ(w.setliqstr, "");
  }
  const auto messages = f.dialogs.messages();
  if (row.refusal) {
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, *row.refusal);
    EXPECT_EQ(messages[0].title, "设定错误");
  } else {
    EXPECT_TRUE(messages.empty());
  }
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
  int lq;
  int pr;
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
  auto& w = *f.form;
  for (const StateStep& step : GetParam().steps) {
    SCOPED_TRACE(std::string("after keys ") + step.keys);
    Press(w, step.keys);
    EXPECT_EQ(w.lq, step.lq);
    EXPECT_EQ(w.pr, step.pr);
    EXPECT_EQ(w.LsetF.caption(), step.flowShown);
    EXPECT_EQ(w.LsetP.caption(), step.pressureShown);
    EXPECT_EQ(w.LSetState.caption(), step.modeShown);
    EXPECT_EQ(f.serial.written.size(), step.framesSent);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Transitions, KeypadStateTable,
    ::testing::Values(StateWalk{"IdleDigitDoesNothing", {{"7", 0, 0, "000", "02.0", "", 0}}},
                      StateWalk{"FlowEntryGrowsAndCompletesAtThree",
                                {{"L", 1, 0, "", "02.0", "Lset", 0},
                                 {"1", 1, 0, "1", "02.0", "Lset", 0},
                                 {"2", 1, 0, "12", "02.0", "Lset", 0},
                                 {"3", 0, 0, "123", "02.0", "", 1}}},
                      StateWalk{"PressureEntryAddsThePointAfterTheSecondDigit",
                                {{"P", 0, 1, "000", "", "Pset", 0},
                                 {"0", 0, 1, "000", "0", "Pset", 0},
                                 {"2", 0, 1, "000", "02.", "Pset", 0},
                                 {"5", 0, 0, "000", "02.5", "", 1}}},
                      StateWalk{"ModeKeysDuringFlowEntryChangeNothing",
                                {{"L4", 1, 0, "4", "02.0", "Lset", 0},
                                 {"L", 1, 0, "4", "02.0", "Lset", 0},
                                 {"P", 1, 0, "4", "02.0", "Lset", 0},
                                 {"56", 0, 0, "456", "02.0", "Lset", 0}}},
                      StateWalk{"ModeKeysDuringPressureEntryChangeNothing",
                                {{"P01", 0, 1, "000", "01.", "Pset", 0},
                                 {"LP", 0, 1, "000", "01.", "Pset", 0},
                                 {"5", 0, 0, "000", "01.5", "", 1}}},
                      StateWalk{"RunAndStopMidEntryLetTheEntryGoOn",
                                {{"L1", 1, 0, "1", "02.0", "Lset", 0},
                                 {"R", 1, 0, "1", "02.0", "Lset", 1},
                                 {"S", 1, 0, "1", "02.0", "Lset", 2},
                                 {"00", 0, 0, "100", "02.0", "", 3}}},
                      StateWalk{"AfterARefusalDigitsDoNothingUntilTheNextModeKey",
                                {{"L300", 0, 0, "300", "02.0", "Lset", 0},
                                 {"1", 0, 0, "300", "02.0", "Lset", 0},
                                 {"L", 1, 0, "", "02.0", "Lset", 0},
                                 {"099", 0, 0, "099", "02.0", "", 1}}},
                      StateWalk{"FlowThenPressureEntry",
                                {{"L050", 0, 0, "050", "02.0", "", 1},
                                 {"P", 0, 1, "050", "", "Pset", 1},
                                 {"033", 0, 0, "050", "03.3", "", 2}}}),
    testing::RowName());

TEST(KeypadKeys, RunAndStopSendAddressZeroWhateverThePumpNumberAndSetTheRunState) {
  OpenLine f;
  auto& w = *f.form;
  w.Set_Pump_NO = 7;
  Press(w, "R");
  EXPECT_EQ(w.Lstate.caption(), "     RUN ");
  Press(w, "S");
  EXPECT_EQ(w.Lstate.caption(), "     STOP");
  EXPECT_EQ(f.serial.written, (std::vector<std::string>{"Q00R0000Y", "Q00S0000Y"}));
  EXPECT_EQ(w.LSetState.caption(), "");
  EXPECT_EQ(w.LsetF.caption(), "000");
}

TEST(KeypadKeys, SetpointBodyFollowsTheLaterSentEntryAndSurvivesARefusal) {
  OpenLine f;
  auto& w = *f.form;
  Press(w, "L150");
  EXPECT_EQ(w.setliqstr, "00L0150Y");
  Press(w, "P025");
  EXPECT_EQ(w.setliqstr, "00P02.5Y");
  Press(w, "L201P077");
  EXPECT_EQ(w.setliqstr, "00P02.5Y");
  EXPECT_EQ(f.dialogs.messages().size(), 2u);
  EXPECT_EQ(f.serial.written.size(), 2u);
}

TEST(KeypadKeys, PumpNumberTheFrameCannotCarryIsRefusedNotSent) {
  OpenLine f;
  auto& w = *f.form;
  w.Set_Pump_NO = 100;
  Press(w, "L150");
  EXPECT_TRUE(f.serial.written.empty());
  ASSERT_EQ(f.dialogs.messages().size(), 1u);
  EXPECT_EQ(f.dialogs.messages()[0].prompt, "泵编号设定错误!");
  EXPECT_EQ(w.LSetState.caption(), "Lset");
  EXPECT_EQ(w.lq, 0);
}

// A reply handled between two key presses rewrites the display; the entry
// carries on with what the operator typed.
TEST(KeypadAndReplies, FlowReplyMidEntryShowsAtOnceAndTheEntryCompletesAtThreeDigits) {
  OpenLine f;
  auto& w = *f.form;
  Press(w, "L1");
  f.serial.receive("Q00L0150Y");
  EXPECT_EQ(w.LsetF.caption(), "0150");
  EXPECT_EQ(w.lq, 1);
  Press(w, "2");
  EXPECT_EQ(w.LsetF.caption(), "12");
  Press(w, "5");
  EXPECT_EQ(w.LsetF.caption(), "125");
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q00L0125Y"});
  EXPECT_EQ(w.lq, 0);
  EXPECT_EQ(w.LSetState.caption(), "");
}

TEST(KeypadAndReplies, PressureReplyAfterThePointDoesNotJamTheEntry) {
  OpenLine f;
  auto& w = *f.form;
  Press(w, "P03");
  f.serial.receive("Q00P04.5Y");
  EXPECT_EQ(w.LsetP.caption(), "04.5");
  Press(w, "2");
  EXPECT_EQ(w.LsetP.caption(), "03.2");
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q00P03.2Y"});
  EXPECT_EQ(w.pr, 0);
  Press(w, "P");
  EXPECT_EQ(w.pr, 1) << "the mode keys work again";
}

TEST(KeypadAndReplies, ReplyRightAfterTheModeKeyIsReplacedByTheFirstDigit) {
  OpenLine f;
  auto& w = *f.form;
  Press(w, "L");
  f.serial.receive("Q00L0080Y");
  Press(w, "0");
  EXPECT_EQ(w.LsetF.caption(), "0");
  Press(w, "90");
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q00L0090Y"});
}

TEST(KeypadAndReplies, ReplyAfterASentEntryReplacesTheTypedDigits) {
  OpenLine f;
  auto& w = *f.form;
  Press(w, "L150");
  f.serial.receive("Q00L0150Y");
  Press(w, "7");
  EXPECT_EQ(w.LsetF.caption(), "0150") << "no entry is under way";
}

TEST(KeypadBeforePortOpen, SetpointTellsTheOperatorOnceAndKeepsTheEntryMode) {
  Form1Fixture f;
  auto& w = *f.form;
  Press(w, "L150");
  EXPECT_TRUE(f.serial.written.empty());
  const auto messages = f.dialogs.messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].prompt.find("通信端口"), std::string::npos);
  EXPECT_EQ(messages[0].title, "通信错误");
  EXPECT_EQ(w.lq, 0);
  EXPECT_EQ(w.setliqstr, "00L0150Y") << "the frame body is built before the write";
  EXPECT_EQ(w.LSetState.caption(), "Lset");
  EXPECT_EQ(w.LsetF.caption(), "150");
  EXPECT_EQ(f.app.ends, 0);
}

TEST(KeypadBeforePortOpen, RunAndStopLeaveTheRunStateAlone) {
  Form1Fixture f;
  auto& w = *f.form;
  Press(w, "R");
  EXPECT_EQ(w.Lstate.caption(), "     STOP");
  f.connect();
  Press(w, "R");
  f.serial.loseLine("unplugged");
  Press(w, "S");
  EXPECT_EQ(w.Lstate.caption(), "     RUN ");
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q00R0000Y"});
  EXPECT_EQ(f.dialogs.messages().size(), 3u) << "not open, line lost, not open";
  EXPECT_EQ(f.app.ends, 0);
}

TEST(KeypadBeforePortOpen, PressureEntryCanBeTypedAgainOnceThePortIsOpen) {
  Form1Fixture f;
  auto& w = *f.form;
  Press(w, "P025");
  EXPECT_EQ(w.LSetState.caption(), "Pset");
  f.connect();
  Press(w, "P025");
  EXPECT_EQ(f.serial.written, std::vector<std::string>{"Q00P02.5Y"});
  EXPECT_EQ(w.LSetState.caption(), "");
}

}  // namespace
}  // namespace pump
