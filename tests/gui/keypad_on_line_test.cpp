// The keypad and the setpoint menus end to end: buttons clicked on the real
// main window, the Qt serial port on a pseudo-terminal, and the pump played by
// the test on the master side, which sees exactly what went out.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window_view.h"
#include "console/main_window.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_timer.h"
#include "tests/gui/console_on_qt.h"
#include "tests/gui/main_window_view_harness.h"
#include "tests/support/pty_pair.h"

namespace pump {
namespace {

using testing::PtyPair;
using testing::WaitUntil;

struct KeypadOnLine : testing::QtLine, testing::ViewOnly, testing::ConsoleHarness {
  PtyPair pump;

  KeypadOnLine() : ConsoleHarness(Deferred{}) {
    testing::ServiceOverrides services = qtServices();
    services.canvas = &view->chartCanvas();
    services.popup = &view->popupMenu();
    build(services, [this](console::MainWindow& w) { view->bind(w, [] {}); });
    view->show();
    static_cast<void>(QTest::qWaitForWindowExposed(view.get()));
  }
  ~KeypadOnLine() { window->closeWindow(); }

  void openLine() { openPort(pump.slavePath()); }

  // Clicks keys by face; '^' and 'v' are the arrow keys.
  void press(const std::string& faces) {
    for (char face : faces) {
      QAbstractButton* key = keyWithFace(face);
      ASSERT_NE(key, nullptr) << "no key " << face;
      QTest::mouseClick(key, Qt::LeftButton);
    }
  }

  QAbstractButton* keyWithFace(char face) const {
    switch (face) {
      case '0':
        return find<QAbstractButton>("Cmd0", 13);
      case '^':
        return find<QAbstractButton>("Cmd0", 0);
      case 'v':
        return find<QAbstractButton>("Cmd0", 1);
      case '1':
        return find<QAbstractButton>("Cmd1", 0);
      case '2':
        return find<QAbstractButton>("Cmd2", 1);
      case '3':
        return find<QAbstractButton>("Cmd3", 2);
      case '5':
        return find<QAbstractButton>("Cmd5", 5);
      case '7':
        return find<QAbstractButton>("Cmd7", 8);
      case 'L':
        return find<QAbstractButton>("Cmdl", 3);
      case 'P':
        return find<QAbstractButton>("Cmdp", 7);
      case 'R':
        return find<QAbstractButton>("Cmdr", 11);
      case 'S':
        return find<QAbstractButton>("Cmds", 15);
      default:
        return nullptr;
    }
  }

  QString shown(const char* label) const { return find<QLabel>(label)->text(); }

  template <typename Widget>
  Widget* find(const char* name, int index = -1) const {
    for (Widget* w : view->findChildren<Widget*>(QString::fromUtf8(name))) {
      const QVariant i = w->property("index");
      if ((index < 0 && !i.isValid()) || (i.isValid() && i.toInt() == index)) return w;
    }
    return nullptr;
  }

  // Command frames the pump received, the status polls left out. Waits for
  // `count` of them, or a little while when none are expected.
  std::vector<std::string> commandsOnLine(std::size_t count) {
    std::vector<std::string> commands;
    QElapsedTimer waited;
    waited.start();
    const int timeoutMs = count == 0 ? 200 : 3000;
    while (commands.size() < count || count == 0) {
      const std::string frame = pump.nextCommand(timeoutMs - static_cast<int>(waited.elapsed()));
      if (frame.empty()) break;
      commands.push_back(frame);
    }
    return commands;
  }
};

TEST(KeypadOnLine, KeysPutTheExactFramesOnTheLine) {
  KeypadOnLine f;
  ASSERT_TRUE(f.pump.ok());
  f.openLine();
  ASSERT_TRUE(f.menusReleased());

  f.press("L150");
  EXPECT_EQ(f.commandsOnLine(1), std::vector<std::string>{"Q00L0150Y"});
  EXPECT_EQ(f.shown("LsetF"), "150");
  EXPECT_EQ(f.shown("LSetState"), "");

  f.press("P025");
  EXPECT_EQ(f.commandsOnLine(1), std::vector<std::string>{"Q00P02.5Y"});
  EXPECT_EQ(f.shown("LsetP"), "02.5");

  f.press("L^5v");
  EXPECT_EQ(f.commandsOnLine(1), std::vector<std::string>{"Q00L0050Y"});

  f.press("R");
  EXPECT_EQ(f.commandsOnLine(1), std::vector<std::string>{"Q00R0000Y"});
  EXPECT_EQ(f.shown("Lstate"), "     RUN ");
  f.press("S");
  EXPECT_EQ(f.commandsOnLine(1), std::vector<std::string>{"Q00S0000Y"});
  EXPECT_EQ(f.shown("Lstate"), "     STOP");

  f.press("L201");
  EXPECT_TRUE(f.commandsOnLine(0).empty());
  EXPECT_EQ(f.shown("LSetState"), "Lset");
  ASSERT_EQ(f.dialogs.messages().size(), 1u);
  EXPECT_EQ(f.dialogs.messages()[0].prompt, "流量设定错误");
}

TEST(KeypadOnLine, AReplyMidEntryShowsAndTheOperatorsEntryStillGoesOut) {
  KeypadOnLine f;
  ASSERT_TRUE(f.pump.ok());
  f.openLine();
  f.press("L1");
  f.pump.write("Q00L0150Y");
  ASSERT_TRUE(WaitUntil([&] { return f.shown("LsetF") == "0150"; }, 2000));
  f.press("23");
  EXPECT_EQ(f.commandsOnLine(1), std::vector<std::string>{"Q00L0123Y"});
  EXPECT_EQ(f.shown("LsetF"), "123");
}

TEST(KeypadOnLine, PumpNumberAddressesKeypadSetpointsButNotTheMenus) {
  KeypadOnLine f;
  ASSERT_TRUE(f.pump.ok());
  f.openLine();
  f.dialogs.answers = {"7", "150"};
  f.find<QAction>("Pump_NO")->trigger();
  f.press("L150");
  f.find<QAction>("liquid")->trigger();
  f.find<QAction>("run")->trigger();
  f.find<QAction>("rstop")->trigger();
  EXPECT_EQ(f.commandsOnLine(4),
            (std::vector<std::string>{"Q07L0150Y", "Q00L0150Y", "Q00R0000Y", "Q00S0000Y"}));
  EXPECT_EQ(f.shown("Lstate"), "     STOP");
}

TEST(KeypadOnLine, KeysBeforeThePortIsOpenSendNothingAndSaySo) {
  KeypadOnLine f;
  ASSERT_TRUE(f.pump.ok());
  f.press("R");
  f.press("P025");
  EXPECT_TRUE(f.commandsOnLine(0).empty());
  EXPECT_EQ(f.dialogs.messages().size(), 2u);
  EXPECT_EQ(f.shown("Lstate"), "     STOP");
  EXPECT_EQ(f.shown("LSetState"), "Pset");
}

}  // namespace
}  // namespace pump
