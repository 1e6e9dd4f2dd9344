// The chart box keeps one copy of a line drawn again and paints only the
// stretch round each new line; what it shows must stay as if every line had
// been painted in the order drawn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>

#include "platform/qt/chart_canvas.h"

namespace pump::qt {
namespace {

constexpr Rgb kRed{255, 0, 0};

// Counts paints and what they covered.
class WatchedCanvas : public ChartCanvas {
 public:
  int paints = 0;
  QRegion painted;

 protected:
  void paintEvent(QPaintEvent* event) override {
    ++paints;
    painted += event->region();
    ChartCanvas::paintEvent(event);
  }
};

struct ShownCanvas {
  WatchedCanvas canvas;
  ShownCanvas() {
    canvas.resize(200, 140);
    canvas.setScale(0, 10, 100, -4);
    canvas.show();
    settle();
  }
  void settle() {
    QApplication::processEvents();
    canvas.paints = 0;
    canvas.painted = QRegion();
  }
  QColor at(float x, float y) {
    const QPoint p = canvas.toPixels(x, y).toPoint();
    return canvas.grab().toImage().pixelColor(p);
  }
};

TEST(ChartCanvas, ALineDrawnAgainIsPaintedOverALineThatCrossedIt) {
  ShownCanvas s;
  s.canvas.line(0, 0, 100, 0, std::nullopt);  // the axis, black
  s.canvas.line(40, 0, 60, 0, kRed);          // a reading of zero along it
  EXPECT_EQ(s.at(50, 0), QColor(Qt::red));
  s.canvas.line(0, 0, 100, 0, std::nullopt);  // the next step's axis
  EXPECT_EQ(s.at(50, 0), QColor(Qt::black));
}

TEST(ChartCanvas, AStepRepaintsOnlyRoundItsNewLineAndNotARepeatedAxis) {
  ShownCanvas s;
  s.canvas.line(0, 0, 100, 0, std::nullopt);
  s.canvas.line(10, 5, 11, 6, kRed);
  s.settle();
  s.canvas.line(0, 0, 100, 0, std::nullopt);  // unchanged pixels: nothing to paint
  s.canvas.line(11, 6, 12, 7, kRed);
  QApplication::processEvents();
  EXPECT_EQ(s.canvas.paints, 1);
  const QRect stretch = s.canvas.painted.boundingRect();
  EXPECT_LT(stretch.width(), 12);
  EXPECT_LT(stretch.height(), 20);
  EXPECT_EQ(s.at(11.5F, 6.5F), QColor(Qt::red));
  EXPECT_EQ(s.at(50, 0), QColor(Qt::black));
}

TEST(ChartCanvas, ClearingPaintsTheWholeBoxWhite) {
  ShownCanvas s;
  s.canvas.line(0, 0, 100, 0, std::nullopt);
  s.settle();
  s.canvas.clear();
  s.canvas.line(20, 2, 30, 2, kRed);
  QApplication::processEvents();
  EXPECT_TRUE(s.canvas.painted.contains(s.canvas.rect()));
  EXPECT_EQ(s.at(50, 0), QColor(Qt::white));
  EXPECT_EQ(s.at(25, 2), QColor(Qt::red));
}

}  // namespace
}  // namespace pump::qt
