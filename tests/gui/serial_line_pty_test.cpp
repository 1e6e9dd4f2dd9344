// The console on a real line: the main window with the Qt serial port and timers, the
// pump played by the test on the master side of a pseudo-terminal.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <memory>

#include "tests/gui/console_on_qt.h"
#include "tests/support/pty_pair.h"

namespace pump {
namespace {

using testing::ConsoleOnQt;
using testing::PtyPair;
using testing::WaitUntil;

TEST(LineOnPseudoTerminal, PollsShowsRepliesReportsALostPumpOnceAndReopens) {
  PtyPair pump;
  ASSERT_TRUE(pump.ok());
  ConsoleOnQt console;
  auto& w = *console.window;

  QElapsedTimer sinceOpen;
  sinceOpen.start();
  console.open(pump.slavePath());
  ASSERT_TRUE(console.dialogs.messages().empty()) << console.dialogs.messages().front().prompt;
  ASSERT_TRUE(testing::MenusReleased(w));
  EXPECT_TRUE(w.menus.file.enabled());

  EXPECT_EQ(pump.read(9, 3000), "Q00F0000Y");
  EXPECT_GE(sinceOpen.elapsed(), 1400);
  EXPECT_LE(sinceOpen.elapsed(), 2500);

  // Replies joined and split across writes.
  pump.write("Q00N01.5YQ00P0");
  QTest::qWait(30);
  pump.write("3.5YQ00L0150Y");
  ASSERT_TRUE(WaitUntil([&] { return w.display.flowSetpoint.caption() == "0150"; }, 2000));
  EXPECT_EQ(w.display.currentPressure.caption(), "01.5");
  EXPECT_EQ(w.display.pressureLimit.caption(), "03.5");
  EXPECT_EQ(w.chart().position(), 3);

  // Ten replies at once raise one readyRead; all of them count.
  std::string burst;
  for (int i = 0; i < 10; ++i) burst += "Q00N02." + std::to_string(i) + "Y";
  pump.write(burst);
  ASSERT_TRUE(WaitUntil([&] { return w.chart().position() == 13; }, 2000)) << w.chart().position();
  EXPECT_EQ(w.display.currentPressure.caption(), "02.9");

  // The pump goes away.
  pump.closeMaster();
  ASSERT_TRUE(WaitUntil([&] { return !testing::MenusReleased(w); }, 3000));
  QTest::qWait(300);  // a storm of errors would show as more messages
  const auto messages = console.dialogs.messages();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_EQ(messages[0].title, "通信错误");
  EXPECT_NE(messages[0].prompt.find(pump.slavePath()), std::string::npos) << messages[0].prompt;
  EXPECT_FALSE(console.qtSerial.isOpen());
  EXPECT_FALSE(console.qtPollTimer.enabled());
  EXPECT_FALSE(w.menus.file.enabled());
  EXPECT_FALSE(w.menus.popup.enabled());

  // Another pump on another line.
  PtyPair second;
  ASSERT_TRUE(second.ok());
  console.open(second.slavePath());
  ASSERT_TRUE(testing::MenusReleased(w));
  EXPECT_EQ(console.dialogs.messages().size(), 1U);
  EXPECT_EQ(second.read(9, 3000), "Q00F0000Y");
  second.write("Q00N04.4Y");
  EXPECT_TRUE(WaitUntil([&] { return w.display.currentPressure.caption() == "04.4"; }, 2000));
}

TEST(LineOnPseudoTerminal, AMissingDeviceIsReportedWithItsName) {
  ConsoleOnQt console;
  console.open("/dev/ttyNoSuchPort7");
  const auto messages = console.dialogs.messages();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_EQ(messages[0].prompt.rfind("无法打开通信端口 /dev/ttyNoSuchPort7：", 0), 0U)
      << messages[0].prompt;
  EXPECT_FALSE(testing::MenusReleased(*console.window));
  EXPECT_FALSE(console.qtPollTimer.enabled());
}

}  // namespace
}  // namespace pump
