// What an operator sees: the rendered window, its Chinese text and its artwork.
#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPainter>

#include "tests/gui/main_window_view_harness.h"

namespace pump {
namespace {

using testing::MainWindowViewHarness;

const QColor kBlue(0, 0, 255);

QImage Render(const QString& text, const QFont& font) {
  QImage image(120, 40, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(Qt::black);
  painter.drawText(image.rect(), Qt::AlignLeft | Qt::AlignTop, text);
  return image;
}

int CountPixels(const QImage& image, QRect area, const std::function<bool(QColor)>& test) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) count += test(image.pixelColor(x, y)) ? 1 : 0;
  }
  return count;
}

TEST(MainWindowLook, LabelFontDrawsSimplifiedChineseWithRealGlyphs) {
  MainWindowViewHarness f;
  const QFont font = f.find<QLabel>("Label4", 0)->font();
  EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("Noto Serif CJK SC"));
  EXPECT_TRUE(QFontInfo(font).bold());
  const QFontMetrics metrics(font);
  for (const QChar c : QStringLiteral("当前压力设定流量时分秒"))
    EXPECT_TRUE(metrics.inFont(c)) << int{c.unicode()};

  const QImage chinese = Render(QStringLiteral("当前压力"), font);
  const QImage missing = Render(QString(4, QChar(0xE000)), font);  // no face has these
  const auto dark = [](QColor c) { return c.lightness() < 128; };
  EXPECT_GT(CountPixels(chinese, chinese.rect(), dark), 150);
  EXPECT_NE(chinese, missing);
}

TEST(MainWindowLook, ScreenshotShowsBlueDisplayWhiteChartAndDrawnCaptions) {
  MainWindowViewHarness f;
  const QImage shot = f.view->surface().grab().toImage();
  f.view->grab().save(QStringLiteral("main_window.png"));
  ASSERT_EQ(shot.size(), QSize(727, 502));

  // The empty entry-mode label and the gaps between labels are pure blue.
  EXPECT_EQ(shot.pixelColor(460, 125), kBlue);
  EXPECT_EQ(shot.pixelColor(447, 60), kBlue);
  // The chart box is white inside its border.
  EXPECT_EQ(shot.pixelColor(372, 384), QColor(Qt::white));
  EXPECT_EQ(shot.pixelColor(44, 316), QColor(Qt::white));
  EXPECT_NE(shot.pixelColor(40, 384), QColor(Qt::white));  // the sunken border

  // Each row title draws dark glyphs on blue; the values too.
  const auto ink = [](QColor c) { return c != kBlue; };
  EXPECT_GT(CountPixels(shot, {448, 40, 81, 25}, ink), 100);  // 当前压力
  EXPECT_GT(CountPixels(shot, {448, 88, 81, 25}, ink), 100);  // 设定流量
  EXPECT_GT(CountPixels(shot, {528, 40, 41, 25}, ink), 30);   // 00.0
  EXPECT_GT(CountPixels(shot, {528, 112, 88, 25}, ink), 30);  //      STOP
  EXPECT_EQ(CountPixels(shot, {448, 112, 81, 25}, ink), 0);   // empty entry mode

  // The hidden run clock leaves the background picture visible at the top left.
  EXPECT_NE(shot.pixelColor(10, 10), kBlue);
}

TEST(MainWindowLook, EnlargedWindowShowsBlueAroundThePictureAndMovesNothing) {
  MainWindowViewHarness f;
  const QRect keyBefore = f.find("Cmds", 15)->geometry();
  f.view->resize(900, 700);
  QApplication::processEvents();
  const QImage shot = f.view->surface().grab().toImage();
  EXPECT_EQ(shot.pixelColor(850, 300), kBlue);
  EXPECT_EQ(shot.pixelColor(300, 650), kBlue);
  EXPECT_EQ(f.find("Cmds", 15)->geometry(), keyBefore);
  EXPECT_EQ(f.find("Picture1")->geometry(), QRect(40, 312, 665, 145));
}

TEST(MainWindowLook, ArtworkMatchesThePlacesOfLabelsAndChart) {
  const QImage background(QStringLiteral(":/assets/background.png"));
  ASSERT_EQ(background.size(), QSize(733, 503));
  // The display area is pure blue under every read-out label.
  const auto notBlue = [](QColor c) { return c != kBlue; };
  EXPECT_EQ(CountPixels(background, QRect(448, 40, 168, 98), notBlue), 0);
  // The chart rectangle is white under Picture1's drawing area.
  const auto notWhite = [](QColor c) { return c != QColor(Qt::white); };
  EXPECT_EQ(CountPixels(background, QRect(42, 314, 661, 141), notWhite), 0);

  EXPECT_EQ(QImage(QStringLiteral(":/assets/icon.png")).size(), QSize(32, 32));
  for (const char* face : {"0", "9", "L", "P", "RUN", "STOP", "up", "down"}) {
    const QImage key(QStringLiteral(":/assets/key_%1.png").arg(face));
    EXPECT_EQ(key.size(), QSize(39, 21)) << face;
    // White glyph on a blue key.
    EXPECT_GT(CountPixels(key, key.rect(), [](QColor c) { return c.lightness() > 230; }), 10)
        << face;
  }
}

}  // namespace
}  // namespace pump
