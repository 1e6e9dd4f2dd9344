// The chart scale's tick texts are part of the background picture: each must
// stand out from the picture round it by at least 4.5:1, measured on the
// picture's own pixels.
#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <cmath>
#include <vector>

namespace pump {
namespace {

double Channel(int value) {
  const double c = value / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(QColor c) {
  return 0.2126 * Channel(c.red()) + 0.7152 * Channel(c.green()) + 0.0722 * Channel(c.blue());
}

double Contrast(QColor a, QColor b) {
  const double first = Luminance(a);
  const double second = Luminance(b);
  return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// The scale's texts stand right-aligned in x 2..38 left of the chart box
// (y 312..457), where the picture's ground changes only from row to row: its
// colour in each row is the one at x 0.
constexpr int kLeft = 2, kRight = 38, kTop = 305, kBottom = 462;

TEST(BackgroundPicture, EveryChartScaleTextReachesFourAndAHalfToOneAgainstItsGround) {
  const QImage picture(QStringLiteral(":/assets/background.png"));
  ASSERT_FALSE(picture.isNull());
  std::vector<double> texts;  // the strongest contrast of each text, top to bottom
  bool inText = false;
  for (int y = kTop; y <= kBottom; ++y) {
    const QColor ground = picture.pixelColor(0, y);
    double strongest = 1;
    for (int x = kLeft; x <= kRight; ++x) {
      strongest = std::max(strongest, Contrast(picture.pixelColor(x, y), ground));
    }
    const bool ink = strongest > 1.2;
    if (ink && !inText) texts.push_back(strongest);
    if (ink) texts.back() = std::max(texts.back(), strongest);
    inText = ink;
  }
  ASSERT_EQ(texts.size(), 5U) << "the texts 10, 7.5, 5.0, 2.5 and 0.0";
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_GE(texts[i], 4.5) << "scale text " << i << " from the top";
  }
}

}  // namespace
}  // namespace pump
