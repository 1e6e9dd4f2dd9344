// The whole console on pump-sim's line, logging: the CSV it leaves holds the
// open, the commands, every reply once and the close; the tools menu is there
// with no port open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <map>
#include <regex>

#include "app/composition.h"
#include "tests/runlog/log_test_support.h"
#include "tests/support/console_harness.h"
#include "tests/support/port_box_answer.h"
#include "tests/support/pty_pair.h"
#include "tests/support/pump_sim_process.h"

namespace pump {
namespace {

using runlog::testing::Fields;
using runlog::testing::FileNames;
using runlog::testing::Lines;
using runlog::testing::ReadFile;
using runlog::testing::ScratchFolder;
using testing::OpenThroughThePortBox;
using testing::WaitUntil;

TEST(RunLogInConsole, ToolsMenuFollowsCommunicationAndIsEnabledWithNoPortOpen) {
  ScratchFolder scratch;
  app::Console console(scratch.path() + "/pump-logs");
  console.start();
  QStringList bar;
  for (QAction* entry : console.mainWindowView().menuBar()->actions()) bar << entry->text();
  const auto tools = bar.indexOf("工具(U)");
  ASSERT_GT(tools, 0) << bar.join(" | ").toStdString();
  EXPECT_EQ(bar[tools - 1], "通信");
  QAction* logFolder = console.mainWindowView().menuItem("logfolder");
  EXPECT_EQ(logFolder->text(), "日志文件夹");
  EXPECT_FALSE(console.window().menus.file.enabled()) << "no port open: the file menu is locked";
  EXPECT_TRUE(console.mainWindowView().menuItem("logfolder")->isEnabled());
  EXPECT_TRUE(console.mainWindowView().findChild<QMenu*>("tools")->menuAction()->isEnabled());
  EXPECT_FALSE(std::filesystem::exists(scratch.path() + "/pump-logs"))
      << "no folder before the first row";
}

TEST(RunLogInConsole, ASessionOnPumpSimWithSplitRepliesLeavesOneRowPerReplyAndCommand) {
  ScratchFolder scratch;
  const std::string folder = scratch.path() + "/pump-logs";
  testing::PumpSimProcess pump({"--split"});
  ASSERT_FALSE(pump.devicePath().empty());
  int replies = 0;
  {
    app::Console console(folder);
    console.start();
    auto& w = console.window();
    OpenThroughThePortBox(console.window(), pump.devicePath());
    ASSERT_TRUE(testing::MenusReleased(w));
    ASSERT_TRUE(WaitUntil([&] { return w.chart().position() >= 2; }, 5000));
    w.pressRunKey();
    ASSERT_TRUE(WaitUntil([&] { return w.chart().position() >= 4; }, 5000));
    w.pressStopKey();
    QTest::qWait(300);
    replies = w.chart().position();
    w.closeWindow();
  }  // the log's writer finishes as the console goes

  const auto files = FileNames(folder);
  ASSERT_EQ(files.size(), 1U);
  EXPECT_TRUE(std::regex_match(files[0], std::regex(R"(\d{4}-\d\d-\d\d_\d\d-\d\d-\d\d\.csv)")));
  const auto rows = Lines(ReadFile(folder + "/" + files[0]));
  ASSERT_GE(rows.size(), 3U);
  EXPECT_EQ(rows[0],
            "time,elapsed_s,event,pressure_mpa,flow_ml_min,pressure_limit_mpa,pump,detail");
  EXPECT_EQ(Fields(rows[1])[2], "open");
  EXPECT_EQ(Fields(rows[1])[7], pump.devicePath());
  // The window's close, then the line's state after it, as the broker hears them.
  ASSERT_GE(rows.size(), 4U);
  EXPECT_EQ(Fields(rows[rows.size() - 2])[2], "close");
  EXPECT_EQ(Fields(rows.back())[2] + " " + Fields(rows.back())[7], "link not_connected");

  int replyRows = 0;
  std::vector<std::string> commands;
  for (std::size_t i = 2; i + 2 < rows.size(); ++i) {
    const auto fields = Fields(rows[i]);
    ASSERT_EQ(fields.size(), 8U) << rows[i];
    if (fields[2] == "reading") {
      ++replyRows;
      EXPECT_TRUE(std::regex_match(fields[7], std::regex(R"(Q\d\dN\d\d\.\dY)"))) << rows[i];
      EXPECT_TRUE(std::regex_match(fields[3], std::regex(R"((0|[1-9]\d*)\.\d)"))) << rows[i];
    } else if (fields[2] == "reply") {
      ++replyRows;
    } else if (fields[2] == "command") {
      commands.push_back(fields[7]);
      EXPECT_EQ(fields[6], commands.size() == 1 ? "RUN" : "STOP") << rows[i];
    }
  }
  EXPECT_EQ(replyRows, replies) << "each reply, though split in two writes, is one row";
  EXPECT_EQ(commands.size(), 2U);
}

// The run length box, answered with `minutes` once it shows.
void AnswerRunLengthBox(const QString& minutes) {
  QTimer::singleShot(0, [minutes] {
    if (auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget())) {
      box->setTextValue(minutes);
      box->accept();
    }
  });
}

// The position of the first row whose event and detail are these, or -1.
int RowOf(const std::vector<std::string>& rows, const std::string& event,
          const std::string& detail) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto fields = Fields(rows[i]);
    if (fields.size() == 8 && fields[2] == event && fields[7] == detail) return static_cast<int>(i);
  }
  return -1;
}

TEST(RunLogInConsole, ATimedRunFromTheMenuIsLoggedAsRunningUntilItsEndThoughTheKeypadShowsStop) {
  ScratchFolder scratch;
  const std::string folder = scratch.path() + "/pump-logs";
  testing::PumpSimProcess pump;
  ASSERT_FALSE(pump.devicePath().empty());
  {
    app::Console console(folder);
    console.start();
    auto& w = console.window();
    OpenThroughThePortBox(w, pump.devicePath());
    ASSERT_TRUE(testing::MenusReleased(w));
    AnswerRunLengthBox("5");
    w.askRunLength();
    w.startTimedRun();
    const int started = w.chart().position();
    ASSERT_TRUE(WaitUntil([&] { return w.chart().position() >= started + 2; }, 5000));
    EXPECT_EQ(w.display.pumpState.caption(), "     STOP") << "the run-state display is the keys'";
    w.endTimedRun();
    const int ended = w.chart().position();
    ASSERT_TRUE(WaitUntil([&] { return w.chart().position() >= ended + 2; }, 5000));
    w.closeWindow();
  }

  const auto files = FileNames(folder);
  ASSERT_EQ(files.size(), 1U);
  const auto rows = Lines(ReadFile(folder + "/" + files[0]));
  ASSERT_GE(rows.size(), 4U);
  EXPECT_EQ(Fields(rows[2])[2] + " " + Fields(rows[2])[7], "link waiting") << "before any reply";
  const int answering = RowOf(rows, "link", "answering");
  ASSERT_GT(answering, 2);
  for (int i = 3; i <= answering + 1; ++i) {
    const bool reply = Fields(rows[i])[2] == "reading" || Fields(rows[i])[2] == "reply";
    EXPECT_EQ(reply, i == answering + 1) << "answering comes with the first reply: " << rows[i];
  }
  const int run = RowOf(rows, "command", "Q00R0000Y");
  const int stop = RowOf(rows, "command", "Q00S0000Y");
  ASSERT_GT(run, 2);
  ASSERT_GT(stop, run + 2) << "replies came while it ran";
  EXPECT_EQ(RowOf(rows, "run", "start"), run + 1);
  EXPECT_EQ(RowOf(rows, "run", "end"), stop + 1);
  for (int i = 1; i < static_cast<int>(rows.size()); ++i) {
    EXPECT_EQ(Fields(rows[i])[6], i >= run && i < stop ? "RUN" : "STOP") << rows[i];
  }
}

// The message boxes on screen that are not modal: the run log's.
std::vector<QMessageBox*> LogBoxes() {
  std::vector<QMessageBox*> boxes;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box && box->isVisible() && !box->isModal()) boxes.push_back(box);
  }
  return boxes;
}

TEST(RunLogInConsole, ALogThatCannotBeWrittenIsToldInOneBoxAndThePumpIsStillPolled) {
  ScratchFolder scratch;
  // A file where the Documents folder should be: no folder can be made under it.
  std::ofstream(scratch.path() + "/Documents") << "not a folder";
  const std::string folder = scratch.path() + "/Documents/pump-logs";
  testing::PumpSimProcess pump;
  ASSERT_FALSE(pump.devicePath().empty());
  app::Console console(folder);
  std::vector<std::string> logEvents;
  console.events().subscribe([&](const session::SessionEvent& event) {
    if (event.kind == pump::EventKind::Log) logEvents.push_back(event.detail);
  });
  console.start();
  auto& w = console.window();
  OpenThroughThePortBox(console.window(), pump.devicePath());
  ASSERT_TRUE(testing::MenusReleased(w));
  ASSERT_TRUE(WaitUntil([&] { return !LogBoxes().empty(); }, 3000));
  EXPECT_EQ(logEvents,
            (std::vector<std::string>{"failed not_a_folder " + scratch.path() + "/Documents"}));
  const auto boxes = LogBoxes();
  ASSERT_EQ(boxes.size(), 1U);
  EXPECT_EQ(boxes[0]->windowTitle(), "运行日志");
  EXPECT_EQ(
      boxes[0]->text().toStdString().rfind(
          "运行日志无法写入：" + folder + "\n" + scratch.path() + "/Documents 不是文件夹。", 0),
      0U)
      << boxes[0]->text().toStdString();
  EXPECT_TRUE(WaitUntil(
      [&] { return w.display.linkStatus.caption() == "● 日志无法写入: 不是文件夹"; }, 3000))
      << w.display.linkStatus.caption();

  const int before = w.chart().position();
  w.pressRunKey();
  EXPECT_TRUE(WaitUntil([&] { return w.chart().position() >= before + 2; }, 5000))
      << "polling goes on behind the box";
  EXPECT_EQ(w.display.pumpState.caption(), "     RUN ");
  EXPECT_EQ(LogBoxes().size(), 1U) << "told once, not for every row";
  EXPECT_EQ(logEvents.size(), 1U);
  w.closeWindow();
}

std::string WithoutPolls(std::string line) {
  for (std::size_t at; (at = line.find("Q00F0000Y")) != std::string::npos;) line.erase(at, 9);
  return line;
}

// The rows of each log file in the folder, by the port its first row opened.
std::map<std::string, std::vector<std::string>> RowsByPort(const std::string& folder) {
  std::map<std::string, std::vector<std::string>> logs;
  for (const auto& name : FileNames(folder)) {
    const auto rows = Lines(ReadFile(folder + "/" + name));
    if (rows.size() > 1) logs[Fields(rows[1])[7]] = rows;
  }
  return logs;
}

TEST(RunLogInConsole, AnotherPortOpenedDuringATimedRunAsksAndYesEndsTheRunOnItsOwnLineAndLog) {
  ScratchFolder scratch;
  const std::string folder = scratch.path() + "/pump-logs";
  testing::PtyPair pumpA, pumpB;
  ASSERT_TRUE(pumpA.ok() && pumpB.ok());
  std::string onA, onB;
  {
    app::Console console(folder);
    console.start();
    auto& w = console.window();
    OpenThroughThePortBox(w, pumpA.slavePath());
    ASSERT_TRUE(testing::MenusReleased(w));
    console.session().setRunLength(0.05);  // three seconds
    w.startTimedRun();

    OpenThroughThePortBox(w, pumpB.slavePath(), false);
    EXPECT_EQ(console.session().device(), pumpA.slavePath()) << "No opens nothing";
    EXPECT_TRUE(console.session().runInProgress());

    OpenThroughThePortBox(w, pumpB.slavePath(), true);
    EXPECT_EQ(console.session().device(), pumpB.slavePath());
    onA = pumpA.read(4096, 300);
    QTest::qWait(3500);  // past the run's length
    onB = pumpB.read(4096, 300);
    w.closeWindow();
  }
  EXPECT_EQ(WithoutPolls(onA), "Q00R0000YQ00S0000Y") << "the stop went to the pump that ran";
  EXPECT_NE(onB.find("Q00F0000Y"), std::string::npos) << "the other pump is polled";
  EXPECT_EQ(WithoutPolls(onB), "") << "and told nothing of the run";

  auto logs = RowsByPort(folder);
  ASSERT_EQ(logs.size(), 2U);
  const auto& rowsA = logs[pumpA.slavePath()];
  const int stop = RowOf(rowsA, "command", "Q00S0000Y");
  EXPECT_GT(stop, RowOf(rowsA, "run", "start"));
  EXPECT_EQ(RowOf(rowsA, "run", "end"), stop + 1);
  EXPECT_GT(RowOf(rowsA, "close", pumpA.slavePath()), stop + 1);
  for (const auto& row : logs[pumpB.slavePath()]) {
    EXPECT_NE(Fields(row)[2], "run") << row;
    EXPECT_NE(Fields(row)[7], "Q00S0000Y") << row;
  }
}

}  // namespace
}  // namespace pump
