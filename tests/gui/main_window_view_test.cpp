// The main window's widgets: places, names, menus, focus order, the pop-up
// rule and the ways out, checked on real widgets.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalSpy>

#include "app/composition.h"
#include "platform/qt/qt_application.h"
#include "records/record_file.h"
#include "tests/gui/main_window_view_harness.h"

namespace pump {
namespace {

using testing::MainWindowViewHarness;

struct Placed {
  const char* name;
  int index;
  int left, top, width, height;  // twips
};

// Design places in twips; 15 twips make a pixel.
constexpr Placed kPlaces[] = {
    {"Label4", 0, 6720, 600, 1215, 375},   {"Label4", 1, 6720, 960, 1215, 375},
    {"Label4", 2, 6720, 1320, 1215, 375},  {"LcurrP", -1, 7920, 600, 615, 375},
    {"LsetP", -1, 7920, 960, 615, 375},    {"LsetF", -1, 7920, 1320, 615, 375},
    {"Label5", 0, 8520, 600, 705, 375},    {"Label5", 1, 8520, 960, 705, 375},
    {"Label5", 2, 8520, 1320, 705, 375},   {"LSetState", -1, 6720, 1680, 1215, 375},
    {"Lstate", -1, 7920, 1680, 1320, 375}, {"lhour", -1, 0, 0, 615, 375},
    {"Label1", -1, 600, 0, 495, 375},      {"lmin", -1, 1080, 0, 495, 375},
    {"Label2", -1, 1560, 0, 495, 375},     {"lsed", -1, 2040, 0, 615, 375},
    {"Label3", -1, 2640, 0, 495, 375},     {"Cmd0", 13, 6720, 2160, 615, 375},
    {"Cmd1", 0, 7360, 2160, 615, 375},     {"Cmd2", 1, 8020, 2160, 615, 375},
    {"Cmd3", 2, 8680, 2160, 615, 375},     {"Cmd4", 4, 6720, 2640, 615, 375},
    {"Cmd5", 5, 7360, 2640, 615, 375},     {"Cmd6", 6, 8020, 2640, 615, 375},
    {"Cmd7", 8, 8680, 2640, 615, 375},     {"Cmd8", 9, 6720, 3120, 615, 375},
    {"Cmd9", 10, 7360, 3120, 615, 375},    {"Cmd0", 0, 8020, 3120, 615, 375},
    {"Cmd0", 1, 8680, 3120, 615, 375},     {"Cmdl", 3, 6720, 3600, 615, 375},
    {"Cmdp", 7, 7360, 3600, 615, 375},     {"Cmdr", 11, 8020, 3600, 615, 375},
    {"Cmds", 15, 8680, 3600, 615, 375},    {"Picture1", -1, 600, 4680, 9975, 2175},
};

int Px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

TEST(MainWindowView, EveryControlSitsAtItsDesignPlaceInAClientAreaOf727By502) {
  MainWindowViewHarness f;
  EXPECT_EQ(f.view->surface().size(), QSize(727, 502));
  // The client area's corner at 2025, 2115 twips, unless the screen is too narrow.
  const QRect screen = f.view->screen()->availableGeometry();
  EXPECT_EQ(f.view->surface().mapToGlobal(QPoint(0, 0)),
            QPoint(std::min(135, screen.right() + 1 - 727), 141));
  for (const Placed& p : kPlaces) {
    QWidget* w = f.find(p.name, p.index);
    ASSERT_NE(w, nullptr) << p.name << "(" << p.index << ")";
    EXPECT_EQ(w->parentWidget(), &f.view->surface()) << p.name;
    EXPECT_EQ(w->geometry(), QRect(Px(p.left), Px(p.top), Px(p.width), Px(p.height)))
        << p.name << "(" << p.index << ")";
  }
}

TEST(MainWindowView, StartUpGreysFourBarMenusAndHidesTheRunClock) {
  MainWindowViewHarness f;
  QStringList captions;
  QList<bool> enabled;
  for (QAction* a : f.view->menuBar()->actions()) {
    captions << a->text();
    enabled << a->isEnabled();
  }
  EXPECT_EQ(captions, (QStringList{"文件(F)", "定时(T)", "泵(O)", "设定(S)", "通信", "帮助(H)"}));
  EXPECT_EQ(enabled, (QList<bool>{false, false, false, false, true, true}));
  EXPECT_FALSE(f.find<QMenu>("rightkey")->isEnabled());

  EXPECT_EQ(f.find<QLabel>("LcurrP")->text(), "00.0");
  EXPECT_EQ(f.find<QLabel>("LsetP")->text(), "02.0");
  EXPECT_EQ(f.find<QLabel>("LsetF")->text(), "000");
  EXPECT_EQ(f.find<QLabel>("Lstate")->text(), "     STOP");
  EXPECT_EQ(f.find<QLabel>("LSetState")->text(), "");
  EXPECT_EQ(f.find<QLabel>("Label5", 2)->text(), " ml/m");
  for (const char* clock : {"lhour", "lmin", "lsed", "Label1", "Label2", "Label3"}) {
    EXPECT_FALSE(f.find(clock)->isVisible()) << clock;
  }
  EXPECT_TRUE(f.find("LcurrP")->isVisible());
}

TEST(MainWindowView, MenuItemsCarryTheirCaptionsInOrderWithoutAccessKeysOrShortcuts) {
  MainWindowViewHarness f;
  const auto items = [&](const char* menu) {
    QStringList texts;
    for (QAction* a : f.find<QMenu>(menu)->actions()) texts << a->text();
    return texts;
  };
  EXPECT_EQ(items("file"), (QStringList{"保存", "打印", "查看记录", "退出"}));
  EXPECT_EQ(items("settime"), (QStringList{"设定", "操作"}));
  EXPECT_EQ(items("operation"), (QStringList{"开始", "暂停", "继续", "结束"}));
  EXPECT_EQ(items("Pump"), (QStringList{"运行", "停止"}));
  EXPECT_EQ(items("seting"), (QStringList{"流量", "压力", "泵编号"}));
  EXPECT_EQ(items("rightkey"), (QStringList{"运行", "停止"}));
  EXPECT_FALSE(f.view->menuBar()->actions().contains(f.find<QMenu>("rightkey")->menuAction()));

  for (QAction* a : f.view->findChildren<QAction*>()) {
    EXPECT_TRUE(a->shortcut().isEmpty()) << a->text().toStdString();
    EXPECT_TRUE(QKeySequence::mnemonic(a->text()).isEmpty()) << a->text().toStdString();
  }
}

TEST(MainWindowView, LabelsAndMenusFollowTheWindowModel) {
  MainWindowViewHarness f;
  f.window->display.flowSetpoint.setCaption("150");
  f.window->display.minutes.setVisible(true);
  EXPECT_EQ(f.find<QLabel>("LsetF")->text(), "150");
  EXPECT_TRUE(f.find("lmin")->isVisible());

  f.window->menus.file.setEnabled(true);
  f.window->menus.popup.setEnabled(true);
  EXPECT_TRUE(f.find<QMenu>("file")->menuAction()->isEnabled());
  EXPECT_TRUE(f.find<QMenu>("rightkey")->isEnabled());
  EXPECT_FALSE(f.find<QMenu>("Pump")->menuAction()->isEnabled());
}

TEST(MainWindowView, MenuItemsAndBarCommandsRunTheirHandlers) {
  MainWindowViewHarness f;
  f.find<QAction>("viewrecord")->trigger();
  EXPECT_EQ(f.viewer.shows, 1);
  f.find<QAction>("help")->trigger();
  EXPECT_EQ(f.app.ends, 0);
  EXPECT_TRUE(f.dialogs.shown.empty());
  f.find<QAction>("end")->trigger();
  EXPECT_EQ(f.app.ends, 1);
  EXPECT_EQ(f.serial.closeCount, 0) << "ending at once skips the closing step";
}

TEST(MainWindowView, KeypadButtonsAreNamedByArrayAndFaceAndClickWithTheSpaceBar) {
  MainWindowViewHarness f;
  const std::pair<const char*, int> keys[] = {
      {"Cmd0", 13}, {"Cmd1", 0}, {"Cmd2", 1},  {"Cmd3", 2},  {"Cmd4", 4}, {"Cmd5", 5},
      {"Cmd6", 6},  {"Cmd7", 8}, {"Cmd8", 9},  {"Cmd9", 10}, {"Cmd0", 0}, {"Cmd0", 1},
      {"Cmdl", 3},  {"Cmdp", 7}, {"Cmdr", 11}, {"Cmds", 15}};
  const char* faces[] = {"0", "1", "2", "3", "4", "5", "6",   "7",
                         "8", "9", "▲", "▼", "L", "P", "RUN", "STOP"};
  for (std::size_t i = 0; i < std::size(keys); ++i) {
    auto* key = f.find<QAbstractButton>(keys[i].first, keys[i].second);
    ASSERT_NE(key, nullptr) << keys[i].first;
    EXPECT_EQ(key->accessibleName(), QString::fromUtf8(faces[i])) << keys[i].first;
    EXPECT_TRUE(key->text().isEmpty());
    EXPECT_TRUE(key->isEnabled());
  }
  auto* stop = f.find<QAbstractButton>("Cmds", 15);
  QSignalSpy clicks(stop, &QAbstractButton::clicked);
  stop->setFocus();
  QTest::keyClick(stop, Qt::Key_Space);
  EXPECT_EQ(clicks.count(), 1);
}

TEST(MainWindowView, TabRunsThroughTheKeypadInDesignOrderThenTheChart) {
  MainWindowViewHarness f;
  const std::pair<const char*, int> order[] = {
      {"Cmd1", 0},  {"Cmd2", 1},  {"Cmd3", 2}, {"Cmdl", 3}, {"Cmd4", 4},     {"Cmd5", 5},
      {"Cmd6", 6},  {"Cmdp", 7},  {"Cmd7", 8}, {"Cmd8", 9}, {"Cmd9", 10},    {"Cmdr", 11},
      {"Cmd0", 13}, {"Cmds", 15}, {"Cmd0", 0}, {"Cmd0", 1}, {"Picture1", -1}};
  QWidget* w = f.find(order[0].first, order[0].second);
  for (std::size_t i = 1; i < std::size(order); ++i) {
    do {
      w = w->nextInFocusChain();
    } while (!(w->focusPolicy() & Qt::TabFocus) || !w->isVisible());
    EXPECT_EQ(w, f.find(order[i].first, order[i].second)) << "after step " << i;
  }
}

class PopUpRule : public ::testing::Test {
 protected:
  MainWindowViewHarness f;
  QMenu* popup() { return f.find<QMenu>("rightkey"); }
  void press(QWidget* on, Qt::MouseButton button, QPoint at) {
    QTest::mousePress(on, button, {}, at);
    QTest::mouseRelease(on, button, {}, at);
  }
  bool popupShown() {
    const bool shown = popup()->isVisible();
    popup()->hide();
    return shown;
  }
};

TEST_F(PopUpRule, RightPressOnBareWindowOpensNothingBeforeThePortIsOpen) {
  press(&f.view->surface(), Qt::RightButton, {200, 100});
  EXPECT_FALSE(popupShown());
}

TEST_F(PopUpRule, RightPressOnBareWindowOpensThePopUpAtTheMouseOnceReleased) {
  f.window->menus.popup.setEnabled(true);
  QTest::mousePress(&f.view->surface(), Qt::RightButton, {}, {200, 100});
  ASSERT_TRUE(popup()->isVisible());
  EXPECT_EQ(popup()->pos(), f.view->surface().mapToGlobal(QPoint(200, 100)));
  QTest::mouseRelease(&f.view->surface(), Qt::RightButton, {}, {200, 100});

  // Either mouse button chooses an item.
  QAction* popupRun = f.find<QAction>("rrun");
  QSignalSpy chosen(popupRun, &QAction::triggered);
  const QPoint item = popup()->actionGeometry(popupRun).center();
  QTest::mouseMove(popup(), item);
  QTest::mouseClick(popup(), Qt::RightButton, {}, item);
  EXPECT_EQ(chosen.count(), 1);
  EXPECT_FALSE(popup()->isVisible());
}

TEST_F(PopUpRule, PressOnALabelAKeyOrTheChartOpensNothing) {
  f.window->menus.popup.setEnabled(true);
  for (QWidget* control : {f.find("Label4", 0), f.find("LSetState"), f.find("Cmdr", 11),
                           f.find("Cmd0", 1), f.find("Picture1")}) {
    press(control, Qt::RightButton, control->rect().center());
    EXPECT_FALSE(popupShown()) << control->objectName().toStdString();
  }
}

TEST_F(PopUpRule, LeftOrMiddlePressOnBareWindowOpensNothing) {
  f.window->menus.popup.setEnabled(true);
  press(&f.view->surface(), Qt::LeftButton, {200, 100});
  EXPECT_FALSE(popupShown());
  press(&f.view->surface(), Qt::MiddleButton, {200, 100});
  EXPECT_FALSE(popupShown());
}

TEST(MainWindowView, CloseBoxClosesThePortThenEndsTheProgram) {
  MainWindowViewHarness f;
  f.openPort();
  f.view->close();
  EXPECT_EQ(f.serial.closeCount, 1);
  EXPECT_FALSE(f.serial.isOpen());
  EXPECT_EQ(f.programEnds, 1);
}

TEST(MainWindowView, EndNowLeavesTheEventLoopWithoutClosingTheWindow) {
  MainWindowViewHarness f;
  qt::QtApplication application;
  QTimer::singleShot(0, [&] { application.endNow(); });
  EXPECT_EQ(QCoreApplication::exec(), 0);
  EXPECT_TRUE(f.view->isVisible());
  EXPECT_EQ(f.serial.closeCount, 0);
  EXPECT_EQ(f.programEnds, 0);
}

TEST(Composition, StartsTheRealWindowLoadedWithTitleIconAndRecordPath) {
  app::Console console;
  console.start();
  EXPECT_TRUE(console.mainWindowView().isVisible());
  EXPECT_EQ(console.mainWindowView().windowTitle(), "LP-200 计量泵控制台");
  EXPECT_FALSE(console.mainWindowView().windowIcon().isNull());
  EXPECT_FALSE(console.window().menus.file.enabled());
  EXPECT_TRUE(
      QString::fromStdString(records::DefaultRecordPath()).endsWith("/Documents/mytext.txt"));
}

}  // namespace
}  // namespace pump
