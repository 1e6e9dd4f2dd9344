// The trend window as an operator meets it: what it draws for a scripted
// hour, how the mouse and the buttons move it, and the files it reads and writes.
#include "trend/qt/trend_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "tests/trend/window/scripted_hour.h"
#include "trend/qt/trend_chart_view.h"

namespace pump::trend::qt {
namespace {

using testing::ScriptedHour;
using namespace std::chrono_literals;

struct TrendWindowTest : ::testing::Test {
  console::ConsoleEventFeed feed;
  LiveTrend live{feed};
  ScriptedHour hour{feed};
  TrendWindow window{&live};
  QTemporaryDir folder;

  void showHour() {
    hour.play();
    window.show();
    QTest::qWait(TrendWindow::kRepaintIntervalMs * 2);
    window.showAll();
    QTest::qWait(TrendWindow::kRepaintIntervalMs * 2);
  }
  QWidget* plot() { return window.chartView()->viewport(); }
  // The pixel column of an axis time, in the chart's own coordinates.
  int columnOf(std::chrono::milliseconds after) {
    const double t = live.session().firstTimeMs() + static_cast<double>(after.count());
    TrendChartView* chart = window.chartView();
    int x = 0;
    while (x < chart->width() && chart->timeAt(x) < t) ++x;
    return x;
  }
  static int RedPixelsIn(const QImage& image, int x) {
    int red = 0;
    for (int y = 0; y < image.height(); ++y) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 90 && c.blue() < 90) ++red;
    }
    return red;
  }
  void send(QEvent* event) { QApplication::sendEvent(plot(), event); }
  void drag(Qt::MouseButton button, QPoint from, QPoint to) {
    QMouseEvent press(QEvent::MouseButtonPress, from, plot()->mapToGlobal(from), button, button,
                      Qt::NoModifier);
    send(&press);
    QMouseEvent move(QEvent::MouseMove, to, plot()->mapToGlobal(to), Qt::NoButton, button,
                     Qt::NoModifier);
    send(&move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, plot()->mapToGlobal(to), button,
                        Qt::NoButton, Qt::NoModifier);
    send(&release);
  }
};

TEST_F(TrendWindowTest, ScriptedHourShowsItsLinkLossAsAGapWithNoLineAcross) {
  showHour();
  EXPECT_TRUE(window.windowTitle().startsWith("趋势图 - 20")) << window.windowTitle().toStdString();
  const QImage image = window.chartView()->grab().toImage();
  image.save(QDir::current().filePath("trend-scripted-hour.png"));

  const int inGap = columnOf(31min);
  const QColor gap = image.pixelColor(inGap, image.height() / 2);
  EXPECT_EQ(RedPixelsIn(image, inGap), 0);
  EXPECT_LT(std::abs(gap.red() - gap.blue()), 20) << "the gap is grey";
  EXPECT_LT(gap.red(), 230) << "the gap is shaded";
  EXPECT_GT(RedPixelsIn(image, columnOf(25min)), 0);
  EXPECT_GT(RedPixelsIn(image, columnOf(40min)), 0);

  // The whole window, with a readout under the pointer, as an operator sees it.
  const QPoint spike(columnOf(ScriptedHour::kSpike), plot()->height() / 2);
  QMouseEvent hover(QEvent::MouseMove, spike, plot()->mapToGlobal(spike), Qt::NoButton,
                    Qt::NoButton, Qt::NoModifier);
  send(&hover);
  window.grab().save(QDir::current().filePath("trend-window.png"));
}

TEST_F(TrendWindowTest, ReadingsArrivingEveryMillisecondRepaintAtMostTenTimesASecond) {
  hour.play();
  window.show();
  QTimer stream;
  int sent = 0;
  // Bursts, as a fast stream delivers them: many replies per read.
  QObject::connect(&stream, &QTimer::timeout, [&] {
    for (int i = 0; i < 20; ++i) {
      hour.at(ScriptedHour::kLength + std::chrono::milliseconds(++sent),
              console::EventKind::Reading, "Q00N01.9Y");
    }
  });
  stream.start(1);
  const int before = window.redrawCount();
  QTest::qWait(1000);
  stream.stop();
  EXPECT_GT(sent, 1000);
  EXPECT_LE(window.redrawCount() - before, 11);
  EXPECT_GE(window.redrawCount() - before, 5);
}

TEST_F(TrendWindowTest, HoverReadsTheTimeAndValuesUnderThePointer) {
  showHour();
  const int x = columnOf(ScriptedHour::kSpike);
  const QPoint at(x, plot()->height() / 2);
  QMouseEvent move(QEvent::MouseMove, at, plot()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  send(&move);
  // At this scale a pixel holds two readings; the nearest is the spike or its neighbour.
  const QString shown = window.readout();
  EXPECT_TRUE(shown.contains("上限 2.5 MPa")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("流量 120 ml/min")) << shown.toStdString();
  EXPECT_TRUE(shown.contains("RUN")) << shown.toStdString();
  EXPECT_TRUE(shown.contains(QRegularExpression("\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d")))
      << shown.toStdString();
}

TEST_F(TrendWindowTest, WheelZoomsAroundThePointerAndHomeShowsEverything) {
  showHour();
  const QPoint at(columnOf(20min), plot()->height() / 2);
  const double anchor = window.chartView()->timeAt(at.x());
  const double span = window.view().spanMs();
  QWheelEvent wheel(at, plot()->mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  send(&wheel);
  EXPECT_NEAR(window.view().spanMs(), span * 0.64, 1);
  QTest::qWait(TrendWindow::kRepaintIntervalMs * 2);
  EXPECT_NEAR(window.chartView()->timeAt(at.x()), anchor, window.view().spanMs() / 500);

  QTest::keyClick(&window, Qt::Key_Home);
  EXPECT_LE(window.view().startMs(), live.session().firstTimeMs());
  EXPECT_GE(window.view().endMs(), live.session().lastTimeMs());
}

TEST_F(TrendWindowTest, FollowShowsTheNewestMinuteAndScrollsWithTheClock) {
  showHour();
  QAction* follow = nullptr;
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->text() == "跟随") follow = action;
  }
  ASSERT_TRUE(follow);
  EXPECT_FALSE(follow->isChecked());  // 全部 was pressed
  follow->trigger();
  EXPECT_TRUE(follow->isChecked());
  const double now = live.axisTimeMs(std::chrono::steady_clock::now());
  EXPECT_NEAR(window.view().spanMs(), 60'000, 1);
  EXPECT_NEAR(window.view().endMs(), now, 2'000);
  const double end = window.view().endMs();
  QTest::qWait(500);
  EXPECT_NEAR(window.view().endMs() - end, 500, 150);

  QTest::keyClick(&window, Qt::Key_Home);
  EXPECT_FALSE(follow->isChecked());
}

TEST_F(TrendWindowTest, RubberBandZoomsToItsSpanAndDraggingPans) {
  showHour();
  drag(Qt::RightButton, QPoint(columnOf(10min), 100), QPoint(columnOf(11min), 200));
  EXPECT_NEAR(window.view().startMs(), live.session().firstTimeMs() + 600'000, 10'000);
  EXPECT_NEAR(window.view().spanMs(), 60'000, 10'000);
  QTest::qWait(TrendWindow::kRepaintIntervalMs * 2);

  const double start = window.view().startMs();
  const double perPixel = window.view().spanMs() / window.chartView()->plotWidth();
  drag(Qt::LeftButton, QPoint(600, 300), QPoint(500, 300));
  EXPECT_NEAR(window.view().startMs(), start + 100 * perPixel, 2 * perPixel);
}

TEST_F(TrendWindowTest, ExportsThePictureAsPngAndSvgAndTheVisibleRowsAsCsv) {
  showHour();
  const QString png = folder.filePath("hour.png"), svg = folder.filePath("hour.svg");
  ASSERT_EQ(window.exportImage(png), "");
  ASSERT_EQ(window.exportImage(svg), "");
  EXPECT_EQ(QImage(png).size(), window.chartView()->size());
  QFile svgFile(svg);
  ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
  EXPECT_TRUE(svgFile.readAll().contains("<svg"));

  window.showAll();
  ASSERT_EQ(window.exportData(folder.filePath("all.csv"), false), "");
  QTest::keyClick(&window, Qt::Key_Home);
  const QPoint from(columnOf(10min), 100), to(columnOf(11min), 200);
  drag(Qt::RightButton, from, to);
  ASSERT_EQ(window.exportData(folder.filePath("minute.csv"), true), "");
  QFile all(folder.filePath("all.csv")), minute(folder.filePath("minute.csv"));
  ASSERT_TRUE(all.open(QIODevice::ReadOnly) && minute.open(QIODevice::ReadOnly));
  const auto allLines = all.readAll().split('\n'), minuteLines = minute.readAll().split('\n');
  EXPECT_EQ(allLines.size() - 2, static_cast<qsizetype>(live.session().size()));
  EXPECT_NEAR(minuteLines.size() - 2, 40, 8);  // a minute of readings every 1.5 s
  EXPECT_TRUE(minuteLines[0].startsWith("time,elapsed_s,event,"));
}

TEST_F(TrendWindowTest, OpeningAForeignFileSaysWhichLineAndKeepsWhatWasShown) {
  showHour();
  const QString foreign = folder.filePath("foreign.csv");
  QFile file(foreign);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("a,b,c\n1,2,3\n");
  file.close();
  const QString error = window.openLog(foreign);
  EXPECT_TRUE(error.contains("第 1 行")) << error.toStdString();
  EXPECT_EQ(window.shownSession(), &live.session());

  ASSERT_EQ(window.exportData(folder.filePath("all.csv"), false), "");
  ASSERT_EQ(window.openLog(folder.filePath("all.csv")), "");
  EXPECT_EQ(window.windowTitle(), "趋势图 - all.csv");
  EXPECT_EQ(window.shownSession()->size(), live.session().size());
}

}  // namespace
}  // namespace pump::trend::qt
