// A short timed run on a real line: the Qt serial port and timers, the pump
// played by the test on the master side of a pseudo-terminal.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <memory>

#include "console/main_window.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_timer.h"
#include "tests/gui/pty_pair.h"
#include "tests/support/doubles.h"

namespace pump {
namespace {

using testing::PtyPair;

struct TimedRunOnQt {
  qt::QtSerialPort serial;
  qt::QtTimer timer1;
  qt::QtTimer timer2;
  testing::ScriptedDialogs dialogs;
  testing::RecordingCanvas canvas;
  testing::RecordingPrinter printer;
  testing::MemoryFiles files;
  testing::CountingApp app;
  testing::CountingPopup popup;
  testing::CountingWindow viewer;
  std::unique_ptr<console::Form1> form;

  TimedRunOnQt() {
    form = std::make_unique<console::Form1>(console::Form1Services{
        serial, timer1, timer2, dialogs, canvas, printer, files, app, popup, viewer, "record.txt"});
    form->Form_Load();
  }
  ~TimedRunOnQt() { form->Form_Unload(); }

  void answer(const std::string& text) { dialogs.answers.push_back(text); }
};

// The next frame that is not the status poll, or "" when none came in time.
std::string NextCommand(PtyPair& pump, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < timeoutMs) {
    const std::string frame = pump.read(9, static_cast<int>(timeoutMs - clock.elapsed()));
    if (frame.size() == 9 && frame != "Q00F0000Y") return frame;
  }
  return {};
}

TEST(TimedRunOnPseudoTerminal, ThreeSecondRunSendsRunThenStopsOnTime) {
  PtyPair pump;
  ASSERT_TRUE(pump.ok());
  TimedRunOnQt console;
  auto& w = *console.form;
  console.answer(pump.slavePath());
  w.Communication_Click();
  ASSERT_TRUE(w.connected());

  console.answer("0.05");  // minutes: three seconds
  w.stset_Click();

  QElapsedTimer sinceStart;
  sinceStart.start();
  w.ststart_Click();
  EXPECT_EQ(NextCommand(pump, 1000), "Q00R0000Y");
  EXPECT_LT(sinceStart.elapsed(), 500);
  EXPECT_TRUE(w.lhour.visible() && w.lmin.visible() && w.lsed.visible());

  EXPECT_EQ(NextCommand(pump, 5000), "Q00S0000Y");
  const qint64 stoppedAfter = sinceStart.elapsed();
  EXPECT_GE(stoppedAfter, 2900);
  EXPECT_LE(stoppedAfter, 3700);
  EXPECT_EQ(w.lhour.caption(), "0");
  EXPECT_EQ(w.lmin.caption(), "0");
  EXPECT_EQ(w.lsed.caption(), "3");
  EXPECT_TRUE(w.lsed.visible()) << "the final time stays on show";
  EXPECT_FALSE(console.timer1.enabled());
  EXPECT_EQ(w.runTimer().tset(), 0);

  // Nothing more but polls: the finished run stays stopped.
  EXPECT_EQ(NextCommand(pump, 1500), "");
  EXPECT_TRUE(console.dialogs.messages().empty());
}

}  // namespace
}  // namespace pump
