#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "link/port_name.h"
#include "tests/support/console_harness.h"

namespace pump {
namespace {

using testing::ConsoleHarness;
using Calls = std::vector<std::string>;

const char* const kCommErrorTitle = "通信错误";

std::string Device(const std::string& answer) { return *link::PortDevice(answer); }

TEST(PortBox, AsksForThePortWithItsOwnPromptTitleAndDefault) {
  ConsoleHarness f;
  f.openPort("1");
  ASSERT_FALSE(f.dialogs.shown.empty());
  const auto& box = f.dialogs.shown.front();
  EXPECT_EQ(box.kind, "question");
  EXPECT_EQ(box.prompt, "Input communication port");
  EXPECT_EQ(box.title, "Commport");
  EXPECT_EQ(box.defaultAnswer, "1");
}

TEST(OpeningTheLine, OpensTheDeviceAtNineSixHundredEightNoneOneReleasesTheMenusAndTellsTheFeed) {
  ConsoleHarness f;
  f.clock.advance(40);
  f.openPort("3");
  EXPECT_EQ(f.serial.opened, (Calls{Device("3")}));
  EXPECT_EQ(f.serial.settings, (LineSettings{9600, Parity::None, 8, 1}));
  EXPECT_TRUE(f.menusReleased());
  EXPECT_TRUE(f.window->menus.communication.enabled());
  EXPECT_TRUE(f.dialogs.messages().empty());
  ASSERT_EQ(f.events.size(), 2U);
  EXPECT_EQ(f.events[1].kind, pump::EventKind::Link);
  EXPECT_EQ(f.events[1].detail, "waiting");
  EXPECT_EQ(f.events[0].kind, pump::EventKind::Open);
  EXPECT_EQ(f.events[0].detail, Device("3"));
  EXPECT_EQ(f.events[0].state.pressureLimit.characters, "02.0");
  EXPECT_EQ(f.events[0].monotonicTime.time_since_epoch(), std::chrono::milliseconds(40));
}

TEST(OpeningTheLine, PortNumbersFollowTheIntegerConversion) {
  for (const auto& [answer, device] :
       std::vector<std::pair<std::string, std::string>>{{"1", Device("1")},
                                                        {"2.5", Device("2")},
                                                        {"3.5", Device("4")},
                                                        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
                                                        {"sim", "sim"}}) {
    ConsoleHarness f;
    f.openPort(answer);
    EXPECT_EQ(f.serial.device(), device) << answer;
    EXPECT_TRUE(f.serial.isOpen()) << answer;
  }
}

TEST(StatusPoll, FirstPollComesOneIntervalAfterTheOpenAndThenEvery1500Ms) {
  ConsoleHarness f;
  f.clock.advance(700);  // the open does not fall on a tick boundary
  f.openPort();
  f.clock.advance(1499);
  EXPECT_TRUE(f.serial.written.empty());
  f.clock.advance(1);
  EXPECT_EQ(f.serial.written, (Calls{"Q00F0000Y"}));
  f.clock.advance(1500 * 3 - 1);
  EXPECT_EQ(f.serial.written.size(), 3U);
  f.clock.advance(1);
  EXPECT_EQ(f.serial.written, Calls(4, "Q00F0000Y")) << "each poll is its own write";
  EXPECT_TRUE(f.eventDetails(pump::EventKind::Command).empty()) << "a poll is no command";
}

TEST(StatusPoll, KeepsGoingWithASilentPumpAndReportsNothing) {
  ConsoleHarness f;
  f.openPort();
  f.clock.advance(1500 * 40);
  EXPECT_EQ(f.serial.written.size(), 40U);
  EXPECT_TRUE(f.dialogs.messages().empty());
  EXPECT_TRUE(f.menusReleased());
}

TEST(PortBoxAnswers, CancelDoesNothingAndSaysNothing) {
  ConsoleHarness f;
  f.openPort("");
  EXPECT_EQ(f.serial.openCount, 0);
  EXPECT_TRUE(f.dialogs.messages().empty());
  EXPECT_TRUE(f.menusLocked());
  f.clock.advance(5000);
  EXPECT_TRUE(f.serial.written.empty());
}

TEST(PortBoxAnswers, AnAnswerThatNamesNoPortIsReportedAndOpensNothing) {
  for (const std::string answer : {"abc", "0", "-2", "40000", "2,5"}) {
    ConsoleHarness f;
    f.openPort(answer);
    const auto messages = f.dialogs.messages();
    ASSERT_EQ(messages.size(), 1U) << answer;
    EXPECT_NE(messages[0].prompt.find("“" + answer + "”不是有效的通信端口"), std::string::npos)
        << messages[0].prompt;
    EXPECT_EQ(messages[0].title, kCommErrorTitle);
    EXPECT_EQ(f.serial.openCount, 0) << answer;
    EXPECT_TRUE(f.menusLocked()) << answer;
    EXPECT_FALSE(f.pollTimer.enabled()) << answer;
  }
}

struct OpenFailure {
  PortError error;
  std::string mustMention;
};

// The common causes in Chinese, on a first line of their own; the advice on the next.
TEST(PortThatCannotBeOpened, IsNamedWithTheCauseInChineseAndLeavesTheConsoleLocked) {
  const std::vector<OpenFailure> failures{
      {{PortError::Kind::NotFound, "No such file or directory"}, "设备不存在。\n请检查端口号"},
      {{PortError::Kind::PermissionDenied, "Permission denied"},
       "没有使用该端口的权限。\n请将当前用户加入 dialout 组"},
      {{PortError::Kind::Busy, "Device or resource busy"},
       "端口已被占用。\n该端口正被其他程序使用"},
      {{PortError::Kind::NotSerial, "Inappropriate ioctl for device"}, "不是串口设备。\n"},
      {{PortError::Kind::Other, "Unknown error"}, "（Unknown error）。\n"}};
  for (const auto& failure : failures) {
    ConsoleHarness f;
    f.serial.failNextOpen = failure.error;
    f.openPort("1");
    const auto messages = f.dialogs.messages();
    ASSERT_EQ(messages.size(), 1U);
    const std::string& text = messages[0].prompt;
    EXPECT_EQ(text.rfind("无法打开通信端口 " + Device("1") + "：", 0), 0U) << text;
    EXPECT_NE(text.find(failure.mustMention), std::string::npos) << text;
    EXPECT_EQ(messages[0].title, kCommErrorTitle);
    EXPECT_FALSE(f.serial.isOpen());
    EXPECT_TRUE(f.menusLocked());
    f.clock.advance(5000);
    EXPECT_TRUE(f.serial.written.empty());
  }
}

TEST(PortThatCannotBeOpened, CanBeRetriedWithAnotherAnswer) {
  ConsoleHarness f;
  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  f.openPort("1");
  f.openPort("/dev/ttyUSB0");
  EXPECT_TRUE(f.menusReleased());
  EXPECT_TRUE(f.menusReleased());
  EXPECT_EQ(f.dialogs.messages().size(), 1U);
}

TEST(PortThatRefusesTheLineSettings, IsReportedWithTheSettingsAndLeavesTheConsoleLocked) {
  ConsoleHarness f;
  f.serial.failNextOpen = PortError{PortError::Kind::SettingsRefused, "Invalid argument"};
  f.openPort("1");
  EXPECT_FALSE(f.serial.isOpen());
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_EQ(f.dialogs.messages()[0].prompt,
            "通信端口 " + Device("1") + " 不接受参数 9600,n,8,1，已关闭该端口!");
  EXPECT_TRUE(f.menusLocked());
  EXPECT_FALSE(f.pollTimer.enabled());
}

TEST(ChoosingCommunicationAgain, ClosesTheOpenPortBeforeOpeningTheNewOne) {
  ConsoleHarness f;
  f.openPort("1");
  f.clock.advance(1000);
  f.serial.written.clear();
  f.openPort("/dev/ttyUSB0");
  EXPECT_EQ(f.serial.closeCount, 1);
  EXPECT_EQ(f.serial.opened, (Calls{Device("1"), "/dev/ttyUSB0"}));
  EXPECT_TRUE(f.menusReleased());
  EXPECT_EQ(f.eventDetails(pump::EventKind::Close), Calls{Device("1")});
  EXPECT_EQ(f.eventDetails(pump::EventKind::Open), (Calls{Device("1"), "/dev/ttyUSB0"}));
  // The poll restarts with the new port: nothing at the old schedule's 1500 ms.
  f.clock.advance(1000);
  EXPECT_TRUE(f.serial.written.empty());
  f.clock.advance(500);
  EXPECT_EQ(f.serial.written, (Calls{"Q00F0000Y"}));
}

TEST(ChoosingCommunicationAgain, AFailedReopenLeavesTheConsoleNotConnected) {
  ConsoleHarness f;
  f.openPort("1");
  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  f.openPort("/dev/ttyUSB9");
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_NE(f.dialogs.messages()[0].prompt.find("/dev/ttyUSB9"), std::string::npos);
  EXPECT_FALSE(f.serial.isOpen());
  EXPECT_FALSE(f.menusReleased());
  EXPECT_TRUE(f.menusLocked());
  f.clock.advance(5000);
  EXPECT_TRUE(f.serial.written.empty());
}

TEST(ChoosingCommunicationAgain, CancelOrANonsenseAnswerKeepsTheOpenLine) {
  ConsoleHarness f;
  f.openPort("1");
  f.openPort("");
  f.openPort("abc");
  EXPECT_EQ(f.serial.closeCount, 0);
  EXPECT_TRUE(f.menusReleased());
  f.clock.advance(1500);
  EXPECT_EQ(f.serial.written.size(), 1U);
}

TEST(LostLine, IsReportedOnceLocksTheMenusAndIsReopenedEveryTwoSeconds) {
  ConsoleHarness f;
  f.openPort("/dev/ttyUSB0");
  f.clock.advance(3000);
  f.serial.loseLine("Input/output error");
  f.serial.loseLine("Input/output error");  // the layer repeats itself
  const auto messages = f.dialogs.messages();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_NE(messages[0].prompt.find("/dev/ttyUSB0"), std::string::npos);
  EXPECT_NE(messages[0].prompt.find("已断开：输入/输出错误。\n正在自动重连"), std::string::npos)
      << messages[0].prompt;
  EXPECT_EQ(messages[0].title, kCommErrorTitle);
  EXPECT_FALSE(f.serial.isOpen());
  EXPECT_TRUE(f.menusLocked());
  EXPECT_EQ(f.window->display.linkStatus.caption(), "● 通信中断，正在重连…");

  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  const auto pollsBefore = f.serial.written.size();
  f.clock.advance(3999);
  EXPECT_EQ(f.serial.written.size(), pollsBefore) << "no poll on a lost line";
  EXPECT_TRUE(f.menusLocked());
  f.clock.advance(1);  // the second try finds it back
  EXPECT_TRUE(f.menusReleased());
  EXPECT_EQ(f.serial.opened, (Calls{"/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyUSB0"}));
  EXPECT_EQ(f.window->display.linkStatus.caption(), "● 等待泵应答");
  f.clock.advance(1500);
  EXPECT_EQ(f.serial.written.size(), pollsBefore + 1);
  f.serial.receive("Q00N00.0Y");
  EXPECT_EQ(f.window->display.linkStatus.caption(), "● 通信正常  /dev/ttyUSB0");
  EXPECT_EQ(f.dialogs.messages().size(), 1U) << "coming back needs no box";
  EXPECT_EQ(f.eventDetails(pump::EventKind::Link),
            (Calls{"waiting", "lost", "reconnecting", "waiting", "answering"}));

  // A line that comes and goes: its box, still up, counts the losses.
  for (int loss = 2; loss <= 3; ++loss) {
    f.serial.loseLine("Input/output error");
    f.clock.advance(2000);
    ASSERT_TRUE(f.menusReleased()) << "loss " << loss;
  }
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_TRUE(f.dialogs.messages()[0].prompt.ends_with("\n本提示框显示期间，通信已断开 3 次。"))
      << f.dialogs.messages()[0].prompt;
  f.dialogs.closeNotices();
  f.serial.loseLine("Input/output error");
  ASSERT_EQ(f.dialogs.messages().size(), 2U) << "a loss after the box was closed raises a new one";
  EXPECT_EQ(f.dialogs.messages()[1].prompt, messages[0].prompt);
}

TEST(LostLine, AnotherPortOpenedByTheOperatorEndsTheReconnecting) {
  ConsoleHarness f;
  f.openPort("/dev/ttyUSB0");
  f.serial.loseLine("Input/output error");
  f.openPort("/dev/ttyUSB1");
  EXPECT_TRUE(f.menusReleased());
  f.clock.advance(10000);
  EXPECT_EQ(f.serial.opened, (Calls{"/dev/ttyUSB0", "/dev/ttyUSB1"}));
}

TEST(LostLine, DuringATimedRunTheClockGoesOnAndTheDueStopGoesOutFirstWhenTheLineIsBack) {
  ConsoleHarness f;
  f.openPort("/dev/ttyUSB0");
  f.startTimedRun("0.5");
  f.clock.advance(10000);
  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  f.serial.loseLine("Input/output error");
  f.serial.written.clear();
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_NE(f.messages()[0].find("定时运行继续计时"), std::string::npos);
  // Reconnect tries at 12 s (the open fails) and every 2 s after: keep them failing.
  for (int second = 11; second <= 40; ++second) {
    f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
    f.clock.advance(1000);
  }
  EXPECT_EQ(f.window->display.seconds.caption(), "30") << "the run's end fell due on time";
  EXPECT_EQ(f.window->display.linkStatus.caption(), "● 停泵命令待发送");
  EXPECT_EQ(f.dialogs.messages().size(), 1U) << "a due stop opens no box";
  EXPECT_TRUE(f.serial.written.empty());

  f.clock.advance(2000);  // the line is back
  ASSERT_FALSE(f.serial.written.empty());
  EXPECT_EQ(f.serial.written.front(), "Q00S0000Y") << "the stop goes first";
  ASSERT_EQ(f.dialogs.messages().size(), 2U);
  EXPECT_NE(f.messages()[1].find("补发"), std::string::npos);
  EXPECT_EQ(f.eventDetails(pump::EventKind::Run), (Calls{"start", "stop_due", "stop_sent"}));
}

TEST(LostLine, WithNoTimedRunSaysNothingAboutOne) {
  ConsoleHarness f;
  f.openPort("/dev/ttyUSB0");
  f.serial.loseLine("Input/output error");
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_EQ(f.dialogs.messages()[0].prompt.find("定时运行"), std::string::npos);
}

TEST(LostLine, AHalfFrameFromTheOldLineDoesNotJoinTheNewOne) {
  ConsoleHarness f;
  f.openPort("/dev/ttyUSB0");
  f.serial.receive("xxxxxQ00N0");  // leaves "Q00N0" waiting for its tail
  f.serial.loseLine("Input/output error");
  f.openPort("/dev/ttyUSB0");
  f.serial.receive("9.9YQ00L0150Y");
  EXPECT_EQ(f.window->display.currentPressure.caption(), "00.0");
  EXPECT_EQ(f.window->display.flowSetpoint.caption(), "0150");
}

TEST(StatusPoll, AWriteTheLineRefusesIsReportedOnceAndStopsThePoll) {
  ConsoleHarness f;
  f.openPort("1");
  f.serial.refuseWrites = true;
  f.clock.advance(1500 + 1999);  // the first poll fails; the reopen is two seconds later
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_EQ(f.dialogs.messages()[0].title, kCommErrorTitle);
  EXPECT_FALSE(f.menusReleased());
  EXPECT_FALSE(f.pollTimer.enabled());
  EXPECT_FALSE(f.serial.isOpen());
}

TEST(ClosingTheWindow, ClosesThePortWhetherOrNotItWasOpened) {
  ConsoleHarness never;
  never.window->closeWindow();
  EXPECT_FALSE(never.serial.isOpen());

  ConsoleHarness opened;
  opened.openPort();
  opened.window->closeWindow();
  EXPECT_EQ(opened.serial.closeCount, 1);
  EXPECT_EQ(opened.eventDetails(pump::EventKind::Close), Calls{Device("1")});
  EXPECT_FALSE(opened.serial.isOpen());
  EXPECT_TRUE(opened.dialogs.messages().empty());
}

}  // namespace
}  // namespace pump

namespace pump {
namespace {

// A timed run of six seconds, two seconds in, on /dev/ttyUSB0.
struct RunOnUsb0 : ConsoleHarness {
  explicit RunOnUsb0(testing::ServiceOverrides overrides = {})
      : ConsoleHarness(std::move(overrides)) {
    openPort("/dev/ttyUSB0");
    startTimedRun("0.1");
    clock.advance(2000);
    serial.written.clear();
    events.clear();
  }
  long stops() const { return std::ranges::count(serial.written, std::string("Q00S0000Y")); }
};

// The session's own open, whoever calls it, ends a program on its line.
TEST(PortChangeDuringARun, AProgramEndsOnItsLineWhenTheSessionAloneOpensAnother) {
  ConsoleHarness f;
  f.openPort("/dev/ttyUSB0");
  ASSERT_TRUE(f.session->startProgram({"p", {program::Step{60, 10, 10, 20}}}).ok());
  f.serial.written.clear();
  f.events.clear();
  ASSERT_TRUE(f.session->open("/dev/ttyUSB1").ok());
  f.clock.advance(70'000);
  EXPECT_EQ(f.serial.written.front(), "Q00S0000Y");
  EXPECT_EQ(std::ranges::count(f.serial.written, std::string("Q00S0000Y")), 1);
  const auto at = [&](pump::EventKind kind) {
    return std::ranges::find(f.events, kind, &session::SessionEvent::kind) - f.events.begin();
  };
  EXPECT_LT(at(pump::EventKind::Program), at(pump::EventKind::Close)) << "in the old line's log";
  EXPECT_EQ(f.eventDetails(pump::EventKind::Program), Calls{"abort"});
}

// A stop kept while the line was down goes to the same port, by its name or
// by its adapter's, and to no other pump.
TEST(PortChangeAfterALoss, AKeptStopGoesOnlyToTheSamePortOrAdapter) {
  struct Row {
    const char* opened;
    bool stopGoes;
  };
  const std::map<std::string, std::string> adapters = {
      {"/dev/ttyUSB0", "/dev/serial/by-id/usb-A"},
      {"/dev/ttyUSB1", "/dev/serial/by-id/usb-A"},  // the same adapter back under a new name
      {"/dev/ttyUSB2", "/dev/serial/by-id/usb-B"}};
  for (const Row row :
       {Row{"/dev/ttyUSB0", true}, Row{"/dev/ttyUSB1", true}, Row{"/dev/ttyUSB2", false}}) {
    RunOnUsb0 f({.stableName = [&](const std::string& device) -> std::optional<std::string> {
      const auto found = adapters.find(device);
      if (found == adapters.end()) return std::nullopt;
      return found->second;
    }});
    f.serial.loseLine("Input/output error");
    for (int second = 0; second < 6; ++second) {  // the stop falls due while the line is down
      f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "gone"};
      f.clock.advance(1000);
    }
    ASSERT_TRUE(f.session->holdsKeptStop());
    f.serial.written.clear();
    f.dialogs.yesNoAnswers = {true};
    f.openPort(row.opened);
    EXPECT_EQ(f.stops(), row.stopGoes ? 1 : 0) << row.opened;
    EXPECT_FALSE(f.session->holdsKeptStop());
    EXPECT_FALSE(f.session->runOrProgramUnderWay()) << row.opened;
    EXPECT_EQ(f.eventDetails(pump::EventKind::Run).back(), row.stopGoes ? "stop_sent" : "end");
    const std::string told = f.messages().back();
    EXPECT_EQ(told.find("/dev/ttyUSB0 上的泵未收到停泵命令") != std::string::npos, !row.stopGoes)
        << told;
  }
}

}  // namespace
}  // namespace pump
