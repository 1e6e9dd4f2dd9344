#include "tests/support/port_box_answer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
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

}  // namespace pump::testing
