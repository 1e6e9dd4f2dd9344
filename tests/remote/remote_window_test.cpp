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
#include "remote/qt/remote_dialog.h"
#include "tests/remote/test_broker.h"

namespace pump::remote::testing {
namespace {

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

}  // namespace
}  // namespace pump::remote::testing
