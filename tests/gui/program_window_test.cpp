// The window 运行程序: opened from 工具, a program typed, checked, pasted,
// saved and opened again as bytes on disk, and run on a pump on a
// pseudo-terminal from its buttons, the table following the step.
#include "app/program_window.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QChart>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>

#include "app/composition.h"
#include "app/program_preview.h"
#include "app/session_program_controls.h"
#include "link/pump_command.h"
#include "platform/qt/qt_timer.h"
#include "tests/gui/console_on_qt.h"
#include "tests/support/fifo_writer_later.h"
#include "tests/support/port_box_answer.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_sim_process.h"
#include "tests/support/scoped_variable.h"
#include "trend/qt/trend_chart_view.h"
#include "trend/qt/trend_window.h"

namespace pump {
namespace {

using testing::HomeAt;
using testing::PtyPair;
using testing::WaitUntil;

// The text of the next message box, which is then closed.
class NextBox {
 public:
  NextBox() {
    QTimer::singleShot(0, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        text = box->text().toStdString();
        box->accept();
      }
    });
  }
  std::string text;
};

// Answers every modal window that opens while it lives, as the operator
// would: a message box with one button, a file dialog by choosing a file (or
// cancelling when none is given). Notes what it saw, in order.
class AnswerModals {
 public:
  explicit AnswerModals(QMessageBox::StandardButton boxAnswer, QString file = {})
      : boxAnswer_(boxAnswer), file_(std::move(file)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
    timer_.start(20);
  }
  std::vector<std::string> seen;  // each box's text, or "file dialog"

 private:
  void answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen.push_back(box->text().toStdString());
      box->button(boxAnswer_)->click();
    } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
      seen.push_back("file dialog");
      if (file_.isEmpty()) return dialog->reject();
      dialog->findChild<QLineEdit*>("fileNameEdit")->setText(file_);  // typed, as the operator does
      static_cast<QDialog*>(dialog)->accept();
    }
  }

  QMessageBox::StandardButton boxAnswer_;
  QString file_;
  QTimer timer_;
};

// Types into a cell's editor as the operator does: F2, the text, Return.
void TypeCell(app::ProgramWindow& window, int row, int column, const QString& text) {
  QTableWidget& steps = window.steps();
  steps.setFocus();
  steps.setCurrentCell(row, column);
  QTest::keyClick(&steps, Qt::Key_F2);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr) << "no editor on row " << row << " column " << column;
  editor->selectAll();
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the editor hands its text over on the next turn
}

// The window shown and active, as for the operator: keys go where the focus is.
void ShowActive(QWidget& window) {
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

void TypeStep(app::ProgramWindow& window, int row, const QStringList& cells) {
  for (int column = 1; column <= 4; ++column) TypeCell(window, row, column, cells[column - 1]);
}

QStringList RowTexts(app::ProgramWindow& window, int row) {
  QStringList texts;
  for (int column = 0; column < 5; ++column) texts << window.steps().item(row, column)->text();
  return texts;
}

constexpr char kFiveStepFile[] = R"({
  "name": "升流量",
  "steps": [
    {
      "flow_end": 50,
      "flow_start": 0,
      "pressure_limit": 3.0,
      "seconds": 60
    },
    {
      "flow_end": 50,
      "flow_start": 50,
      "pressure_limit": 3.0,
      "seconds": 600
    },
    {
      "flow_end": 80,
      "flow_start": 80,
      "pressure_limit": 3.5,
      "seconds": 300
    },
    {
      "flow_end": 20,
      "flow_start": 80,
      "pressure_limit": 3.5,
      "seconds": 120
    },
    {
      "flow_end": 0,
      "flow_start": 0,
      "pressure_limit": 0.5,
      "seconds": 30
    }
  ],
  "version": 1
}
)";

TEST(ProgramWindow, AFiveStepProgramTypedFromTheToolsMenuIsSavedAndOpenedByteForByte) {
  QTemporaryDir home;
  HomeAt at(home.path().toStdString());
  app::Console console;
  console.start();
  QAction* item = console.mainWindowView().menuItem("program");
  EXPECT_EQ(item->text(), "运行程序…");
  item->trigger();
  app::ProgramWindow* window = console.programWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  ShowActive(*window);
  EXPECT_EQ(window->windowTitle(), "运行程序 - 新程序");

  auto* name = window->findChild<QLineEdit*>("name");
  name->selectAll();
  // Typed as an input method hands it over: one key event with the text.
  QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("升流量"));
  QApplication::sendEvent(name, &typed);
  EXPECT_EQ(window->windowTitle(), "运行程序 - 升流量");
  TypeStep(*window, 0, {"60", "0", "50", "3.0"});
  const QList<QStringList> rest{{"00:10:00", "50", "50", "3.0"},
                                {"300", "80", "80", "3.5"},
                                {"2:00", "80", "20", "3.5"},
                                {"30", "0", "0", "0.5"}};
  for (int row = 1; row <= 4; ++row) {
    window->steps().setCurrentCell(row - 1, 1);
    window->button("insert").click();
    TypeStep(*window, row, rest[row - 1]);
  }
  EXPECT_EQ(window->totals().text(), "总时长 00:18:30　体积 1025.0 ml");
  EXPECT_TRUE(window->button("start").isEnabled());

  // 保存… makes the programs folder and proposes the program's name in it.
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    static_cast<QDialog*>(dialog)->accept();  // the file name proposed
  });
  window->button("save").click();
  const QString saved = home.filePath("Documents/pump-programs/升流量.json");
  QFile file(saved);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << saved.toStdString();
  EXPECT_EQ(file.readAll().toStdString(), kFiveStepFile);

  app::SessionProgramControls controls(console.session());
  app::ProgramWindow reopened(controls);
  ASSERT_TRUE(reopened.openFile(saved));
  EXPECT_EQ(reopened.windowTitle(), "运行程序 - 升流量");
  ASSERT_EQ(reopened.steps().rowCount(), 5);
  EXPECT_EQ(RowTexts(reopened, 3), (QStringList{"4", "120", "80", "20", "3.5"}));
  EXPECT_EQ(reopened.table().program(), window->table().program());
}

TEST(ProgramWindow, AFaultyCellIsMarkedAndExplainedAndKeepsTheProgramFromStarting) {
  testing::ConsoleHarness harness;
  app::SessionProgramControls controls(*harness.session);
  app::ProgramWindow window(controls);
  ShowActive(window);
  TypeStep(window, 0, {"60", "10", "250", "2.0"});
  QTableWidgetItem* faulty = window.steps().item(0, 3);
  EXPECT_EQ(faulty->background().color(), QColor(255, 190, 190));
  EXPECT_EQ(faulty->toolTip(), "步骤 1，结束流量：流量须为 0 到 200 的整数（ml/min）。");
  EXPECT_EQ(window.faultLine().text(), faulty->toolTip());
  EXPECT_FALSE(window.button("start").isEnabled());
  EXPECT_EQ(window.steps().item(0, 2)->background().style(), Qt::NoBrush);

  TypeCell(window, 0, 3, "200");
  EXPECT_EQ(window.steps().item(0, 3)->background().style(), Qt::NoBrush);
  EXPECT_EQ(window.faultLine().text(), "程序无误，可以开始。");
  EXPECT_TRUE(window.button("start").isEnabled());

  // Deleting the only step leaves nothing to start.
  window.button("delete").click();
  EXPECT_EQ(window.steps().rowCount(), 0);
  EXPECT_EQ(window.faultLine().text(), "程序至少要有一个步骤。");
  EXPECT_FALSE(window.button("start").isEnabled());
}

TEST(ProgramWindow, RowsCopiedFromASpreadsheetArePastedWithCtrlV) {
  testing::ConsoleHarness harness;
  app::SessionProgramControls controls(*harness.session);
  app::ProgramWindow window(controls);
  ShowActive(window);
  QApplication::clipboard()->setText(
      "步骤\t时长\t起始流量\t结束流量\t压力上限\r\n1\t60\t0\t40\t2.5\r\n2\t120\t40\t40\t2.5\r\n");
  window.steps().setCurrentCell(0, 1);
  window.steps().setFocus();
  QTest::keyClick(&window.steps(), Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(window.steps().rowCount(), 2);
  EXPECT_EQ(RowTexts(window, 0), (QStringList{"1", "60", "0", "40", "2.5"}));
  EXPECT_EQ(RowTexts(window, 1), (QStringList{"2", "120", "40", "40", "2.5"}));
  EXPECT_EQ(window.totals().text(), "总时长 00:03:00　体积 100.0 ml");
  EXPECT_EQ(window.preview().flowLine().count(), 4);

  // Moved down, the second row becomes the first.
  window.steps().setCurrentCell(0, 2);
  window.button("down").click();
  EXPECT_EQ(RowTexts(window, 1), (QStringList{"2", "60", "0", "40", "2.5"}));
  EXPECT_EQ(window.steps().currentRow(), 1);
}

TEST(ProgramWindow, AFileTheLoaderRefusesIsReportedAndNothingIsLoaded) {
  QTemporaryDir folder;
  const QString path = folder.filePath("bad.json");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(R"({"version":1,"name":"x","steps":[{"seconds":60,"flow_start":0,)"
             R"("flow_end":500,"pressure_limit":3.0}]})");
  file.close();
  testing::ConsoleHarness harness;
  app::SessionProgramControls controls(*harness.session);
  app::ProgramWindow window(controls);
  ShowActive(window);
  TypeStep(window, 0, {"90", "5", "5", "1.0"});
  NextBox box;
  EXPECT_FALSE(window.openFile(path));
  EXPECT_EQ(box.text, "程序文件不能使用，未载入：\nstep 1: flow_end must be 0 to 200 ml/min");
  EXPECT_EQ(RowTexts(window, 0), (QStringList{"1", "90", "5", "5", "1.0"}));
  EXPECT_EQ(window.windowTitle(), "运行程序 - 新程序");
}

TEST(ProgramWindow, EditsNotSavedAreDroppedByOpenOrCloseOnlyWhenTheOperatorAgrees) {
  QTemporaryDir folder;
  const QString path = folder.filePath("升流量.json");
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(kFiveStepFile);
  file.close();
  const std::string question = "程序已修改，是否放弃修改？";
  testing::ConsoleHarness harness;
  app::SessionProgramControls controls(*harness.session);
  app::ProgramWindow window(controls);
  ShowActive(window);
  {  // A new, untouched table: 打开… goes straight to the file dialog.
    AnswerModals cancel(QMessageBox::No);
    window.button("open").click();
    EXPECT_EQ(cancel.seen, (std::vector<std::string>{"file dialog"}));
  }
  ShowActive(window);
  TypeStep(window, 0, {"90", "5", "5", "1.0"});
  {
    AnswerModals keep(QMessageBox::No, path);
    window.button("open").click();
    EXPECT_EQ(keep.seen, (std::vector<std::string>{question}));
    EXPECT_EQ(RowTexts(window, 0), (QStringList{"1", "90", "5", "5", "1.0"}));
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(keep.seen.size(), 2u);
    EXPECT_EQ(RowTexts(window, 0), (QStringList{"1", "90", "5", "5", "1.0"}));
  }
  {
    AnswerModals discard(QMessageBox::Yes, path);
    window.button("open").click();
    EXPECT_EQ(discard.seen, (std::vector<std::string>{question, "file dialog"}));
    EXPECT_EQ(window.windowTitle(), "运行程序 - 升流量");
    ASSERT_EQ(window.steps().rowCount(), 5);
  }
  {  // Just opened, then edited and saved: nothing to lose, so no question.
    AnswerModals none(QMessageBox::No);
    ShowActive(window);
    TypeCell(window, 4, 1, "45");
    ASSERT_TRUE(window.saveTo(folder.filePath("saved.json")));
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(none.seen.empty());
    EXPECT_FALSE(window.isVisible());
  }
  ShowActive(window);
  TypeCell(window, 4, 1, "50");
  AnswerModals discard(QMessageBox::Yes);
  EXPECT_TRUE(window.close());
  EXPECT_EQ(discard.seen, (std::vector<std::string>{question}));
}

TEST(ProgramWindow, StartWithNoPortOpenShowsTheSessionsRefusal) {
  testing::ConsoleHarness harness;
  app::SessionProgramControls controls(*harness.session);
  app::ProgramWindow window(controls);
  ShowActive(window);
  NextBox box;
  window.button("start").click();
  EXPECT_EQ(box.text, "程序未开始：" + std::string(texts::kPortNotOpen));
  EXPECT_TRUE(window.button("start").isEnabled());
  EXPECT_FALSE(window.button("abort").isEnabled());
}

struct Heard {
  std::string frame;
  qint64 atMs;
};

std::vector<Heard> FramesUntil(PtyPair& pump, const QElapsedTimer& clock, qint64 untilMs) {
  std::vector<Heard> frames;
  while (clock.elapsed() < untilMs) {
    std::string frame = pump.read(9, static_cast<int>(untilMs - clock.elapsed()));
    if (frame.size() == 9) frames.push_back({std::move(frame), clock.elapsed()});
  }
  return frames;
}

// The frames other than the status poll, in order, for as long as given.
std::vector<std::string> CommandsWithin(PtyPair& pump, int ms) {
  QElapsedTimer clock;
  clock.start();
  std::vector<std::string> frames;
  for (std::string frame;
       !(frame = pump.nextCommand(ms - static_cast<int>(clock.elapsed()))).empty();)
    frames.push_back(frame);
  return frames;
}

// The program window, shown, of a console on a real line whose program ticks
// on a real timer; the test plays the pump.
struct ProgramWindowOnLine {
  PtyPair pump;
  testing::ConsoleOnQt console;
  app::SessionProgramControls controls{*console.session};
  app::ProgramWindow window{controls};

  ProgramWindowOnLine() {
    console.openPort(pump.slavePath());
    ShowActive(window);
  }
};

bool RowMarkedRunning(app::ProgramWindow& window, int row) {
  return window.steps().item(row, 0)->background().color() == QColor(190, 225, 255) &&
         window.steps().currentRow() == row;
}

TEST(ProgramWindow, ItsButtonsRunThePumpAndTheTableFollowsTheStep) {
  ProgramWindowOnLine rig;
  ASSERT_TRUE(rig.pump.ok());
  auto& [pump, console, controls, window] = rig;
  TypeStep(window, 0, {"2", "10", "10", "2.0"});
  window.steps().setCurrentCell(0, 1);
  window.button("insert").click();
  TypeStep(window, 1, {"600", "30", "30", "2.5"});
  const auto frame = [](auto command) { return command->frame(); };
  const std::string limit20 = frame(link::PumpCommand::SetPressureLimit(0, 2.0));
  const std::string limit25 = frame(link::PumpCommand::SetPressureLimit(0, 2.5));
  const std::string flow10 = frame(link::PumpCommand::SetFlow(0, 10));
  const std::string flow30 = frame(link::PumpCommand::SetFlow(0, 30));
  const std::string run = link::PumpCommand::Run().frame();
  const std::string stop = link::PumpCommand::Stop().frame();

  window.button("start").click();
  EXPECT_EQ(CommandsWithin(pump, 600), (std::vector<std::string>{limit20, flow10, run}));
  EXPECT_TRUE(RowMarkedRunning(window, 0));
  EXPECT_FALSE(window.button("start").isEnabled());
  EXPECT_TRUE(window.button("pause").isEnabled());
  EXPECT_FALSE(window.button("open").isEnabled());
  EXPECT_EQ(window.steps().editTriggers(), QAbstractItemView::NoEditTriggers);

  EXPECT_EQ(CommandsWithin(pump, 2500), (std::vector<std::string>{limit25, flow30}));
  ASSERT_TRUE(WaitUntil([&] { return RowMarkedRunning(window, 1); }, 3000));
  EXPECT_EQ(window.steps().item(0, 0)->background().style(), Qt::NoBrush);

  window.button("pause").click();
  EXPECT_EQ(CommandsWithin(pump, 500), (std::vector<std::string>{stop}));
  EXPECT_TRUE(window.button("continue").isEnabled());
  EXPECT_FALSE(window.button("pause").isEnabled());
  window.button("continue").click();
  EXPECT_EQ(CommandsWithin(pump, 500), (std::vector<std::string>{limit25, flow30, run}));
  window.button("abort").click();
  EXPECT_EQ(CommandsWithin(pump, 500), (std::vector<std::string>{stop}));
  ASSERT_TRUE(WaitUntil([&] { return window.button("start").isEnabled(); }, 2000));
  EXPECT_FALSE(window.button("abort").isEnabled());
  EXPECT_FALSE(RowMarkedRunning(window, 1));
  EXPECT_TRUE(window.steps().editTriggers().testFlag(QAbstractItemView::EditKeyPressed));
}

TEST(ProgramWindow, OpeningAFifoDuringATimedRunKeepsThePollAndTheStopOnTime) {
  QTemporaryDir folder;
  const QString fifo = folder.filePath("program.json");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  testing::FifoWriterLater unblock(QFile::encodeName(fifo).toStdString(), std::chrono::seconds(5));
  ProgramWindowOnLine rig;
  ASSERT_TRUE(rig.pump.ok());
  auto& [pump, console, controls, window] = rig;

  QElapsedTimer sinceStart;
  sinceStart.start();
  console.startTimedRun("0.05");  // three seconds
  AnswerModals operatorAnswers(QMessageBox::Ok, fifo);
  QTimer::singleShot(500, &window, [&] { window.button("open").click(); });
  const std::vector<Heard> heard = FramesUntil(pump, sinceStart, 4500);

  EXPECT_EQ(operatorAnswers.seen,
            (std::vector<std::string>{"file dialog",
                                      "程序文件读不出：不是普通文件（而是管道、设备或文件夹）"}));
  const std::string poll = link::PumpCommand::StatusPoll().frame();
  const std::string stop = link::PumpCommand::Stop().frame();
  qint64 lastPoll = 0;
  bool stopped = false;
  for (const Heard& frame : heard) {
    if (frame.frame == poll) {
      EXPECT_LT(frame.atMs - lastPoll, 2000) << "no poll for " << frame.atMs - lastPoll << " ms";
      lastPoll = frame.atMs;
    } else if (frame.frame == stop) {
      stopped = true;
      EXPECT_GE(frame.atMs, 2900);
      EXPECT_LE(frame.atMs, 3700) << "the run's stop went out late";
    }
  }
  EXPECT_TRUE(stopped);
  EXPECT_GT(lastPoll, 3000) << "the poll went on";
}

TEST(ProgramWindow, AProgramStartedElsewhereIsShownInTheTableUntilItEnds) {
  ProgramWindowOnLine rig;
  ASSERT_TRUE(rig.pump.ok());
  auto& [pump, console, controls, window] = rig;
  TypeStep(window, 0, {"90", "5", "5", "1.0"});

  // As the broker or the command line start one: on the session.
  const program::Program remote{"远程冲洗", {{1, 10, 10, 20}, {600, 10, 40, 25}}};
  ASSERT_TRUE(console.session->startProgram(remote).ok());
  ASSERT_TRUE(WaitUntil([&] { return window.windowTitle() == "运行程序 - 远程冲洗"; }, 3000));
  ASSERT_EQ(window.steps().rowCount(), 2);
  EXPECT_EQ(RowTexts(window, 1), (QStringList{"2", "600", "10", "40", "2.5"}));
  EXPECT_EQ(window.findChild<QLineEdit*>("name")->text(), "远程冲洗");
  EXPECT_EQ(window.totals().text(), "总时长 00:10:01　体积 250.2 ml");
  EXPECT_EQ(window.preview().flowLine().count(), 4);
  EXPECT_TRUE(WaitUntil([&] { return RowMarkedRunning(window, 0); }, 2000));
  EXPECT_TRUE(WaitUntil([&] { return RowMarkedRunning(window, 1); }, 4000));

  // Once it ends, the operator's own table comes back as it was.
  ASSERT_TRUE(console.session->abortProgram().ok());
  ASSERT_TRUE(WaitUntil([&] { return window.windowTitle() == "运行程序 - 新程序"; }, 3000));
  ASSERT_EQ(window.steps().rowCount(), 1);
  EXPECT_EQ(RowTexts(window, 0), (QStringList{"1", "90", "5", "5", "1.0"}));
  EXPECT_TRUE(window.button("start").isEnabled());
}

// The points of the trend's planned flow, all its pieces together.
int PlannedFlowPoints(trend::qt::TrendChartView& chart) {
  int points = 0;
  for (QAbstractSeries* series : chart.chart()->series())
    if (series->name() == "计划流量") points += static_cast<QLineSeries*>(series)->count();
  return points;
}

TEST(ProgramWindow, TheTrendDrawsTheRunningProgramsPlanAndMarksItsSteps) {
  testing::PumpSimProcess pump;
  ASSERT_FALSE(pump.devicePath().empty());
  QTemporaryDir home;
  HomeAt at(home.path().toStdString());
  app::Console console;
  console.start();
  testing::OpenThroughThePortBox(console.window(), pump.devicePath());
  console.mainWindowView().menuItem("program")->trigger();
  app::ProgramWindow& window = *console.programWindow();
  window.steps().setCurrentCell(0, 1);
  window.pasteRows("2\t0\t20\t2.0\n600\t20\t20\t2.0\n");
  ASSERT_TRUE(WaitUntil([&] { return window.button("start").isEnabled(); }, 5000));
  window.button("start").click();
  console.mainWindowView().menuItem("trend")->trigger();
  auto* chart = console.trendWindow()->window()->findChild<trend::qt::TrendChartView*>();
  ASSERT_NE(chart, nullptr);
  // The ramp, the boundary and the hold: four points, and one mark in view so far.
  EXPECT_TRUE(WaitUntil([&] { return PlannedFlowPoints(*chart) >= 4; }, 5000));
  EXPECT_TRUE(WaitUntil([&] { return !chart->stepMarksMs().empty(); }, 5000));
  window.button("abort").click();
}

}  // namespace
}  // namespace pump
