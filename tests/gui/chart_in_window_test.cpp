// The trend in the main window: replies draw it inside Picture1's border, and
// it survives a widget laid over the chart.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "platform/qt/chart_canvas.h"
#include "tests/gui/main_window_view_harness.h"

namespace pump {
namespace {

int CountRed(const QImage& image, const QRect& area) {
  int red = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      red += image.pixelColor(x, y) == QColor(255, 0, 0) ? 1 : 0;
    }
  }
  return red;
}

TEST(ChartInWindow, RepliesDrawTheTraceWhichSurvivesACoverOverTheChart) {
  testing::MainWindowViewHarness f;
  f.dialogs.answers.push_back("1");
  f.window->choosePort();
  ASSERT_TRUE(f.menusReleased());
  // Off the tick heights: later ticks are drawn over the trace.
  for (const char* reply : {"Q00N03.0Y", "Q00N06.0Y", "Q00N08.0Y", "Q00N04.0Y", "Q00N01.0Y"}) {
    f.serial.receive(reply);
  }
  ASSERT_EQ(f.window->chart().position(), 5);

  auto* chart = f.find<qt::ChartCanvas>("Picture1");
  ASSERT_NE(chart, nullptr);
  const QRect box = chart->geometry();
  const auto screen = [&] {
    QTest::qWait(50);  // the window repaints on its next update request
    return f.view->screen()
        ->grabWindow(f.view->winId())
        .toImage()
        .copy(QRect(chart->mapTo(f.view.get(), QPoint(0, 0)), box.size()));
  };

  const QImage before = screen();
  before.save(QStringLiteral("chart_in_window.png"));
  for (int i = 0; i < 5; ++i) {
    const QPoint at =
        chart->toPixels(static_cast<float>(i), static_cast<float>(f.window->chart().sampleAt(i)))
            .toPoint();
    EXPECT_GT(CountRed(before, QRect(at - QPoint(1, 1), QSize(3, 3))), 0) << "sample " << i;
  }
  EXPECT_EQ(CountRed(before, QRect(0, 0, box.width(), 2)), 0) << "the border is not drawn over";

  QLabel cover(chart->parentWidget());
  cover.setAutoFillBackground(true);
  cover.setStyleSheet(QStringLiteral("background: #c0c0c0"));
  cover.setGeometry(box.adjusted(-10, -10, 10, 10));
  cover.show();
  EXPECT_EQ(CountRed(screen(), QRect(QPoint(0, 0), box.size())), 0) << "the cover hides the trace";
  cover.hide();
  const QImage after = screen();
  after.save(QStringLiteral("chart_in_window_uncovered.png"));
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace pump
