// The pump session on its own: readings parsed once where the reply is read,
// the pump's characters kept beside the number, typed commands with their
// results, and followers that see the state after each event.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/console_harness.h"
#include "vocabulary/quantity.h"

namespace pump {
namespace {

using Frames = std::vector<std::string>;

TEST(Quantities, ThePumpsCharactersAreReadAsExactDecimalsOrAsNoNumber) {
  const struct {
    const char* characters;
    std::optional<double> value;
    const char* plain;
  } cases[] = {
      {"04.6", 4.6, "4.6"},
      {"4.60", 4.6, "4.60"},
      {"0150", 150, "150"},
      {" 2.0 ", 2, "2.0"},
      {"-0.5", -0.5, "-0.5"},
      {"+7", 7, "7"},
      {"--.-", {}, ""},
      {"1e3", {}, ""},
      {"1,5", {}, ""},
      {"12.", {}, ""},
      {"", {}, ""},
      {"\xEF\xBF\xBD"
       "1.5",
       {},
       ""},
      {"１.５", {}, ""},
      {"9999999999999999999", {}, ""},
  };
  for (const auto& c : cases) {
    const Pressure read = Pressure::Read(c.characters);
    EXPECT_EQ(read.characters, c.characters) << "kept as sent";
    EXPECT_EQ(read.value(), c.value) << '"' << c.characters << '"';
    EXPECT_EQ(read.plain(), c.plain) << '"' << c.characters << '"';
  }
}

struct OpenSession : testing::ConsoleHarness {
  session::PumpSession& s = *session;
  OpenSession() {
    openPort("1");
    events.clear();
    serial.written.clear();
    dialogs.shown.clear();
  }
};

TEST(PumpSession, AReplyBecomesTheStateItsEventCarriesWithThePumpsCharacters) {
  OpenSession f;
  f.serial.receive("Q00N04.6YQ00P03.5YQ00L0150YQ00N0\x01.0Y");
  ASSERT_EQ(f.events.size(), 5U) << "link, three replies, and a reading";
  EXPECT_EQ(f.events[1].state.currentPressure.value(), 4.6);
  EXPECT_EQ(f.events[1].changed, session::Changed::CurrentPressure);
  EXPECT_EQ(f.events[2].state.pressureLimit.characters, "03.5");
  EXPECT_EQ(f.events[3].state.flowSetpoint.value(), 150);
  const Pressure odd = f.events[4].state.currentPressure;
  EXPECT_EQ(odd.characters, "0\xEF\xBF\xBD.0") << "the control byte shown as a stand-in";
  EXPECT_FALSE(odd.number) << "no number is made of it";
  EXPECT_EQ(f.window->display.currentPressure.caption(), odd.characters);
}

TEST(PumpSession, AKeypadSetpointIsTheStateOnceSentButADialogOneWaitsForThePump) {
  OpenSession f;
  for (char key : {'1', '2', '0'}) {
    if (key == '1') f.window->pressFlowKey();
    f.window->pressDigit(key);
  }
  EXPECT_EQ(f.serial.written, Frames{"Q00L0120Y"});
  EXPECT_EQ(f.s.state().flowSetpoint.value(), 120) << "shown as typed, and sent";
  f.dialogs.answers.push_back("3.5");
  f.window->askPressureLimit();
  EXPECT_EQ(f.serial.written.back(), "Q00P03.5Y");
  EXPECT_EQ(f.s.state().pressureLimit.characters, "02.0") << "until the pump answers";
  f.serial.receive("Q00P03.5Y");
  EXPECT_EQ(f.s.state().pressureLimit.value(), 3.5);
}

TEST(PumpSession, EveryCommandComesBackAcceptedOrRefusedWithItsReason) {
  OpenSession f;
  EXPECT_EQ(f.s.setFlow(201).reason, "flow out of range");
  EXPECT_EQ(f.s.setPressureLimit(-0.1).reason, "pressure limit out of range");
  EXPECT_EQ(f.s.timedRun(0).reason, "run length out of range");
  EXPECT_TRUE(f.serial.written.empty());
  EXPECT_EQ(f.s.run().outcome, session::CommandResult::Outcome::Sent);
  EXPECT_TRUE(f.s.state().pumpCommandedRunning);
  EXPECT_EQ(f.events.back().source, session::Source::Remote);
  f.window->closeWindow();
  EXPECT_EQ(f.s.stop().outcome, session::CommandResult::Outcome::Kept)
      << "a stop is kept for the line once one has been open";
  EXPECT_EQ(f.s.run().reason, "port not open");
  EXPECT_TRUE(f.dialogs.shown.empty()) << "requests from afar show no box";
}

TEST(PumpSession, TheTimedRunAndTheLineAreInTheStateOfEachEvent) {
  OpenSession f;
  ASSERT_TRUE(f.s.timedRun(1).ok());
  EXPECT_EQ(f.events.back().state.timedRun, session::TimedRunState::Running);
  EXPECT_EQ(f.events.back().state.port, f.events.front().state.port);
  f.window->pauseTimedRun();
  EXPECT_EQ(f.events.back().state.timedRun, session::TimedRunState::Paused);
  f.window->closeWindow();
  EXPECT_FALSE(f.events.back().state.port);
  EXPECT_EQ(f.s.state().link, LinkState::NotConnected);
}

TEST(PumpSession, ANumberOfAPumpBeyondTwoDigitsIsRefusedAndTheOldOneKept) {
  OpenSession f;
  EXPECT_TRUE(f.s.choosePumpAddress(7));
  EXPECT_FALSE(f.s.choosePumpAddress(100));
  EXPECT_FALSE(f.s.choosePumpAddress(-1));
  EXPECT_EQ(f.s.state().pumpAddress, 7);
}

// A console with no window, started before its adapter is plugged in.
TEST(PumpSession, APortTriedUntilItOpensTellsEachNewCauseOnceAndKeepsItInTheState) {
  testing::ConsoleHarness f;
  std::vector<std::string> told;
  f.session->setNoWindow();
  f.session->setOnNotice([&](const session::Notice& notice) { told.push_back(notice.text); });
  const PortError missing{PortError::Kind::NotFound, "No such file or directory"};
  const PortError busy{PortError::Kind::Busy, "Device or resource busy"};
  f.events.clear();
  f.serial.failNextOpen = missing;
  EXPECT_EQ(
      f.session->open("/dev/ttyUSB0", link::OpenRetry::UntilOpen).refusal,
      "无法打开通信端口 /dev/ttyUSB0：设备不存在。\n请检查端口号和串口线!\n每 2 秒重试一次。");
  EXPECT_EQ(f.session->state().linkCause, "not_found");
  EXPECT_EQ(f.session->stop().refusal, "通信端口 /dev/ttyUSB0 未打开，每 2 秒重试一次!");
  for (const PortError& error : {missing, busy, busy}) {
    f.serial.failNextOpen = error;
    f.clock.advance(2000);
  }
  ASSERT_EQ(told.size(), 1U) << "the open's own cause is the caller's to tell";
  EXPECT_NE(told[0].find("端口已被占用"), std::string::npos) << told[0];
  EXPECT_EQ(f.session->state().linkCause, "busy");
  EXPECT_EQ(f.eventDetails(EventKind::Link), Frames(2, "not_connected")) << "one per cause";

  f.clock.advance(2000);
  EXPECT_TRUE(f.session->connected());
  EXPECT_EQ(f.session->state().linkCause, "");
  const auto opened = std::find_if(f.events.begin(), f.events.end(),
                                   [](const auto& event) { return event.kind == EventKind::Open; });
  ASSERT_NE(opened, f.events.end());
  EXPECT_TRUE(session::StartsConnection(*opened))
      << "a first connection, with a run log of its own";
}

}  // namespace
}  // namespace pump
