// The message and input boxes, answered as an operator would.
#include "platform/qt/qt_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

namespace pump {
namespace {

// Runs `answer` on the box once it is up; the box blocks until answered.
void WhenShown(std::function<void(QWidget*)> answer) {
  QTimer::singleShot(0, [answer = std::move(answer)] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    answer(box);
  });
}

TEST(MessageBox, ShowsTitleAndPromptWithOnlyAnOkButtonAndNoIcon) {
  QWidget window;
  qt::QtDialogs dialogs(&window);
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::Warning;
  int buttons = 0;
  QWidget* parent = nullptr;
  WhenShown([&](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    text = box->text();
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
    parent = box->parentWidget();
    QTest::keyClick(box, Qt::Key_Return);
  });
  dialogs.showMessage("输入值超出范围!", "错误");
  EXPECT_EQ(title, "错误");
  EXPECT_EQ(text, "输入值超出范围!");
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(parent, &window);
}

TEST(Notice, ReturnsAtOnceLooksLikeAMessageBlocksItsWindowAndGoesWithOk) {
  QWidget window;
  window.show();
  qt::QtDialogs dialogs(&window);
  dialogs.showNotice("压力记录已满!", "存储数据");
  QPointer<QMessageBox> box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  ASSERT_NE(box, nullptr) << "no notice on screen after the call returned";
  EXPECT_EQ(box->windowTitle(), "存储数据");
  EXPECT_EQ(box->text(), "压力记录已满!");
  EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
  EXPECT_EQ(box->buttons().size(), 1);
  EXPECT_EQ(box->parentWidget(), &window);
  EXPECT_EQ(box->windowModality(), Qt::WindowModal);
  QTest::keyClick(box, Qt::Key_Return);
  EXPECT_TRUE(QTest::qWaitFor([&] { return box.isNull(); }, 2000)) << "closed but kept";
}

TEST(TextQuestionBox, ShowsDefaultAsDecimalBreaksPromptAtCrLfAndReturnsTheEditText) {
  QWidget window;
  qt::QtDialogs dialogs(&window);
  QString title, label, shownDefault;
  WhenShown([&](QWidget* w) {
    auto* box = qobject_cast<QInputDialog*>(w);
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    label = box->labelText();
    shownDefault = box->findChild<QLineEdit*>()->text();
    QLineEdit* edit = box->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, "3.5");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  const std::string answer = dialogs.askText("请输入压力\r\n(0 - 5.0)", "压力设定", 2);
  EXPECT_EQ(answer, "3.5");
  EXPECT_EQ(title, "压力设定");
  EXPECT_EQ(label, "请输入压力\n(0 - 5.0)");
  EXPECT_EQ(shownDefault, "2");
}

TEST(TextQuestionBox, OkWithTheDefaultReturnsItAndCancelReturnsEmptyText) {
  qt::QtDialogs dialogs;
  WhenShown([](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
  EXPECT_EQ(dialogs.askText("Port?", "Port", 1), "1");
  WhenShown([](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_EQ(dialogs.askText("Port?", "Port", 1), "");
}

}  // namespace
}  // namespace pump
