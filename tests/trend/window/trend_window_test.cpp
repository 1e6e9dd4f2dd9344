// The trend window as an operator meets it: what it draws for a scripted
// hour, how the mouse and the buttons move it, and the files it reads and writes.
#include "trend/qt/trend_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include "tests/support/shell_command.h"
#include "tests/trend/window/scripted_hour.h"
#include "trend/log_export.h"
#include "trend/qt/trend_chart_view.h"

namespace pump::trend::qt {
namespace {

using pump::testing::PdfText;
using testing::ScriptedHour;
using namespace std::chrono_literals;

struct TrendWindowTest : ::testing::Test {
  session::EventFeed feed;
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
  void hoverAt(int x) {
    const QPoint at(x, plot()->height() / 2);
    QMouseEvent move(QEvent::MouseMove, at, plot()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    send(&move);
  }
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
      hour.at(ScriptedHour::kLength + std::chrono::milliseconds(++sent), pump::EventKind::Reading,
              "Q00N01.9Y");
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
  EXPECT_NE(window.shownSession(), &live.session());

  window.showLiveSession();
  EXPECT_EQ(window.shownSession(), &live.session());
  EXPECT_TRUE(window.windowTitle().startsWith("趋势图 - 20")) << window.windowTitle().toStdString();
}

TEST_F(TrendWindowTest, TheReportButtonAsksWhichSpanThenWhereAndWritesTheShownMinute) {
  showHour();
  ASSERT_EQ(window.exportData(folder.filePath("hour.csv"), false), "");
  ASSERT_EQ(window.openLog(folder.filePath("hour.csv")), "");
  const QPoint from(columnOf(10min), 100), to(columnOf(11min), 200);
  drag(Qt::RightButton, from, to);
  QAction* report = nullptr;
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->text() == "导出报告…") report = action;
  }
  ASSERT_NE(report, nullptr);
  const QString pdf = folder.filePath("minute.pdf");
  QString asked;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      asked = box->text();
      for (QAbstractButton* button : box->buttons()) {
        if (button->text() == "可见时段") button->click();
      }
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      name->setText(pdf);
      QTest::keyClick(name, Qt::Key_Return);
    }
  });
  answer.start(20);
  report->trigger();
  answer.stop();
  EXPECT_EQ(asked, "报告包括哪一段？");
  const std::string text = PdfText(pdf.toStdString());
  EXPECT_NE(text.find("泵运行报告"), std::string::npos) << text;
  EXPECT_NE(text.find("hour.csv"), std::string::npos) << text;
  const auto readings = text.find("读数");
  ASSERT_NE(readings, std::string::npos) << text;
  const int count = std::atoi(text.c_str() + text.find_first_of("0123456789", readings));
  EXPECT_NEAR(count, 40, 8);  // a minute of readings every 1.5 s, not the hour's
}

// A run log of `rows` readings, written as the console writes one.
QString WriteLog(const QTemporaryDir& folder, int rows) {
  Session session;
  Row row;
  row.wallMs = 1'796'623'200'000;
  row.utcOffsetMinutes = 480;
  row.flow = 120;
  row.pressureLimit = 4;
  row.detail = "Q00N01.9Y";
  for (int i = 0; i < rows; ++i, row.wallMs += 2) {
    row.elapsedMs = 2LL * i;
    row.pressure = 1.9f + 0.1f * static_cast<float>(i % 5);
    session.append(row);
  }
  const QString path = folder.filePath("big.csv");
  const std::string error = ExportRunLogRows(session, session.firstTimeMs(), session.lastTimeMs(),
                                             QFile::encodeName(path).toStdString());
  EXPECT_EQ(error, "");
  return path;
}

TEST_F(TrendWindowTest, WhileABigLogLoadsTheEventLoopKeepsItsPaceAndAProgressBarShows) {
  showHour();
  const QString path = WriteLog(folder, 600'000);
  auto* progress = window.findChild<QProgressBar*>("logLoadProgress");
  ASSERT_NE(progress, nullptr);
  EXPECT_FALSE(progress->isVisible());

  QTimer ticker;
  QElapsedTimer clock;
  std::vector<qint64> ticks;
  bool barSeen = false;
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    ticks.push_back(clock.elapsed());
    barSeen = barSeen || progress->isVisible();
  });
  ticker.start(10);
  clock.start();
  ASSERT_EQ(window.openLog(path), "");
  const qint64 loaded = clock.elapsed();
  ticker.stop();

  ticks.insert(ticks.begin(), 0);
  ticks.push_back(loaded);
  qint64 longest = 0;
  for (std::size_t i = 1; i < ticks.size(); ++i)
    longest = std::max(longest, ticks[i] - ticks[i - 1]);
  EXPECT_GE(ticks.size(), 2u + 3) << "the timer ticked while the log loaded, in " << loaded
                                  << " ms";
  EXPECT_LT(longest, 1000) << "the event loop stood still for " << longest << " ms";
  EXPECT_TRUE(barSeen);
  EXPECT_FALSE(progress->isVisible());
  ASSERT_NE(window.shownSession(), &live.session());
  EXPECT_EQ(window.shownSession()->size(), 600'000u);
  EXPECT_EQ(window.windowTitle(), "趋势图 - big.csv");
}

TEST_F(TrendWindowTest, CancellingALoadLeavesTheWindowAsItWas) {
  showHour();
  const QString path = WriteLog(folder, 600'000);
  const QString title = window.windowTitle();
  const double start = window.view().startMs(), end = window.view().endMs();
  auto* cancel = window.findChild<QPushButton*>("logLoadCancel");
  ASSERT_NE(cancel, nullptr);
  EXPECT_EQ(cancel->text(), "取消");
  QTimer::singleShot(0, cancel, [cancel] {
    EXPECT_TRUE(cancel->isVisible());
    cancel->click();
  });
  EXPECT_EQ(window.openLog(path), "");
  EXPECT_FALSE(window.openingLog());
  EXPECT_FALSE(cancel->isVisible());
  QTest::qWait(500);  // the thread ends on its own; nothing of it may show up
  EXPECT_EQ(window.shownSession(), &live.session());
  EXPECT_EQ(window.windowTitle(), title);
  EXPECT_EQ(window.view().startMs(), start);
  EXPECT_EQ(window.view().endMs(), end);
}

TEST_F(TrendWindowTest, OpeningAFifoFromTheToolBarSaysItIsNoRegularFileAndChangesNothing) {
  showHour();
  const QString fifo = folder.filePath("pipe.csv");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  QAction* open = nullptr;
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->text() == "打开日志…") open = action;
  }
  ASSERT_NE(open, nullptr);
  // Answers the file dialog with the FIFO's path, then reads the box that follows.
  QString said;
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
      name->setText(fifo);
      QTest::keyClick(name, Qt::Key_Return);
    } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      said = box->text();
      box->accept();
    }
  });
  answer.start(20);
  open->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !said.isEmpty(); }, 5000));
  EXPECT_TRUE(said.contains("不是普通文件")) << said.toStdString();
  EXPECT_EQ(window.shownSession(), &live.session());
}

TEST(TrendWindowOfALongSession, HoverOnAStretchKeptCoarserSaysTheReadingIsItsLowestOrHighest) {
  session::EventFeed feed;
  LiveTrend live(feed, std::size_t{3} << 20);
  ScriptedHour hour{feed};
  // 250 s of readings every millisecond, ending now.
  hour.steadyStart = std::chrono::steady_clock::now() - 250s;
  hour.wallStart = std::chrono::system_clock::now() - 250s;
  hour.shown.pumpCommandedRunning = true;
  hour.at(0ms, pump::EventKind::Open, "/dev/ttyS0");
  const char* pressures[] = {"01.5", "02.5", "02.0"};
  for (int i = 1; i <= 250'000; ++i) {
    hour.shown.currentPressure = Pressure::Read(pressures[i % 3]);
    hour.at(std::chrono::milliseconds(i), pump::EventKind::Reading,
            "Q00N" + hour.shown.currentPressure.characters + "Y");
  }
  ASSERT_LT(live.session().size(), 200'000u) << "the start was kept coarser";
  TrendWindow window(&live);
  window.show();
  QTest::qWait(TrendWindow::kRepaintIntervalMs * 2);
  window.showAll();
  QTest::qWait(TrendWindow::kRepaintIntervalMs * 2);
  QWidget* plot = window.chartView()->viewport();
  const auto readoutAt = [&](double share) {
    const int x = static_cast<int>(window.chartView()->plotWidth() * share) + 60;
    const QPoint at(x, plot->height() / 2);
    QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    return window.readout();
  };
  const QString early = readoutAt(0.2), newest = readoutAt(0.97);
  EXPECT_TRUE(
      early.contains(QRegularExpression("压力 (1\\.5 MPa（区间最低）|2\\.5 MPa（区间最高）)")))
      << early.toStdString();
  EXPECT_TRUE(newest.contains("压力 ")) << newest.toStdString();
  EXPECT_FALSE(newest.contains("区间")) << newest.toStdString();
}

}  // namespace
}  // namespace pump::trend::qt
