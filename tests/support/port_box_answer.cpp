#include "tests/support/port_box_answer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace pump::testing {

qt::HintedInputDialog* ShownPortBox() {
  return qobject_cast<qt::HintedInputDialog*>(QApplication::activeModalWidget());
}

void AnswerPortBox(qt::HintedInputDialog& box, const std::string& answer) {
  auto* edit = box.findChild<QLineEdit*>(QStringLiteral("answer"));
  ASSERT_NE(edit, nullptr);
  edit->selectAll();
  QTest::keyClicks(edit, QString::fromStdString(answer));
  QTest::keyClick(edit, Qt::Key_Return);
}

void OpenThroughThePortBox(console::MainWindow& window, const std::string& answer) {
  QTimer::singleShot(0, [answer] {
    auto* box = ShownPortBox();
    ASSERT_NE(box, nullptr);
    AnswerPortBox(*box, answer);
  });
  window.choosePort();
}

// Looks for the question every few milliseconds, for at most two seconds:
// the port box comes and goes first.
void OpenThroughThePortBox(console::MainWindow& window, const std::string& answer, bool yes) {
  QTimer watch;
  int looks = 0;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box && box->button(QMessageBox::Yes)) {
      box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
    }
    if (box || ++looks > 200) watch.stop();
  });
  watch.start(10);
  OpenThroughThePortBox(window, answer);
}

}  // namespace pump::testing
