#include <gtest/gtest.h>

#include "tests/support/console_harness.h"
#include "tests/support/param_names.h"

namespace pump {
namespace {

using testing::ConsoleHarness;

// A console with its line open, as after the operator answered the port box.
struct Connected : ConsoleHarness {
  Connected() { openPort("1"); }
  console::MainWindow& w() { return *window; }
  int chartSteps() const { return window->chart().position(); }
};

TEST(Replies, EachKindUpdatesItsOwnDisplayAndStepsTheChartOnce) {
  Connected f;
  f.serial.receive("Q00N01.5Y");
  EXPECT_EQ(f.w().display.currentPressure.caption(), "01.5");
  EXPECT_EQ(f.chartSteps(), 1);
  EXPECT_DOUBLE_EQ(f.w().chart().sampleAt(0), 1.5) << "the chart sees the new pressure";

  f.serial.receive("Q00P02.5Y");
  EXPECT_EQ(f.w().display.pressureLimit.caption(), "02.5");
  f.serial.receive("Q00L0150Y");
  EXPECT_EQ(f.w().display.flowSetpoint.caption(), "0150");
  EXPECT_EQ(f.chartSteps(), 3);
  EXPECT_DOUBLE_EQ(f.w().chart().sampleAt(2), 1.5) << "other kinds repeat the last pressure";
  EXPECT_EQ(f.w().display.currentPressure.caption(), "01.5");
  EXPECT_TRUE(f.dialogs.messages().empty());
}

// One reply, and the caption it leaves in the display its kind names.
struct ShownReply {
  PUMP_PRINT_ROW_NAME(ShownReply)
  const char* name;
  const char* frame;
  Label console::Display::*display;
  const char* caption;
};

class ReplyShown : public ::testing::TestWithParam<ShownReply> {};

TEST_P(ReplyShown, InTheDisplayOfItsKind) {
  Connected f;
  f.serial.receive(GetParam().frame);
  EXPECT_EQ((f.w().display.*GetParam().display).caption(), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ReplyShown,
    ::testing::Values(ShownReply{"PressureShowsAPointOverADigitSeven", "Q00P0255Y",
                                 &console::Display::pressureLimit, "02.5"},
                      ShownReply{"PressureShowsAPointOverALetterSeven", "Q00P13x7Y",
                                 &console::Display::pressureLimit, "13.7"},
                      ShownReply{"AnotherPumpsAddressIsNotRead", "Q07N03.3Y",
                                 &console::Display::currentPressure, "03.3"},
                      ShownReply{"AnAddressOfLettersIsNotRead", "QabL0042Y",
                                 &console::Display::flowSetpoint, "0042"}),
    testing::RowName());

TEST(Replies, OtherKindsChangeNoDisplayButStillStepTheChart) {
  Connected f;
  for (const char* frame : {"QxxZabcdY", "Q00F0000Y", "Q00R0000Y"}) f.serial.receive(frame);
  EXPECT_EQ(f.w().display.currentPressure.caption(), "00.0");
  EXPECT_EQ(f.w().display.pressureLimit.caption(), "02.0");
  EXPECT_EQ(f.w().display.flowSetpoint.caption(), "000");
  EXPECT_EQ(f.chartSteps(), 3);
}

TEST(Replies, ValuesAreShownUntestedAndOnlyNumbersAreRecorded) {
  Connected f;
  f.serial.receive("Q00N01.5Y");
  f.serial.receive("Q00NABCDY");
  EXPECT_EQ(f.w().display.currentPressure.caption(), "ABCD");
  EXPECT_EQ(f.chartSteps(), 2);
  f.serial.receive("Q00N0002Y");
  f.serial.receive("Q00P04.5Y");
  f.serial.receive("Q00L0150Y");
  EXPECT_EQ(f.w().record().samples(), (std::vector<double>{1.5, 2}));
}

TEST(Replies, TwoRepliesInOneReadAreBothHandledInOrder) {
  Connected f;
  f.serial.receive("Q00N01.5YQ00L0150Y");
  EXPECT_EQ(f.w().display.currentPressure.caption(), "01.5");
  EXPECT_EQ(f.w().display.flowSetpoint.caption(), "0150");
  EXPECT_EQ(f.chartSteps(), 2);

  f.serial.receive("Q00N02.5YQ00N03.5YQ00N04.5Y");
  EXPECT_EQ(f.w().display.currentPressure.caption(), "04.5");
  EXPECT_DOUBLE_EQ(f.w().chart().sampleAt(2), 2.5);
  EXPECT_DOUBLE_EQ(f.w().chart().sampleAt(3), 3.5);
  EXPECT_DOUBLE_EQ(f.w().chart().sampleAt(4), 4.5);
  EXPECT_EQ(f.w().record().samples(), (std::vector<double>{1.5, 2.5, 3.5, 4.5}));
}

TEST(Replies, AFragmentIsDroppedAndAnIncompleteTailWaitsForTheNextRead) {
  Connected f;
  f.serial.receive("0N01.5YQ00");
  EXPECT_EQ(f.w().display.currentPressure.caption(), "00.0");
  EXPECT_EQ(f.chartSteps(), 0);
  f.serial.receive("N02.5Y");  // completes the kept "Q00"
  EXPECT_EQ(f.w().display.currentPressure.caption(), "02.5");
  EXPECT_EQ(f.chartSteps(), 1);
  f.serial.receive("Q00L0150Y");
  EXPECT_EQ(f.w().display.currentPressure.caption(), "02.5");
  EXPECT_EQ(f.w().display.flowSetpoint.caption(), "0150");
  EXPECT_EQ(f.chartSteps(), 2);
}

TEST(Replies, LowerCaseQOrYIsNoFrame) {
  Connected f;
  f.serial.receive("q00N01.5y");
  f.serial.receive("Q00N01.5y");
  f.serial.receive("q00N01.5Y");
  EXPECT_EQ(f.w().display.currentPressure.caption(), "00.0");
  EXPECT_EQ(f.chartSteps(), 0);
}

// The same replies, with noise, split into two reads at every position, then
// a poll echo.
TEST(Replies, AStreamSplitAtAnyPositionGivesTheSameDisplaysAndSteps) {
  const std::string stream =
      "\r\n\xff"
      "Q00N01.5YQ12Q00P03.5Y--Q00L0150YQ00N02.0Yq";
  const std::string flush = "Q00F0000Y";
  for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
    Connected f;
    f.serial.receive(stream.substr(0, cut));
    f.serial.receive(stream.substr(cut));
    f.serial.receive(flush);
    ASSERT_EQ(f.w().display.currentPressure.caption(), "02.0") << "cut at " << cut;
    ASSERT_EQ(f.w().display.pressureLimit.caption(), "03.5") << "cut at " << cut;
    ASSERT_EQ(f.w().display.flowSetpoint.caption(), "0150") << "cut at " << cut;
    ASSERT_EQ(f.chartSteps(), 5) << "cut at " << cut;
    ASSERT_EQ(f.w().record().samples(), (std::vector<double>{1.5, 2.0})) << "cut at " << cut;
  }
}

TEST(Replies, AHundredRepliesInOneReadWrapTheChartOnce) {
  Connected f;
  std::string burst;
  for (int i = 0; i < 101; ++i) burst += "Q00N01.5Y";
  f.serial.receive(burst);
  EXPECT_EQ(f.chartSteps(), 1);
  EXPECT_EQ(f.canvas.clears, 1);
  EXPECT_EQ(f.w().record().count(), 101);
}

TEST(Replies, EachIsPublishedAsReadingOrReplyWithTheDisplayAfterIt) {
  Connected f;
  f.events.clear();
  f.clock.advance(250);
  f.serial.receive("Q00N01.5YQ00L0150Y");
  ASSERT_EQ(f.events.size(), 3U);
  EXPECT_EQ(f.events[0].kind, pump::EventKind::Link) << "the first answer since the open";
  EXPECT_EQ(f.events[0].detail, "answering");
  EXPECT_EQ(f.events[1].kind, pump::EventKind::Reading);
  EXPECT_EQ(f.events[1].detail, "Q00N01.5Y");
  EXPECT_EQ(f.events[1].state.currentPressure.characters, "01.5");
  EXPECT_EQ(f.events[1].state.flowSetpoint.characters, "000")
      << "the flow reply is not handled yet";
  EXPECT_EQ(f.events[2].kind, pump::EventKind::Reply);
  EXPECT_EQ(f.events[2].detail, "Q00L0150Y");
  EXPECT_EQ(f.events[2].state.flowSetpoint.characters, "0150");
  EXPECT_EQ(f.events[2].monotonicTime.time_since_epoch(), std::chrono::milliseconds(250));
}

TEST(Replies, NothingArrivesBeforeThePortIsOpened) {
  ConsoleHarness f;
  f.serial.receive("Q00N01.5Y");
  EXPECT_EQ(f.window->display.currentPressure.caption(), "00.0");
  EXPECT_EQ(f.window->chart().position(), 0);
}

TEST(Replies, TheTailOfAReplyJoinedToTheLastReadIsShownAsSoonAsItArrives) {
  Connected f;
  f.serial.receive("Q00N01.5YQ00");
  f.serial.receive("L0150Y");
  EXPECT_EQ(f.w().display.flowSetpoint.caption(), "0150");
  EXPECT_EQ(f.chartSteps(), 2);
}

}  // namespace
}  // namespace pump
