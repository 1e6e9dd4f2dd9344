// The window as it starts, in a program that links none of its modules, as
// the window program does not: Qt Charts, Qt Print Support and what they
// bring (CUPS, Kerberos, GnuTLS), libmosquitto with OpenSSL, and Qt's SVG,
// are loaded only once the operator opens a chart window, prints or sets a
// broker, and then work: the trend window draws the run report, the printer
// prints, the broker is tried.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <string>
#include <vector>

#include "app/composition.h"
#include "tests/support/port_box_answer.h"

namespace pump {
namespace {

const std::vector<std::string> kChartLibraries{"libQt6Charts.so"};
const std::vector<std::string> kPrintLibraries{"libQt6PrintSupport.so", "libcups.so", "libkrb5.so",
                                               "libgnutls.so"};
const std::vector<std::string> kBrokerLibraries{"libmosquitto.so", "libssl.so", "libcrypto.so"};
const std::vector<std::string> kSvgLibraries{"libQt6Svg.so", "imageformats/libqsvg.so"};

// The libraries of `names` that this process maps now.
std::vector<std::string> Mapped(const std::vector<std::string>& names) {
  std::ifstream maps("/proc/self/maps");
  const std::string all((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
  std::vector<std::string> mapped;
  for (const auto& name : names) {
    if (all.find("/" + name) != std::string::npos) mapped.push_back(name);
  }
  return mapped;
}

using Names = std::vector<std::string>;

// Prints to a PDF from the print dialog once it is up (no printer is
// needed); a dialog that never comes is left to fail the test.
void PrintToFileWhenAsked(const QString& file) {
  QTimer::singleShot(0, [file] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->inherits("QPrintDialog")) return;
    auto* fileName = dialog->findChild<QLineEdit*>(QStringLiteral("filename"));
    if (fileName != nullptr) fileName->setText(file);
    dialog->accept();
  });
}

// Answers the trend window's report questions: the whole log, into `file`.
void ReportWholeLogInto(QTimer& answer, const QString& file) {
  QObject::connect(&answer, &QTimer::timeout, [file] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == QStringLiteral("整个日志")) button->click();
      }
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (name == nullptr) return;
      name->setText(file);
      QTest::keyClick(name, Qt::Key_Return);
    }
  });
  answer.start(20);
}

QAction* ActionNamed(QWidget& window, const QString& text) {
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->text() == text) return action;
  }
  return nullptr;
}

// A shown window whose title starts with `title`.
QWidget* TopLevelTitled(const QString& title) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->windowTitle().startsWith(title)) return widget;
  }
  return nullptr;
}

TEST(WindowModules, TheShownWindowMapsNoChartPrintBrokerOrSvgLibraryUntilTheOperatorAsks) {
  QTemporaryDir logs;
  app::Console console(logs.path().toStdString());
  console.start();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&console.mainWindowView()));
  QTest::qWait(100);  // the first paint
  EXPECT_EQ(Mapped(kChartLibraries), Names{});
  EXPECT_EQ(Mapped(kPrintLibraries), Names{});
  EXPECT_EQ(Mapped(kSvgLibraries), Names{});
  EXPECT_EQ(Mapped(kBrokerLibraries), Names{});

  console.mainWindowView().findChild<QAction*>(QStringLiteral("trend"))->trigger();
  QWidget* trend = TopLevelTitled(QStringLiteral("趋势图"));
  ASSERT_NE(trend, nullptr);
  EXPECT_EQ(Mapped(kChartLibraries), kChartLibraries);
  EXPECT_EQ(Mapped(kPrintLibraries), Names{});

  // The run report of the session on the built-in pump, from its run log.
  testing::OpenThroughThePortBox(console.window(), "sim");
  ASSERT_TRUE(QTest::qWaitFor(
      [&logs] { return !QDir(logs.path()).entryList({QStringLiteral("*.csv")}).isEmpty(); }, 5000));
  QTemporaryDir reports;
  const QString report = reports.filePath(QStringLiteral("session.pdf"));
  QTimer answer;
  ReportWholeLogInto(answer, report);
  QAction* reportItem = ActionNamed(*trend, QStringLiteral("导出报告…"));
  ASSERT_NE(reportItem, nullptr);
  reportItem->trigger();
  answer.stop();
  QFile drawn(report);
  ASSERT_TRUE(drawn.open(QIODevice::ReadOnly));
  EXPECT_TRUE(drawn.readAll().startsWith("%PDF"));

  console.mainWindowView().findChild<QAction*>(QStringLiteral("program"))->trigger();
  EXPECT_NE(TopLevelTitled(QStringLiteral("运行程序")), nullptr);

  QTemporaryDir folder;
  const QString pdf = folder.filePath(QStringLiteral("test.pdf"));
  PrintToFileWhenAsked(pdf);
  console.window().printTestPage();
  EXPECT_EQ(Mapped({"libQt6PrintSupport.so"}), Names{"libQt6PrintSupport.so"});
  QFile printed(pdf);
  ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
  EXPECT_TRUE(printed.readAll().startsWith("%PDF"));

  // Nothing listens on the discard port: the connection is tried, and the
  // status line gives the cause it was refused with.
  remote::RemoteSettings broker;
  broker.brokerUrl = "mqtt://127.0.0.1:9";
  console.startRemote(broker);
  EXPECT_EQ(Mapped(kBrokerLibraries), kBrokerLibraries);
  auto* status = console.mainWindowView().findChild<QLabel*>(QStringLiteral("remoteStatus"));
  ASSERT_NE(status, nullptr);
  EXPECT_TRUE(QTest::qWaitFor([status] { return status->text().endsWith(')'); }, 5000))
      << status->text().toStdString();
}

}  // namespace
}  // namespace pump
