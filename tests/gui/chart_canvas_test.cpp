// The chart box on screen: the trace lands where the samples say, and it is
// still there after something covered the box and it was painted again.
#include "platform/qt/chart_canvas.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <vector>

#include "records/trend_chart.h"
#include "vocabulary/quantity.h"

namespace pump {
namespace {

constexpr int kWidth = 665;
constexpr int kHeight = 145;
const QColor kRed(255, 0, 0);

bool IsRed(QRgb pixel) { return QColor(pixel) == kRed; }
bool IsWhite(QRgb pixel) { return QColor(pixel) == QColor(Qt::white); }
bool IsBlack(QRgb pixel) { return QColor(pixel) == QColor(Qt::black); }
bool IsRedOrBlack(QRgb pixel) { return IsRed(pixel) || IsBlack(pixel); }

// True when a pixel of the colour lies within one pixel of the point.
bool ColourNear(const QImage& image, QPointF at, bool (*matches)(QRgb)) {
  const int cx = qRound(at.x()), cy = qRound(at.y());
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const QPoint p(cx + dx, cy + dy);
      if (image.valid(p) && matches(image.pixel(p))) return true;
    }
  }
  return false;
}

int CountRed(const QImage& image) {
  int red = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) red += IsRed(image.pixel(x, y)) ? 1 : 0;
  }
  return red;
}

void Save(const QImage& image, const QString& name) {
  const QString path = QDir::current().filePath(name);
  image.save(path);
  std::printf("saved %s\n", qPrintable(path));
}

// A ramp up and down over the whole scale, with one reading that is not a number.
std::vector<std::string> Series() {
  std::vector<std::string> captions;
  for (int i = 0; i < 40; ++i) {
    const double v = i < 20 ? i * 0.45 : (39 - i) * 0.45 - 2;
    char text[16];
    std::snprintf(text, sizeof text, "%04.1f", v);
    captions.emplace_back(i == 25 ? "ABCD" : text);
  }
  return captions;
}

struct ChartBox : ::testing::Test {
  QWidget window;
  qt::ChartCanvas* canvas = new qt::ChartCanvas(&window);
  records::TrendChart chart{*canvas};

  ChartBox() {
    window.resize(kWidth + 40, kHeight + 40);
    canvas->setGeometry(20, 20, kWidth, kHeight);
    chart.setUp();
  }

  void feed(const std::vector<std::string>& captions) {
    for (const auto& caption : captions) chart.update(::pump::Pressure::Read(caption).value());
  }
  // What the window's backing store holds for the box: what was last painted.
  QImage onScreen() {
    QTest::qWait(50);  // the window repaints on its next update request
    const QPixmap whole = window.screen()->grabWindow(window.winId());
    return whole.toImage().copy(canvas->geometry());
  }
  // Checks every sample of the present pass is drawn in red. A sample of 0
  // lies on the zero line, which each later update draws again on top.
  void expectTraceAt(const QImage& image, const char* when) {
    for (int i = 0; i < chart.position(); ++i) {
      const double sample = chart.sampleAt(i);
      const QPointF at = canvas->toPixels(static_cast<float>(i), static_cast<float>(sample));
      EXPECT_TRUE(ColourNear(image, at, sample == 0 ? IsRedOrBlack : IsRed))
          << when << ": sample " << i << " at " << at.x() << ", " << at.y();
    }
  }
};

TEST_F(ChartBox, MapsTheUserScaleOntoTheWholeBox) {
  EXPECT_EQ(canvas->toPixels(0, 10), QPointF(0, 0));
  EXPECT_EQ(canvas->toPixels(100, -4), QPointF(kWidth, kHeight));
  EXPECT_NEAR(canvas->toPixels(50, 0).y(), kHeight * 10.0 / 14.0, 1e-9);
  EXPECT_NEAR(canvas->toPixels(50, 0).x(), kWidth / 2.0, 1e-9);
}

TEST_F(ChartBox, RendersTheTraceInRedWhereTheSamplesSay) {
  feed(Series());
  const QImage image = canvas->grab().toImage();
  Save(image, "chart_trace.png");
  ASSERT_EQ(image.size(), QSize(kWidth, kHeight));
  expectTraceAt(image, "rendered");
  EXPECT_EQ(chart.sampleAt(25), 0.0) << "a caption that is not a number left the sample at 0";
  // The zero line in the foreground colour beyond the trace, white above it.
  const QPointF zero = canvas->toPixels(80, 0);
  EXPECT_TRUE(ColourNear(image, zero, IsBlack));
  EXPECT_TRUE(IsWhite(image.pixel(canvas->toPixels(80, 5).toPoint())));
  EXPECT_TRUE(IsWhite(image.pixel(canvas->toPixels(30, 9).toPoint())));
}

TEST_F(ChartBox, TraceComesBackAfterAWidgetCoveredTheBox) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  feed(Series());
  const QImage before = onScreen();
  expectTraceAt(before, "before covering");

  QLabel cover(&window);
  cover.setAutoFillBackground(true);
  cover.setStyleSheet("background: #808080");
  cover.setGeometry(0, 0, window.width(), window.height());
  cover.show();
  const QImage covered = onScreen();
  Save(covered, "chart_covered.png");
  EXPECT_EQ(CountRed(covered), 0) << "the cover hid the trace";

  cover.hide();
  const QImage uncovered = onScreen();
  Save(uncovered, "chart_uncovered.png");
  expectTraceAt(uncovered, "after uncovering");
  EXPECT_EQ(uncovered, before);
}

TEST_F(ChartBox, TraceIsRepaintedTheSameAfterADialogOverTheBoxCloses) {
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  feed(Series());
  const QImage before = onScreen();
  {
    QDialog box(&window);
    box.setGeometry(window.geometry());
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
  }
  canvas->repaint();
  const QImage after = onScreen();
  EXPECT_EQ(after, before);
  expectTraceAt(after, "after the dialog");
}

TEST_F(ChartBox, HundredthUpdateLeavesABlankBox) {
  feed(std::vector<std::string>(100, "05.0"));
  EXPECT_EQ(canvas->lineCount(), 0u);
  const QImage image = canvas->grab().toImage();
  EXPECT_EQ(CountRed(image), 0);
  for (int x = 0; x < kWidth; x += 7) {
    EXPECT_TRUE(IsWhite(image.pixel(x, qRound(canvas->toPixels(0, 0).y())))) << x;
  }
}

TEST_F(ChartBox, ReadingsOffTheScaleAreCutAtTheEdges) {
  feed({"05.0", "12.0"});
  chart.update(1e300);
  chart.update(-1e300);
  feed({"05.0"});
  const QImage image = canvas->grab().toImage();
  Save(image, "chart_off_scale.png");
  // The climb from 5 to 12 leaves through the top edge between x 0 and 1.
  EXPECT_TRUE(ColourNear(image, canvas->toPixels(0.7f, 9.9f), IsRed));
  // The plunge from far above to far below crosses the whole box at x 2.5.
  for (float y : {8.f, 3.f, -3.f}) {
    EXPECT_TRUE(ColourNear(image, canvas->toPixels(2.5f, y), IsRed)) << y;
  }
  EXPECT_TRUE(ColourNear(image, canvas->toPixels(4, 5), IsRed));
}

}  // namespace
}  // namespace pump
