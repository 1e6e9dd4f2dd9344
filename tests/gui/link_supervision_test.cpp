// Link supervision on real lines: a pump that falls silent and answers again,
// an adapter that goes away and comes back under the same name, a timed run
// whose end falls while the line is down, and the status line as it looks.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>
#include <cmath>

#include "tests/gui/console_on_qt.h"
#include "tests/gui/main_window_view_harness.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_sim_process.h"

namespace pump {
namespace {

using testing::WaitUntil;

const std::string& Status(testing::ConsoleHarness& console) {
  return console.window->display.linkStatus.caption();
}

TEST(LinkOnPseudoTerminal, ASilentPumpShowsNoAnswerWithinFiveSecondsAndAnAnswerClearsIt) {
  testing::PtyPair pump;
  ASSERT_TRUE(pump.ok());
  testing::ConsoleOnQt console;
  console.open(pump.slavePath());
  EXPECT_EQ(Status(console), "● 等待泵应答");
  ASSERT_TRUE(WaitUntil([&] { return Status(console).rfind("● 无应答", 0) == 0; }, 5000))
      << Status(console);
  pump.write("Q00N01.5Y");
  ASSERT_TRUE(WaitUntil([&] { return Status(console) != "● 无应答 4 秒"; }, 1000));
  EXPECT_EQ(Status(console), "● 通信正常  " + pump.slavePath());
  EXPECT_EQ(console.window->display.currentPressure.caption(), "01.5");
}

// pump-sim hangs up after two seconds and comes back two seconds later on a
// new pseudo-terminal, under the same link name, as udev does for an adapter.
struct AdapterThatComesBack {
  QTemporaryDir folder;
  std::string link = QDir(folder.path()).filePath("pump").toStdString();
  testing::PumpSimProcess sim{{"--hangup-after", "2", "--return-after", "2", "--link", link}};
};

TEST(LinkOnPseudoTerminal, AnAdapterThatComesBackIsInUseWithinThreeSecondsWithoutTheOperator) {
  AdapterThatComesBack adapter;
  ASSERT_EQ(adapter.sim.devicePath(), adapter.link);
  testing::ConsoleOnQt console;
  console.open(adapter.link);
  ASSERT_TRUE(console.menusReleased());
  ASSERT_TRUE(WaitUntil([&] { return console.messages().size() == 1; }, 5000));
  EXPECT_EQ(Status(console), "● 通信中断，正在重连…");
  EXPECT_TRUE(console.menusLocked());
  // Back two seconds after the hang-up; in use within three more.
  ASSERT_TRUE(WaitUntil([&] { return console.menusReleased(); }, 5500));
  EXPECT_EQ(Status(console), "● 等待泵应答");
  console.events.clear();
  ASSERT_TRUE(
      WaitUntil([&] { return !console.eventDetails(pump::EventKind::Reading).empty(); }, 3000))
      << "the poll resumed and the pump answers";
  EXPECT_EQ(Status(console), "● 通信正常  " + adapter.link);
  EXPECT_EQ(console.messages().size(), 1U) << "coming back needs no box";
}

TEST(LinkOnPseudoTerminal, ATimedRunEndingWhileTheLineIsDownStopsThePumpFirstThingOnTheNewLine) {
  AdapterThatComesBack adapter;
  testing::ConsoleOnQt console;
  console.open(adapter.link);
  console.startTimedRun("0.05");  // three seconds: the end falls while the line is down
  ASSERT_TRUE(WaitUntil([&] { return Status(console) == "● 停泵命令待发送"; }, 5000))
      << Status(console);
  const std::size_t before = console.events.size();
  ASSERT_TRUE(WaitUntil(
      [&] { return console.eventDetails(pump::EventKind::Run).back() == "stop_sent"; }, 5000));
  // What went out, and what came back, once the line was back.
  auto after = [&](pump::EventKind kind) {
    std::vector<std::string> details;
    for (std::size_t i = before; i < console.events.size(); ++i) {
      if (console.events[i].kind == kind) details.push_back(console.events[i].detail);
    }
    return details;
  };
  ASSERT_FALSE(after(pump::EventKind::Command).empty());
  EXPECT_EQ(after(pump::EventKind::Command).front(), "Q00S0000Y");
  ASSERT_TRUE(WaitUntil([&] { return !after(pump::EventKind::Reply).empty(); }, 3000));
  EXPECT_EQ(after(pump::EventKind::Reply).front(), "Q00S0000Y")
      << "the new line's pump heard the stop";
  ASSERT_EQ(console.messages().size(), 2U);
  EXPECT_NE(console.messages()[1].find("补发"), std::string::npos);
}

// WCAG contrast of two colours.
double Contrast(QColor a, QColor b) {
  auto channel = [](double v) {
    v /= 255;
    return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
  };
  auto luminance = [&](QColor c) {
    return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Each state of the status line, shown on the real window and saved as a
// picture; its text colour against the panel it is drawn on.
TEST(LinkStatusLook, EveryStateReadsAtLeastFourAndAHalfToOneOnItsPanel) {
  testing::MainWindowViewHarness f;
  auto* label = f.find<QLabel>("linkStatus");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->accessibleDescription(), "linkStatus");
  EXPECT_GT(label->y(), 457) << "below the chart box";
  auto look = [&](const char* name) {
    QApplication::processEvents();
    EXPECT_EQ(label->accessibleName().isEmpty() ? label->text() : label->accessibleName(),
              label->text());
    const QImage shot = f.view->grab().toImage();
    shot.save(QStringLiteral("link_status_%1.png").arg(QLatin1String(name)));
    const QPoint corner = label->mapTo(f.view.get(), QPoint(1, 1));
    const QColor panel = shot.pixelColor(corner);
    const QColor text = label->palette().color(QPalette::WindowText);
    EXPECT_GE(Contrast(text, panel), 4.5)
        << name << " " << text.name().toStdString() << " on " << panel.name().toStdString();
  };
  look("not_connected");
  f.openPort("/dev/ttyUSB0");
  look("waiting");
  f.serial.receive("Q00N00.0Y");
  look("answering");
  f.serial.receive("Q00P04.5YQ00N04.6Y");
  look("over_limit");
  f.clock.advance(12'500);
  look("no_answer");
  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  f.serial.loseLine("Input/output error");
  look("reconnecting");
  f.window->pressStopKey();
  look("stop_waiting");
}

}  // namespace
}  // namespace pump
