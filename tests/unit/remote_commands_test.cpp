// The console's command surface for a remote controller, and the events the
// console publishes for what it does.
#include <gtest/gtest.h>

#include "tests/support/console_harness.h"

namespace pump {
namespace {

using pump::EventKind;
using testing::ConsoleHarness;
using Frames = std::vector<std::string>;

struct OpenConsole : ConsoleHarness {
  OpenConsole() {
    openPort("1");
    events.clear();
    dialogs.shown.clear();
  }
};

TEST(RemoteCommands, SetpointsGoToPumpZeroUnderTheDialogRulesAndChangeNoReadOut) {
  OpenConsole f;
  auto& w = *f.window;
  EXPECT_TRUE(f.session->setFlow(150).ok());
  EXPECT_TRUE(f.session->setPressureLimit(2.5).ok());
  EXPECT_EQ(f.serial.written, (Frames{"Q00L0150Y", "Q00P02.5Y"}));
  EXPECT_EQ(w.display.flowSetpoint.caption(), "000");
  EXPECT_EQ(w.display.pressureLimit.caption(), "02.0");
  EXPECT_TRUE(f.dialogs.shown.empty()) << "a remote command shows no box";
}

TEST(RemoteCommands, RefusedSetpointsSendNothingAndComeBackWithTheOperatorsText) {
  OpenConsole f;
  const session::CommandResult flow = f.session->setFlow(200.5);
  EXPECT_FALSE(flow.ok());
  EXPECT_EQ(flow.refusal, "流量设定错误!");
  EXPECT_EQ(flow.reason, "flow out of range");
  EXPECT_EQ(f.session->setFlow(-1).refusal, "流量设定错误!");
  const session::CommandResult limit = f.session->setPressureLimit(5.1);
  EXPECT_EQ(limit.refusal, "压力设定错误!");
  EXPECT_EQ(limit.reason, "pressure limit out of range");
  EXPECT_EQ(f.session->timedRun(0).refusal, "定时时间设定错误!");
  EXPECT_TRUE(f.serial.written.empty());
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(RemoteCommands, EachNotedRemoteCommandIsOneCommandOrRefusedEventWithTheDisplayAfterIt) {
  OpenConsole f;
  EXPECT_TRUE(f.session->run().ok());
  f.session->note(EventKind::Command, "remote run request_id=r1");
  f.session->note(EventKind::Refused,
                  "remote set_flow 250 request_id=r2 error=ml_min must be at most 200");
  EXPECT_EQ(f.eventDetails(EventKind::Command), (Frames{"Q00R0000Y", "remote run request_id=r1"}));
  EXPECT_EQ(f.eventDetails(EventKind::Refused),
            Frames{"remote set_flow 250 request_id=r2 error=ml_min must be at most 200"});
  EXPECT_TRUE(f.events.back().state.pumpCommandedRunning);
}

TEST(RemoteCommands, RunAndStopShowOnTheRunStateAsTheKeysDo) {
  OpenConsole f;
  auto& w = *f.window;
  EXPECT_TRUE(f.session->run().ok());
  EXPECT_EQ(w.display.pumpState.caption(), "     RUN ");
  EXPECT_TRUE(f.session->stop().ok());
  EXPECT_EQ(w.display.pumpState.caption(), "     STOP");
  EXPECT_EQ(f.eventDetails(EventKind::Command), (Frames{"Q00R0000Y", "Q00S0000Y"}));
  EXPECT_TRUE(f.events[0].state.pumpCommandedRunning) << "the pump as told by the command";
  EXPECT_FALSE(f.events[1].state.pumpCommandedRunning);
}

TEST(RemoteCommands, WithoutAnOpenLineEveryCommandIsRefusedWithoutABox) {
  ConsoleHarness f;
  auto& w = *f.window;
  for (const session::CommandResult& result :
       {f.session->setFlow(10), f.session->setPressureLimit(1), f.session->run(), f.session->stop(),
        f.session->timedRun(2)}) {
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.refusal, "通信端口未打开，请先通过“通信”菜单打开通信端口!");
    EXPECT_EQ(result.reason, "port not open");
  }
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_EQ(w.display.pumpState.caption(), "     STOP");
}

TEST(RemoteCommands, ATimedRunRunsThePumpForItsMinutesAndStopsIt) {
  OpenConsole f;
  auto& w = *f.window;
  EXPECT_TRUE(f.session->timedRun(0.5).ok());
  EXPECT_TRUE(w.display.seconds.visible());
  f.clock.advance(29'999);
  EXPECT_EQ(f.eventDetails(EventKind::Command), Frames{"Q00R0000Y"});
  f.clock.advance(1);
  EXPECT_EQ(f.eventDetails(EventKind::Command), (Frames{"Q00R0000Y", "Q00S0000Y"}));
  EXPECT_EQ(f.eventDetails(EventKind::Run), (Frames{"start", "stop_due", "stop_sent"}));
}

TEST(ConsoleEvents, TimedRunStepsArePublishedAsTheyHappen) {
  OpenConsole f;
  auto& w = *f.window;
  f.startTimedRun("5");
  f.clock.advance(2000);
  w.pauseTimedRun();
  w.continueTimedRun();
  w.endTimedRun();
  EXPECT_EQ(f.eventDetails(EventKind::Run), (Frames{"start", "pause", "continue", "end"}));
  EXPECT_EQ(f.eventDetails(EventKind::Command),
            (Frames{"Q00R0000Y", "Q00S0000Y", "Q00R0000Y", "Q00S0000Y"}));
}

TEST(ConsoleEvents, ALostLineIsPublishedAsACloseThenTheLinkState) {
  OpenConsole f;
  f.clock.advance(700);
  f.serial.loseLine("Input/output error");
  ASSERT_EQ(f.events.size(), 2U);
  EXPECT_EQ(f.events[0].kind, EventKind::Close);
  EXPECT_EQ(f.events[0].detail, f.serial.device());
  EXPECT_EQ(f.events[0].wallTime - f.eventClock.wallNow(), std::chrono::milliseconds(0));
  EXPECT_EQ(f.events[1].kind, EventKind::Link);
  EXPECT_EQ(f.events[1].detail, "lost");
}

// A line with no pump on it may be silent, or a loopback that hands back
// each poll it is sent: the echo is still a reply, but no answer.
TEST(LinkStatusLine,
     ASilentOrEchoingLineIsAwaitedFromTheOpenThenNotAnsweringAfterFourAndAHalfSeconds) {
  for (const bool echoes : {false, true}) {
    SCOPED_TRACE(echoes ? "echoes" : "silent");
    ConsoleHarness f;
    const auto echo = [&] {
      if (echoes) f.serial.receive(f.serial.written.back());
    };
    const Label& status = f.window->display.linkStatus;
    f.openPort("1");
    EXPECT_EQ(status.caption(), "● 等待泵应答");
    EXPECT_EQ(status.colour(), (Rgb{0x59, 0x59, 0x59})) << "grey: neither good nor bad yet";
    for (int poll = 0; poll < 2; ++poll) {
      f.clock.advance(1500);
      echo();
    }
    f.clock.advance(1499);
    EXPECT_EQ(status.caption(), "● 等待泵应答");
    f.clock.advance(1);
    echo();
    EXPECT_EQ(status.caption(), "● 无应答 4 秒");
    EXPECT_EQ(f.eventDetails(EventKind::Link), (Frames{"waiting", "no_answer"}));
    EXPECT_EQ(f.eventDetails(EventKind::Reply).size(), echoes ? 3U : 0U);
    f.serial.receive("Q00N00.0Y");
    EXPECT_EQ(status.caption(), "● 通信正常  " + f.serial.device());
    EXPECT_EQ(f.eventDetails(EventKind::Link), (Frames{"waiting", "no_answer", "answering"}));
  }
}

TEST(LinkStatusLine, ShowsSilenceInSecondsAndAReadingAtTheLimitUntilOneFallsBelow) {
  OpenConsole f;
  const Label& status = f.window->display.linkStatus;
  f.serial.receive("Q00P04.5Y");
  EXPECT_EQ(status.caption(), "● 通信正常  " + f.serial.device());
  EXPECT_EQ(status.colour(), (Rgb{0x00, 0x64, 0x00}));
  f.serial.receive("Q00N04.6Y");
  EXPECT_EQ(status.caption(), "● 压力超限 4.6 MPa ≥ 4.5 MPa");
  f.serial.receive("Q00N04.5Y");
  EXPECT_EQ(status.caption(), "● 压力超限 4.5 MPa ≥ 4.5 MPa") << "at the limit counts";
  f.serial.receive("Q00N04.4Y");
  EXPECT_EQ(status.caption(), "● 通信正常  " + f.serial.device());
  f.clock.advance(4500);
  EXPECT_EQ(status.caption(), "● 无应答 4 秒");
  EXPECT_EQ(status.colour(), (Rgb{0xb0, 0x00, 0x00}));
  f.clock.advance(8000);
  EXPECT_EQ(status.caption(), "● 无应答 12 秒");
  EXPECT_EQ(f.eventDetails(EventKind::Link), (Frames{"answering", "no_answer"}));
  f.window->closeWindow();
  EXPECT_EQ(status.caption(), "● 未连接");
}

}  // namespace
}  // namespace pump
