// The port box on screen: the ports listed under the prompt, the names
// completed from the edit field, and the port used last kept in the user's
// configuration. Qt does not list pseudo-terminals, so the box's own tests
// hand it a listing that holds one; the whole console lists what Qt finds.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <functional>

#include "app/composition.h"
#include "platform/qt/qt_dialogs.h"
#include "tests/gui/console_on_qt.h"
#include "tests/support/port_box_answer.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_sim_process.h"

namespace pump {
namespace {

using testing::ShownPortBox;

// A console on a real line whose boxes are Qt's, shown as the operator sees them.
struct ConsoleWithQtBoxes : testing::QtLine, testing::ConsoleHarness {
  ConsoleWithQtBoxes() : ConsoleHarness(Deferred{}) {
    testing::ServiceOverrides services = qtServices();
    services.dialogs = &qtDialogs;
    build(services);
  }
  ~ConsoleWithQtBoxes() { window->closeWindow(); }
  qt::QtDialogs qtDialogs;
};

// What the box shows, read off its widgets.
struct BoxOnScreen {
  QString title, prompt, hints, answer;
  QStringList buttons, completions;
};

BoxOnScreen Read(QDialog& box) {
  BoxOnScreen shown;
  shown.title = box.windowTitle();
  shown.prompt = box.findChild<QLabel*>(QStringLiteral("prompt"))->text();
  shown.hints = box.findChild<QLabel*>(QStringLiteral("hints"))->text();
  auto* edit = box.findChild<QLineEdit*>(QStringLiteral("answer"));
  shown.answer = edit->text();
  for (auto* button : box.findChild<QDialogButtonBox*>()->buttons())
    shown.buttons << button->text();
  auto* model = edit->completer()->model();
  for (int row = 0; row < model->rowCount(); ++row) {
    shown.completions << model->index(row, 0).data().toString();
  }
  return shown;
}

QAbstractItemView* CompletionList(QDialog& box) {
  return box.findChild<QLineEdit*>(QStringLiteral("answer"))->completer()->popup();
}

// The box with its completion list drawn over it where it drops down.
QImage Picture(QDialog& box) {
  QAbstractItemView* list = CompletionList(box);
  const QRect boxArea(box.mapToGlobal(QPoint(0, 0)), box.frameSize());
  const QRect listArea(list->mapToGlobal(QPoint(0, 0)), list->size());
  const QRect whole = list->isVisible() ? boxArea.united(listArea) : boxArea;
  QImage picture(whole.size(), QImage::Format_RGB32);
  picture.fill(Qt::white);
  QPainter painter(&picture);
  painter.drawPixmap(boxArea.topLeft() - whole.topLeft(), box.grab());
  if (list->isVisible()) painter.drawPixmap(listArea.topLeft() - whole.topLeft(), list->grab());
  return picture;
}

// Runs `answer` on the port box once it is up and has the keyboard, as a
// box the operator just opened has (a completion is only taken into an edit
// field that has the focus).
void WhenPortBoxShown(std::function<void(qt::HintedInputDialog&)> answer) {
  QTimer::singleShot(0, [answer = std::move(answer)] {
    auto* box = ShownPortBox();
    ASSERT_NE(box, nullptr);
    box->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(box));
    answer(*box);
  });
}

TEST(PortBoxOnScreen, ListsThePortsUnderThePromptAndCompletesAPseudoTerminalThatThenOpens) {
  testing::PtyPair pump;
  ASSERT_TRUE(pump.ok());
  const QString pty = QString::fromStdString(pump.slavePath());
  ConsoleWithQtBoxes f;
  f.ports.ports = {{"/dev/ttyUSB0", "FT232R USB UART"}, {pump.slavePath(), ""}};
  BoxOnScreen shown;
  QStringList dropped;
  QString completed;
  WhenPortBoxShown([&](qt::HintedInputDialog& box) {
    shown = Read(box);
    Picture(box).save(QStringLiteral("port-box-opened.png"));
    auto* edit = box.findChild<QLineEdit*>(QStringLiteral("answer"));
    QTest::keyClicks(edit, QStringLiteral("pts"));
    QAbstractItemView* list = CompletionList(box);
    for (int row = 0; row < list->model()->rowCount(); ++row) {
      dropped << list->model()->index(row, 0).data().toString();
    }
    Picture(box).save(QStringLiteral("port-box-completing.png"));
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);  // takes the completion
    completed = edit->text();
    if (completed != pty) edit->setText(pty);  // checked below; a wrong answer would block here
    QTest::keyClick(edit, Qt::Key_Return);     // answers the box
  });
  f.window->choosePort();

  EXPECT_EQ(shown.title, "Commport");
  EXPECT_EQ(shown.prompt, "Input communication port");
  EXPECT_EQ(shown.hints, pty + "\n/dev/ttyUSB0  FT232R USB UART\nsim");
  EXPECT_EQ(shown.answer, "1") << "no port was opened before";
  EXPECT_EQ(shown.buttons, (QStringList{"确定", "取消"}));
  EXPECT_EQ(shown.completions, (QStringList{pty, "/dev/ttyUSB0", "sim"}));
  EXPECT_EQ(dropped, QStringList{pty});
  EXPECT_EQ(completed, pty);
  EXPECT_TRUE(f.menusReleased());
  EXPECT_EQ(f.qtSerial.device(), pump.slavePath());
  EXPECT_TRUE(f.qtSerial.isOpen());
  EXPECT_EQ(f.lastPort.answer, pump.slavePath());
}

TEST(PortBoxOnScreen, DownArrowDropsEveryNameAndEnterWithNoneChosenAnswersWithWhatWasTyped) {
  qt::QtDialogs dialogs;
  const HintedInputBox box{"Input communication port",
                           "Commport",
                           "1",
                           {"/dev/ttyS0", "/dev/ttyUSB0  CP2102", "sim"},
                           {"/dev/ttyS0", "/dev/ttyUSB0", "sim"}};
  int droppedOnDown = 0;
  bool listUpAfterTyping = false;
  WhenPortBoxShown([&](qt::HintedInputDialog& shown) {
    auto* edit = shown.findChild<QLineEdit*>(QStringLiteral("answer"));
    QAbstractItemView* list = CompletionList(shown);
    QTest::keyClick(edit, Qt::Key_Down);
    if (list->isVisible()) droppedOnDown = list->model()->rowCount();
    QTest::keyClick(list, Qt::Key_Escape);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("si"));
    listUpAfterTyping = list->isVisible();
    QTest::keyClicks(edit, QStringLiteral("m"));
    QTest::keyClick(list->isVisible() ? static_cast<QWidget*>(list) : edit, Qt::Key_Return);
  });
  EXPECT_EQ(dialogs.askWithHints(box), "sim");
  EXPECT_EQ(droppedOnDown, 3);
  EXPECT_TRUE(listUpAfterTyping);

  WhenPortBoxShown([](qt::HintedInputDialog& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
  EXPECT_EQ(dialogs.askWithHints(box), "") << "Cancel answers with the empty text";
}

// Where the console keeps its settings; the test run points it at a folder of its own.
QString SettingsFile() {
  return QSettings(QSettings::IniFormat, QSettings::UserScope, "pump-console", "pump-console")
      .fileName();
}

TEST(PortBoxInTheWholeConsole, ListsWhatQtFindsAndOffersThePortOpenedLastInTheNextSession) {
  testing::PumpSimProcess pump;
  ASSERT_FALSE(pump.devicePath().empty());
  QFile::remove(SettingsFile());
  {
    app::Console first(/*logFolder=*/"");
    first.start();
    BoxOnScreen shown;
    WhenPortBoxShown([&](qt::HintedInputDialog& box) {
      shown = Read(box);
      testing::AnswerPortBox(box, pump.devicePath());
    });
    first.window().choosePort();
    ASSERT_TRUE(testing::MenusReleased(first.window()));
    QStringList found;
    for (const auto& info : QSerialPortInfo::availablePorts()) found << info.systemLocation();
    for (const auto& path : found) EXPECT_TRUE(shown.hints.contains(path)) << path.toStdString();
    EXPECT_TRUE(shown.hints.endsWith("sim"));
    EXPECT_EQ(shown.answer, "1");
  }
  QFile file(SettingsFile());
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << SettingsFile().toStdString();
  EXPECT_TRUE(file.readAll().contains(("last=" + pump.devicePath()).c_str()));

  app::Console second(/*logFolder=*/"");
  second.start();
  QString offered;
  WhenPortBoxShown([&](qt::HintedInputDialog& box) {
    offered = Read(box).answer;
    QTest::keyClick(&box, Qt::Key_Escape);
  });
  second.window().choosePort();
  EXPECT_EQ(offered, QString::fromStdString(pump.devicePath()));
}

}  // namespace
}  // namespace pump
