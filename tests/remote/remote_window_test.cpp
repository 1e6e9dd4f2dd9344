// Remote monitoring in the console's window: its menu entry, its dialog and
// its status line, with a real broker.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include "app/composition.h"
#include "platform/qt/caption_label.h"
#include "remote/qt/remote_dialog.h"
#include "remote/qt/remote_monitoring.h"
#include "remote/qt/remote_status_line.h"
#include "tests/support/test_broker.h"

namespace pump::remote::testing {
namespace {

using pump::testing::ScratchFolder;
using pump::testing::TestBroker;

TEST(RemoteInTheWindow, ToolsMenuOpensTheDialogAndTheStatusLineFollowsTheBroker) {
  if (const auto why = TestBroker::MissingReason()) GTEST_SKIP() << *why;
  QStandardPaths::setTestModeEnabled(true);  // settings go to a test folder
  TestBroker broker;
  ASSERT_TRUE(broker.start());
  app::Console console;
  console.start();
  auto& view = console.mainWindowView();
  auto* status = view.findChild<QLabel*>("remoteStatus");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text(), "") << "remote monitoring is off until set up";

  auto* tools = view.findChild<QMenu*>("tools");
  ASSERT_NE(tools, nullptr);
  EXPECT_TRUE(tools->isEnabled()) << "the tools menu needs no open port";
  auto* item = view.findChild<QAction*>("remoteMonitor");
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->text(), "远程监控…");

  // The operator sets a broker in the dialog and presses OK.
  bool answered = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* url = dialog->findChild<QLineEdit*>("brokerUrl");
    url->clear();
    QTest::keyClicks(url, QString::fromStdString(broker.url()));
    QTest::keyClicks(dialog->findChild<QLineEdit*>("pumpId"), "window-test");
    dialog->accept();
    answered = true;
  });
  item->trigger();
  ASSERT_TRUE(answered);
  EXPECT_TRUE(QTest::qWaitFor([&] { return status->text() == "● 远程: 已连接"; }, 5000))
      << status->text().toStdString();

  const QString shots =
      qEnvironmentVariable("PUMP_SCREENSHOTS", QString::fromStdString(ScratchFolder().path()));
  view.grab().save(shots + "/remote-status-line.png");

  broker.kill();
  EXPECT_TRUE(QTest::qWaitFor([&] { return status->text().startsWith("● 远程: 未连接"); }, 5000))
      << status->text().toStdString();
}

// Counts the paints a widget is asked for.
class PaintCount : public QObject {
 public:
  explicit PaintCount(QWidget& widget) { widget.installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST(RemoteInTheWindow, TheStatusLineIsAsWideAsItsTextAndIsNotRepaintedWithTheLinkCaption) {
  QWidget surface;
  surface.resize(727, 500);
  auto* link = new pump::qt::CaptionLabel(&surface);
  link->setObjectName("linkStatus");
  link->setGeometry(40, 460, 665, 23);
  link->setSolidBackground(QColor(0xf4, 0xf6, 0xfb));
  QLabel* line = qt::AddRemoteStatusLine(surface);
  EXPECT_FALSE(line->isVisibleTo(&surface)) << "nothing to say yet";

  qt::ShowRemoteStatus(*line, QStringLiteral("● 远程: 已连接"), QColor(0, 0x64, 0));
  surface.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&surface));
  EXPECT_TRUE(line->isVisible());
  EXPECT_EQ(link->geometry().right() - line->geometry().right(), 7) << "a margin of 6 pixels";
  EXPECT_GE(line->width(), line->fontMetrics().horizontalAdvance(line->text()));
  EXPECT_LT(line->width(), link->width() / 2);

  // Over the limit, the link's caption changes with every reply.
  PaintCount count(*line);
  for (int i = 0; i < 5; ++i) {
    link->setText(QStringLiteral("● 压力超限 0%1.1 MPa ≥ 02.0 MPa").arg(i + 3));
    QTest::qWait(30);
  }
  EXPECT_EQ(count.paints, 0);

  qt::ShowRemoteStatus(*line, QString(), QColor(0x40, 0x40, 0x40));
  EXPECT_FALSE(line->isVisible());
}

}  // namespace
}  // namespace pump::remote::testing
