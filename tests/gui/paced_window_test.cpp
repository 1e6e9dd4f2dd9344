// The main window under a fast stream of replies paints at the display's
// pace: few passes, yet every chart segment and the last caption reach the
// screen; with nothing new it neither paints nor runs a timer.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPaintEvent>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <map>
#include <string>

#include "pacing/qt/paced_repaint.h"
#include "platform/qt/chart_canvas.h"
#include "tests/gui/event_count.h"
#include "tests/gui/main_window_view_harness.h"

namespace pump {
namespace {

using testing::EventCount;
using testing::RunEventLoopFor;

struct PacedWindow {
  testing::MainWindowViewHarness f;
  qt::PacedRepaint paced{*f.view};
  QLabel* pressure = f.find<QLabel>("LcurrP");
  qt::ChartCanvas* chart = f.find<qt::ChartCanvas>("Picture1");

  PacedWindow() {
    f.view->holdCaptionsFor(paced);  // as the console binds them
    f.dialogs.answers.push_back("1");
    f.window->choosePort();
    RunEventLoopFor(100);  // the window settles after the port box
  }
  // What the window's pixels show of a widget, as painted so far.
  QImage onScreen(QWidget* widget) const {
    const QRect area(widget->mapTo(f.view.get(), QPoint(0, 0)), widget->size());
    return f.view->screen()->grabWindow(f.view->winId()).toImage().copy(area);
  }
  // The widget painted whole from what it holds now.
  static QImage paintedWhole(QWidget* widget) { return widget->grab().toImage(); }
};

std::string Reply(int i) {
  char frame[16];
  std::snprintf(frame, sizeof frame, "Q00N%02d.%dY", (i * 7 % 90) / 10, (i * 7) % 10);
  return frame;
}

TEST(PacedWindow, ABurstOfRepliesPaintsAFewTimesYetShowsEverySegmentAndTheLastCaption) {
  PacedWindow w;
  ASSERT_TRUE(w.f.menusReleased());
  ASSERT_NE(w.pressure, nullptr);
  ASSERT_NE(w.chart, nullptr);
  EventCount count;

  constexpr int kReplies = 90;  // one a millisecond: fewer than a pass of the chart
  QElapsedTimer elapsed;
  elapsed.start();
  int sent = 0;
  QTimer feed;
  QObject::connect(&feed, &QTimer::timeout, [&] {
    if (sent < kReplies) w.f.serial.receive(Reply(sent++));
  });
  feed.start(1);
  while (sent < kReplies) RunEventLoopFor(5);
  feed.stop();
  const qint64 burstMs = elapsed.elapsed();
  RunEventLoopFor(100);

  EXPECT_EQ(w.f.window->chart().position(), kReplies);
  const int labelPaints = count.paints[w.pressure];
  const int chartPaints = count.paints[w.chart];
  EXPECT_GE(labelPaints, 1);
  EXPECT_LE(labelPaints, burstMs / 17 + 2) << "over " << burstMs << " ms";
  EXPECT_LE(chartPaints, burstMs / 17 + 2) << "over " << burstMs << " ms";
  EXPECT_EQ(w.pressure->text().toStdString(), Reply(kReplies - 1).substr(4, 4));
  // Painted stretch by stretch, the screen shows what a whole repaint shows:
  // no segment and no caption was left out.
  const QImage chartShown = w.onScreen(w.chart);
  chartShown.save(QStringLiteral("paced_chart.png"));
  w.f.view->screen()->grabWindow(w.f.view->winId()).save(QStringLiteral("paced_window.png"));
  EXPECT_EQ(chartShown, PacedWindow::paintedWhole(w.chart));
  EXPECT_EQ(w.onScreen(w.pressure), PacedWindow::paintedWhole(w.pressure));
}

// The regions each widget was asked to paint.
class PaintRegions : public QObject {
 public:
  PaintRegions() { QCoreApplication::instance()->installEventFilter(this); }
  ~PaintRegions() override { QCoreApplication::instance()->removeEventFilter(this); }
  bool eventFilter(QObject* watched, QEvent* event) override {
    // Widgets off screen (a label's hidden drawing twin) are left out.
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (event->type() == QEvent::Paint && widget && widget->isVisible()) {
      regions[watched->objectName().toStdString()] += static_cast<QPaintEvent*>(event)->region();
    }
    return false;
  }
  std::map<std::string, QRegion> regions;
};

TEST(PacedWindow, OneReplyRepaintsItsCaptionAndTheNewSegmentsStretchOnly) {
  PacedWindow w;
  w.f.serial.receive("Q00N03.0Y");
  RunEventLoopFor(50);
  PaintRegions painted;
  w.f.serial.receive("Q00N03.4Y");
  RunEventLoopFor(50);

  // The caption's label is painted whole, but for what a neighbour covers.
  const QRect caption = painted.regions["LcurrP"].boundingRect();
  EXPECT_TRUE(w.pressure->rect().contains(caption));
  EXPECT_GE(caption.width() * caption.height(),
            w.pressure->width() * w.pressure->height() * 9 / 10);
  const QRect stretch = painted.regions["Picture1"].boundingRect();
  const int step = w.f.window->chart().position() - 1;
  EXPECT_TRUE(stretch.contains(w.chart->toPixels(static_cast<float>(step), 3.4f).toPoint()));
  EXPECT_LE(stretch.width() * stretch.height(), w.chart->width() * w.chart->height() / 20);
  // The window's picture behind the labels and everything else stays as it was.
  for (const auto& [name, region] : painted.regions) {
    EXPECT_TRUE(name == "LcurrP" || name == "Picture1" || name == "linkStatus" ||
                name == "remoteStatus")
        << name << " repainted";
  }
}

TEST(PacedWindow, WithNothingNewTheWindowNeitherPaintsNorRunsATimer) {
  PacedWindow w;
  w.f.serial.receive("Q00N03.0Y");
  RunEventLoopFor(50);
  EventCount count;
  RunEventLoopFor(300, &count);
  EXPECT_TRUE(count.paints.empty());
  EXPECT_TRUE(count.timers.empty()) << count.timers.size() << " timers fired";
}

}  // namespace
}  // namespace pump
