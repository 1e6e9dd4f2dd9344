// Qt's own words in the boxes and the print dialog read Chinese, like the rest
// of the console (the test program prepares the application as the console does).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
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

QImage Drawn(const QString& text, const QFont& font) {
  QImage image(160, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.drawText(image.rect(), Qt::AlignLeft | Qt::AlignTop, text);
  return image;
}

QFont Face(const char* family, const QFont& sized) {
  QFont font(QString::fromUtf8(family));
  font.setPointSizeF(sized.pointSizeF());
  return font;
}

// 直 and 骨 are drawn differently in Japanese and in Simplified Chinese.
TEST(QtOwnTexts, MenusBoxesAndTheGuideDrawChineseInSimplifiedFormsAndKeepTheirLatinFace) {
  const QFont font = QApplication::font();
  const QString chinese = QStringLiteral("直骨说明");
  EXPECT_EQ(Drawn(chinese, font), Drawn(chinese, Face("Noto Sans CJK SC", font)));
  EXPECT_NE(Drawn(chinese, font), Drawn(chinese, Face("Noto Sans CJK JP", font)));
  EXPECT_NE(QFontInfo(font).family(), QStringLiteral("Noto Sans CJK SC"));
}

}  // namespace
}  // namespace pump
