#include <gtest/gtest.h>

#include "link/port_name.h"
#include "tests/support/form1_fixture.h"

namespace pump {
namespace {

using testing::Form1Fixture;
using Calls = std::vector<std::string>;

const char* const kCommErrorTitle = "通信错误";

std::string Device(const std::string& answer) { return *link::PortDevice(answer); }

bool MenusReleased(const console::Form1& w) {
  return w.file.enabled() && w.settime.enabled() && w.Pump.enabled() && w.rightkey.enabled() &&
         w.seting.enabled();
}

bool MenusLocked(const console::Form1& w) {
  return !w.file.enabled() && !w.settime.enabled() && !w.Pump.enabled() && !w.rightkey.enabled() &&
         !w.seting.enabled();
}

Calls OpenSequence(const std::string& device) {
  return {"CommPort=" + device, "PortOpen=True", "Settings=9600,n,8,1", "InputLen=0",
          "RThreshold=9"};
}

TEST(PortBox, AsksForThePortWithItsOwnPromptTitleAndDefault) {
  Form1Fixture f;
  f.connect("1");
  ASSERT_FALSE(f.dialogs.shown.empty());
  const auto& box = f.dialogs.shown.front();
  EXPECT_EQ(box.kind, "InputBox");
  EXPECT_EQ(box.prompt, "Input communication port");
  EXPECT_EQ(box.title, "Commport");
  EXPECT_EQ(box.defaultAnswer, 1);
}

TEST(OpeningTheLine, OpensThenSetsTheLineThenReleasesMenusThenStartsThePoll) {
  Form1Fixture f;
  auto& w = *f.form;
  Calls order;
  const std::vector<std::pair<MenuEntry*, std::string>> menus{{&w.file, "file"},
                                                              {&w.settime, "settime"},
                                                              {&w.Pump, "Pump"},
                                                              {&w.rightkey, "rightkey"},
                                                              {&w.seting, "seting"}};
  for (const auto& [menu, name] : menus) {
    menu->setObserver([&, name = name] {
      order.push_back(name + (f.timer2.enabled() ? " after poll" : ""));
      EXPECT_EQ(f.serial.calls.size(), 5U) << "the line is set up before " << name;
    });
  }
  f.connect("3");
  EXPECT_EQ(f.serial.calls, OpenSequence(Device("3")));
  EXPECT_EQ(f.serial.settings, "9600,n,8,1");
  EXPECT_EQ(f.serial.inputLen, 0);
  EXPECT_EQ(f.serial.rThreshold, 9);
  EXPECT_EQ(order, (Calls{"file", "settime", "Pump", "rightkey", "seting"}));
  EXPECT_TRUE(f.timer2.enabled());
  EXPECT_TRUE(w.connected());
  EXPECT_TRUE(f.dialogs.messages().empty());
}

TEST(OpeningTheLine, PortNumbersFollowTheIntegerConversion) {
  for (const auto& [answer, device] :
       std::vector<std::pair<std::string, std::string>>{{"1", Device("1")},
                                                        {"2.5", Device("2")},
                                                        {"3.5", Device("4")},
                                                        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
                                                        {"sim", "sim"}}) {
    Form1Fixture f;
    f.connect(answer);
    EXPECT_EQ(f.serial.commPort(), device) << answer;
    EXPECT_TRUE(f.serial.isOpen()) << answer;
  }
}

TEST(StatusPoll, FirstPollComesOneIntervalAfterTheOpenAndThenEvery1500Ms) {
  Form1Fixture f;
  f.clock.advance(700);  // the open does not fall on a tick boundary
  f.connect();
  f.clock.advance(1499);
  EXPECT_TRUE(f.serial.written.empty());
  f.clock.advance(1);
  EXPECT_EQ(f.serial.written, (Calls{"Q00F0000Y"}));
  f.clock.advance(1500 * 3 - 1);
  EXPECT_EQ(f.serial.written.size(), 3U);
  f.clock.advance(1);
  EXPECT_EQ(f.serial.written, Calls(4, "Q00F0000Y")) << "each poll is its own write";
}

TEST(StatusPoll, KeepsGoingWithASilentPumpAndReportsNothing) {
  Form1Fixture f;
  f.connect();
  f.clock.advance(1500 * 40);
  EXPECT_EQ(f.serial.written.size(), 40U);
  EXPECT_TRUE(f.dialogs.messages().empty());
  EXPECT_TRUE(f.form->connected());
}

TEST(PortBoxAnswers, CancelDoesNothingAndSaysNothing) {
  Form1Fixture f;
  f.connect("");
  EXPECT_TRUE(f.serial.calls.empty());
  EXPECT_TRUE(f.dialogs.messages().empty());
  EXPECT_TRUE(MenusLocked(*f.form));
  f.clock.advance(5000);
  EXPECT_TRUE(f.serial.written.empty());
}

TEST(PortBoxAnswers, AnAnswerThatNamesNoPortIsReportedAndOpensNothing) {
  for (const std::string answer : {"abc", "0", "-2", "40000", "2,5"}) {
    Form1Fixture f;
    f.connect(answer);
    const auto messages = f.dialogs.messages();
    ASSERT_EQ(messages.size(), 1U) << answer;
    EXPECT_NE(messages[0].prompt.find("“" + answer + "”不是有效的通信端口"), std::string::npos)
        << messages[0].prompt;
    EXPECT_EQ(messages[0].title, kCommErrorTitle);
    EXPECT_EQ(f.serial.openCount, 0) << answer;
    EXPECT_TRUE(MenusLocked(*f.form)) << answer;
    EXPECT_FALSE(f.timer2.enabled()) << answer;
  }
}

struct OpenFailure {
  PortError error;
  std::string mustMention;
};

TEST(PortThatCannotBeOpened, IsNamedWithTheReasonAndLeavesTheConsoleLocked) {
  const std::vector<OpenFailure> failures{
      {{PortError::Kind::NotFound, "No such file or directory"}, "No such file or directory"},
      {{PortError::Kind::PermissionDenied, "Permission denied"}, "dialout"},
      {{PortError::Kind::Busy, "Device or resource busy"}, "其他程序"},
      {{PortError::Kind::NotSerial, "Inappropriate ioctl for device"}, "不是串口"},
      {{PortError::Kind::Other, "Unknown error"}, "Unknown error"}};
  for (const auto& failure : failures) {
    Form1Fixture f;
    f.serial.failNextOpen = failure.error;
    f.connect("1");
    const auto messages = f.dialogs.messages();
    ASSERT_EQ(messages.size(), 1U);
    const std::string& text = messages[0].prompt;
    EXPECT_EQ(text.rfind("无法打开通信端口 " + Device("1") + ": " + failure.error.reason, 0), 0U)
        << text;
    EXPECT_NE(text.find(failure.mustMention), std::string::npos) << text;
    EXPECT_EQ(messages[0].title, kCommErrorTitle);
    EXPECT_EQ(f.serial.calls, (Calls{"CommPort=" + Device("1"), "PortOpen=True"}));
    EXPECT_TRUE(MenusLocked(*f.form));
    f.clock.advance(5000);
    EXPECT_TRUE(f.serial.written.empty());
  }
}

TEST(PortThatCannotBeOpened, CanBeRetriedWithAnotherAnswer) {
  Form1Fixture f;
  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  f.connect("1");
  f.connect("/dev/ttyUSB0");
  EXPECT_TRUE(f.form->connected());
  EXPECT_TRUE(MenusReleased(*f.form));
  EXPECT_EQ(f.dialogs.messages().size(), 1U);
}

TEST(PortThatRefusesTheLineSettings, IsClosedAndReported) {
  Form1Fixture f;
  f.serial.refuseSettings = true;
  f.connect("1");
  EXPECT_FALSE(f.serial.isOpen());
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_NE(f.dialogs.messages()[0].prompt.find("9600,n,8,1"), std::string::npos);
  EXPECT_TRUE(MenusLocked(*f.form));
  EXPECT_FALSE(f.timer2.enabled());
}

TEST(ChoosingCommunicationAgain, ClosesTheOpenPortBeforeOpeningTheNewOne) {
  Form1Fixture f;
  f.connect("1");
  f.serial.calls.clear();
  f.clock.advance(1000);
  f.connect("/dev/ttyUSB0");
  Calls expected{"PortOpen=False"};
  for (const auto& call : OpenSequence("/dev/ttyUSB0")) expected.push_back(call);
  EXPECT_EQ(f.serial.calls, expected);
  EXPECT_TRUE(f.form->connected());
  // The poll restarts with the new port: nothing at the old schedule's 1500 ms.
  f.clock.advance(1000);
  EXPECT_TRUE(f.serial.written.empty());
  f.clock.advance(500);
  EXPECT_EQ(f.serial.written, (Calls{"Q00F0000Y"}));
}

TEST(ChoosingCommunicationAgain, AFailedReopenLeavesTheConsoleNotConnected) {
  Form1Fixture f;
  f.connect("1");
  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  f.connect("/dev/ttyUSB9");
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_NE(f.dialogs.messages()[0].prompt.find("/dev/ttyUSB9"), std::string::npos);
  EXPECT_FALSE(f.serial.isOpen());
  EXPECT_FALSE(f.form->connected());
  EXPECT_TRUE(MenusLocked(*f.form));
  f.clock.advance(5000);
  EXPECT_TRUE(f.serial.written.empty());
}

TEST(ChoosingCommunicationAgain, CancelOrANonsenseAnswerKeepsTheOpenLine) {
  Form1Fixture f;
  f.connect("1");
  f.connect("");
  f.connect("abc");
  EXPECT_EQ(f.serial.closeCount, 0);
  EXPECT_TRUE(f.form->connected());
  f.clock.advance(1500);
  EXPECT_EQ(f.serial.written.size(), 1U);
}

TEST(LostLine, IsReportedOnceAndLocksTheConsoleUntilReopened) {
  Form1Fixture f;
  f.connect("/dev/ttyUSB0");
  f.clock.advance(3000);
  f.serial.loseLine("Input/output error");
  f.serial.loseLine("Input/output error");  // the layer repeats itself
  const auto messages = f.dialogs.messages();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_NE(messages[0].prompt.find("/dev/ttyUSB0"), std::string::npos);
  EXPECT_NE(messages[0].prompt.find("Input/output error"), std::string::npos);
  EXPECT_EQ(messages[0].title, kCommErrorTitle);
  EXPECT_FALSE(f.serial.isOpen());
  EXPECT_TRUE(MenusLocked(*f.form));
  EXPECT_FALSE(f.form->connected());
  const auto pollsBefore = f.serial.written.size();
  f.clock.advance(6000);
  EXPECT_EQ(f.serial.written.size(), pollsBefore);

  f.connect("/dev/ttyUSB1");
  EXPECT_TRUE(f.form->connected());
  EXPECT_TRUE(MenusReleased(*f.form));
  f.clock.advance(1500);
  EXPECT_EQ(f.serial.written.size(), pollsBefore + 1);
}

TEST(LostLine, DuringATimedRunHaltsTheClockAndWarnsThePumpMayStillRun) {
  Form1Fixture f;
  f.connect("/dev/ttyUSB0");
  f.dialogs.answers.push_back("1");
  f.form->stset_Click();
  f.form->ststart_Click();
  f.clock.advance(10000);
  f.serial.loseLine("Input/output error");
  EXPECT_FALSE(f.timer1.enabled());
  f.clock.advance(120000);  // past the run length: no stop can go out, and no box per second
  const auto messages = f.dialogs.messages();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_NE(messages[0].prompt.find("定时运行已中断"), std::string::npos);
  EXPECT_EQ(f.form->lsed.caption(), "10") << "the clock shows where the run stood";
}

TEST(LostLine, WithNoTimedRunSaysNothingAboutOne) {
  Form1Fixture f;
  f.connect("/dev/ttyUSB0");
  f.serial.loseLine("Input/output error");
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_EQ(f.dialogs.messages()[0].prompt.find("定时运行"), std::string::npos);
}

TEST(LostLine, AHalfFrameFromTheOldLineDoesNotJoinTheNewOne) {
  Form1Fixture f;
  f.connect("/dev/ttyUSB0");
  f.serial.receive("xxxxxQ00N0");  // leaves "Q00N0" waiting for its tail
  f.serial.loseLine("Input/output error");
  f.connect("/dev/ttyUSB0");
  f.serial.receive("9.9YQ00L0150Y");
  EXPECT_EQ(f.form->LcurrP.caption(), "00.0");
  EXPECT_EQ(f.form->LsetF.caption(), "0150");
}

TEST(StatusPoll, AWriteTheLineRefusesIsReportedOnceAndStopsThePoll) {
  Form1Fixture f;
  f.connect("1");
  f.serial.refuseWrites = true;
  f.clock.advance(1500 * 5);
  ASSERT_EQ(f.dialogs.messages().size(), 1U);
  EXPECT_EQ(f.dialogs.messages()[0].title, kCommErrorTitle);
  EXPECT_FALSE(f.form->connected());
  EXPECT_FALSE(f.timer2.enabled());
  EXPECT_FALSE(f.serial.isOpen());
}

TEST(ClosingTheWindow, ClosesThePortWhetherOrNotItWasOpened) {
  Form1Fixture never;
  never.form->Form_Unload();
  EXPECT_EQ(never.serial.closeCount, 1);

  Form1Fixture opened;
  opened.connect();
  opened.form->Form_Unload();
  EXPECT_EQ(opened.serial.closeCount, 1);
  EXPECT_FALSE(opened.serial.isOpen());
  EXPECT_TRUE(opened.dialogs.messages().empty());
}

}  // namespace
}  // namespace pump
