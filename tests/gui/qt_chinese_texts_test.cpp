// Qt's own words in the boxes and the print dialog read Chinese, like the rest
// of the console (the test program prepares the application as the console does).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPrintDialog>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_printer.h"

namespace pump {
namespace {

// The visible push buttons' captions of the modal box that `show` raises,
// which is then closed with Escape.
QStringList ButtonsOf(const std::function<void()>& show) {
  QStringList captions;
  QTimer::singleShot(0, [&captions] {
    QWidget* box = QApplication::activeModalWidget();
    if (box == nullptr) return;
    for (const QPushButton* button : box->findChildren<QPushButton*>()) {
      if (button->isVisible()) captions << button->text().remove(QLatin1Char('&'));
    }
    box->close();
  });
  show();
  captions.sort();
  return captions;
}

TEST(QtOwnTexts, TheMessageBoxButtonReadsQueDing) {
  qt::QtDialogs dialogs;
  EXPECT_EQ(ButtonsOf([&] { dialogs.showMessage("当前压力数值以存储", "存储数据"); }),
            QStringList{QStringLiteral("确定")});
}

TEST(QtOwnTexts, TheInputBoxButtonsReadQueDingAndQuXiao) {
  qt::QtDialogs dialogs;
  EXPECT_EQ(ButtonsOf([&] { dialogs.askText("请输入流量", "流量设定", 0); }),
            (QStringList{QStringLiteral("取消"), QStringLiteral("确定")}));
}

TEST(QtOwnTexts, ThePrintDialogSpeaksChinese) {
  qt::QtPrinter printer;
  const QStringList buttons = ButtonsOf([&] { printer.showPrintDialog(); });
  EXPECT_TRUE(buttons.contains(QStringLiteral("打印(P)"))) << buttons.join(u',').toStdString();
  EXPECT_TRUE(buttons.contains(QStringLiteral("取消"))) << buttons.join(u',').toStdString();
  EXPECT_FALSE(buttons.contains(QStringLiteral("Cancel"))) << buttons.join(u',').toStdString();
}

}  // namespace
}  // namespace pump
