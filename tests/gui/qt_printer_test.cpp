// Printing through the real print dialog to PDF files, as an operator without
// a printer would: the dialog offers print-to-file only.
#include "platform/qt/qt_printer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

#include "console/main_window.h"
#include "tests/support/console_harness.h"
#include "tests/support/shell_command.h"

namespace pump::qt {
namespace {

// Answers the next print dialog once it is up; a dialog nobody finds is
// rejected after a few seconds so the test fails instead of hanging.
void AnswerPrintDialog(std::function<void(QPrintDialog&)> answer) {
  auto* poll = new QTimer;
  auto waited = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, waited, answer] {
    auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr && ++*waited < 500) return;
    poll->stop();
    poll->deleteLater();
    if (dialog != nullptr) answer(*dialog);
  });
  poll->start(10);
}

void PrintToFile(QPrintDialog& dialog, const QString& file, int copies) {
  auto* fileName = dialog.findChild<QLineEdit*>(QStringLiteral("filename"));
  auto* copiesBox = dialog.findChild<QSpinBox*>(QStringLiteral("copies"));
  ASSERT_NE(fileName, nullptr);
  ASSERT_NE(copiesBox, nullptr);
  fileName->setText(file);
  copiesBox->setValue(copies);
  dialog.accept();
}

int PageCount(const QString& pdf) {
  QFile file(pdf);
  if (!file.open(QIODevice::ReadOnly)) return -1;
  const QString bytes = QString::fromLatin1(file.readAll());
  return static_cast<int>(bytes.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
}

QString TextOf(const QString& pdf) {
  return QString::fromStdString(testing::PdfText(pdf.toStdString())).trimmed();
}

// A console with every service a double except the printer.
struct RealPrinter {
  QtPrinter qtPrinter;
};

struct PrintingConsole : RealPrinter, testing::ConsoleHarness {
  PrintingConsole() : ConsoleHarness({.printer = &qtPrinter}) {}
};

QStringList PdfsIn(const QTemporaryDir& dir) {
  return QDir(dir.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
}

TEST(QtPrinting, ThreeCopiesGiveThreeOnePageJobsEachWithTheTestLine) {
  QTemporaryDir dir;
  PrintingConsole w;
  AnswerPrintDialog([&](QPrintDialog& d) { PrintToFile(d, dir.filePath("test.pdf"), 3); });
  w.window->printTestPage();
  const QStringList jobs = PdfsIn(dir);
  ASSERT_EQ(jobs, (QStringList{"test-2.pdf", "test-3.pdf", "test.pdf"}));
  for (const QString& job : jobs) {
    EXPECT_EQ(PageCount(dir.filePath(job)), 1) << job.toStdString();
    EXPECT_EQ(TextOf(dir.filePath(job)), QStringLiteral("打印测试")) << job.toStdString();
  }
  EXPECT_TRUE(w.dialogs.shown.empty());
}

TEST(QtPrinting, CancelPrintsNothingAndShowsNothing) {
  QTemporaryDir dir;
  PrintingConsole w;
  AnswerPrintDialog([&](QPrintDialog& d) {
    d.findChild<QLineEdit*>(QStringLiteral("filename"))->setText(dir.filePath("test.pdf"));
    d.reject();
  });
  w.window->printTestPage();
  EXPECT_TRUE(PdfsIn(dir).isEmpty());
  EXPECT_TRUE(w.dialogs.shown.empty());
}

TEST(QtPrinting, ASecondPrintStartsAgainAtTheChosenFile) {
  QTemporaryDir dir;
  PrintingConsole w;
  AnswerPrintDialog([&](QPrintDialog& d) { PrintToFile(d, dir.filePath("a.pdf"), 2); });
  w.window->printTestPage();
  AnswerPrintDialog([&](QPrintDialog& d) {
    EXPECT_EQ(d.findChild<QLineEdit*>(QStringLiteral("filename"))->text(), dir.filePath("a.pdf"));
    PrintToFile(d, dir.filePath("b.pdf"), 1);
  });
  w.window->printTestPage();
  EXPECT_EQ(PdfsIn(dir), (QStringList{"a-2.pdf", "a.pdf", "b.pdf"}));
}

TEST(QtPrinting, AJobThatCannotBeWrittenEndsPrintingSilently) {
  QTemporaryDir dir;
  PrintingConsole w;
  const QString noFolder = dir.filePath("missing-folder/test.pdf");
  AnswerPrintDialog([&](QPrintDialog& d) { PrintToFile(d, noFolder, 2); });
  w.window->printTestPage();
  EXPECT_TRUE(PdfsIn(dir).isEmpty());
  EXPECT_TRUE(w.dialogs.shown.empty());
}

}  // namespace
}  // namespace pump::qt
