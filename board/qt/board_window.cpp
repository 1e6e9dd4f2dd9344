#include "board/qt/board_window.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QSplitter>
#include <QToolBar>
#include <variant>

#include "board/qt/group_dialog.h"
#include "board/qt/group_panel.h"
#include "board/qt/tile_grid.h"
#include "board/tile_texts.h"
#include "program/program_file.h"
#include "texts/operator_texts.h"

namespace pump::board::qt {
namespace {

const char* AlarmName(AlarmKind kind) {
  switch (kind) {
    case AlarmKind::Offline:
      return texts::kBoardOffline;
    case AlarmKind::LinkNotAnswering:
      return texts::kBoardLinkNotAnswering;
    case AlarmKind::PressureAtLimit:
      return texts::kBoardPressureAtLimit;
    case AlarmKind::Silent:
      return texts::kBoardSilent;
  }
  return "";
}

QString Shown(const std::string& text) { return QString::fromStdString(VisibleText(text)); }

QString AlarmLine(const AlarmRecord& record) {
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(record.at.time_since_epoch());
  return QDateTime::fromMSecsSinceEpoch(ms.count()).toString("yyyy-MM-dd HH:mm:ss") + "  " +
         Shown(record.pumpId) + "  " + AlarmName(record.kind) + "  " +
         (record.started ? texts::kBoardAlarmStarted : texts::kBoardAlarmEnded);
}

QString JoinIds(const std::vector<std::string>& ids) {
  QStringList names;
  for (const auto& id : ids) names << Shown(id);
  return names.join('\n');
}

// A program file; one that cannot be read is refused in the operator's words.
std::variant<program::Program, program::Fault> ReadProgramFile(const QString& path) {
  std::string bytes;
  const FileResult file =
      program::ReadProgramFileBytes(QFile::encodeName(path).toStdString(), &bytes);
  if (!file.ok) return program::Fault{0, "", FailureForOperator(file)};
  return program::ReadProgram(bytes);
}

}  // namespace

BoardWindow::BoardWindow(Board& board, BoardFeed& feed, const GroupRuns* groups, QWidget* parent)
    : QMainWindow(parent), board_(board), feed_(feed), groups_(groups) {
  setWindowTitle(texts::kBoardTitle);
  grid_ = new TileGrid(
      board_, [this] { return feed_.now().steady; },
      [this](const std::string& pump, QPoint at) { showTileMenu(pump, at); });
  alarms_ = new QListWidget;
  alarms_->setObjectName("alarms");
  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(grid_);
  split->addWidget(alarms_);
  if (groups_) {
    groupPanel_ = new GroupPanel({[this](const std::string& id) { feed_.pauseGroup(id); },
                                  [this](const std::string& id) { feed_.resumeGroup(id); },
                                  [this](const std::string& id) { feed_.abortGroup(id); }});
    split->addWidget(groupPanel_);
  }
  split->setStretchFactor(0, 4);
  setCentralWidget(split);
  auto* tools = addToolBar(texts::kBoardStopAll);
  tools->addAction(texts::kBoardStopAll, this, &BoardWindow::stopAll)->setObjectName("stopAll");
  tools
      ->addAction(texts::kRemoteMonitorItem, this,
                  [this] {
                    if (openSettings_) openSettings_();
                  })
      ->setObjectName("settings");
  if (groups_)
    tools->addAction(texts::kGroupRunItem, this, &BoardWindow::runGroup)->setObjectName("groupRun");

  refreshSoon_.setSingleShot(true);
  refreshSoon_.setInterval(100);
  connect(&refreshSoon_, &QTimer::timeout, this, &BoardWindow::refresh);
  // Ages, silences and timeouts move with time alone.
  ticker_.setInterval(1000);
  connect(&ticker_, &QTimer::timeout, this, [this] {
    feed_.tick();
    refresh();
  });
  ticker_.start();
}

void BoardWindow::boardChanged() {
  if (!refreshSoon_.isActive()) refreshSoon_.start();
}

void BoardWindow::setOnTileShown(std::function<void(const std::string&)> shown) {
  grid_->setOnTileShown(std::move(shown));
}

// Costs what the screen shows: the tiles in view, the title, the new alarm lines.
void BoardWindow::refresh() {
  grid_->refresh();
  const int alarms = board_.activeAlarms();
  setWindowTitle(alarms > 0 ? QString::fromStdString(texts::BoardTitleWithAlarms(alarms))
                            : QString(texts::kBoardTitle));
  showAlarmLog();
  if (groupPanel_) groupPanel_->refresh(*groups_);
  if (stopAllReportDue_ && board_.stopAllSettled()) {
    stopAllReportDue_ = false;
    reportStopAll();
  }
}

void BoardWindow::showAlarmLog() {
  const auto& log = board_.alarmLog();
  const auto fresh =
      std::min<std::uint64_t>(board_.alarmRecordsMade() - alarmLinesShown_, log.size());
  if (fresh == 0) return;
  for (std::size_t i = log.size() - fresh; i < log.size(); ++i) alarms_->addItem(AlarmLine(log[i]));
  alarmLinesShown_ = board_.alarmRecordsMade();
  while (alarms_->count() > static_cast<int>(kAlarmLogLength)) delete alarms_->takeItem(0);
  alarms_->scrollToBottom();
  if (onAlarmsShown_) onAlarmsShown_();
}

void BoardWindow::showTileMenu(const std::string& pumpId, QPoint at) {
  // The tile shown may be of a broker just left; the reading is copied, as
  // the board may forget its pumps while the menu waits on the operator.
  const auto tile = board_.tiles().find(pumpId);
  if (tile == board_.tiles().end() || !tile->second.reading.takesCommands()) return;
  const PumpReading reading = tile->second.reading;
  QMenu menu;
  menu.addAction(texts::kBoardStop, [this, pumpId] { feed_.send(pumpId, "stop", 0); });
  menu.addAction(texts::kBoardSetFlow, [this, pumpId, reading] {
    askValue(pumpId, "set_flow", texts::kBoardSetFlow, reading.flow.value_or(0));
  });
  menu.addAction(texts::kBoardSetPressureLimit, [this, pumpId, reading] {
    askValue(pumpId, "set_pressure_limit", texts::kBoardSetPressureLimit,
             reading.limit.value_or(0));
  });
  menu.addAction(texts::kBoardRunProgram, [this, pumpId] { askProgram(pumpId); });
  menu.exec(at);
}

void BoardWindow::askProgram(const std::string& pumpId) {
  const QString folder = QDir::home().filePath("Documents/pump-programs");
  const QString path = QFileDialog::getOpenFileName(
      this, QString(texts::kBoardRunProgram).remove(QStringLiteral("…")),
      QDir(folder).exists() ? folder : QDir::homePath(), texts::kBoardProgramFiles);
  if (path.isEmpty()) return;
  const auto read = ReadProgramFile(path);
  if (const auto* fault = std::get_if<program::Fault>(&read)) {
    QMessageBox::warning(this, texts::kBoardProgramRefusedTitle,
                         path + "\n" + QString::fromStdString(fault->message));
    return;
  }
  feed_.runProgram(pumpId, std::get<program::Program>(read));
}

void BoardWindow::askValue(const std::string& pumpId, const char* command, const char* title,
                           double now) {
  QInputDialog dialog(this);
  dialog.setWindowTitle(title);
  dialog.setInputMode(QInputDialog::DoubleInput);
  dialog.setDoubleRange(0, 1e6);
  dialog.setDoubleDecimals(1);
  dialog.setDoubleValue(now);
  dialog.setLabelText(Shown(pumpId));
  for (auto* label : dialog.findChildren<QLabel*>()) label->setTextFormat(Qt::PlainText);
  if (dialog.exec() == QDialog::Accepted) feed_.send(pumpId, command, dialog.doubleValue());
}

void BoardWindow::stopAll() {
  std::vector<std::string> allowing;
  for (const auto& [id, tile] : board_.tiles()) {
    if (tile.reading.takesCommands()) allowing.push_back(id);
  }
  if (allowing.empty()) {
    QMessageBox::information(this, texts::kBoardStopAll, texts::kBoardNoPumpToStop);
    return;
  }
  QMessageBox question(
      QMessageBox::Question, texts::kBoardStopAll,
      QString::fromStdString(texts::BoardStopAllQuestion(JoinIds(allowing).toStdString())),
      QMessageBox::Yes | QMessageBox::No, this);
  question.setTextFormat(Qt::PlainText);
  if (question.exec() != QMessageBox::Yes) return;
  feed_.stopAll();
  stopAllReportDue_ = true;  // shown by the refresh that finds every pump answered or timed out
}

void BoardWindow::runGroup() {
  std::vector<std::string> pumps;
  for (const auto& [id, tile] : board_.tiles())
    if (tile.reading.takesCommands()) pumps.push_back(id);
  GroupDialog dialog(
      pumps,
      [this](const group::GroupProgram& program, const std::string& file) {
        return feed_.startGroup(program, file);
      },
      this);
  dialog.exec();
}

void BoardWindow::reportStopAll() {
  auto* box = new QMessageBox(QMessageBox::Information, texts::kBoardStopAll,
                              QString::fromStdString(StopAllReport(board_.stopAllAnswers())),
                              QMessageBox::Ok, this);
  box->setTextFormat(Qt::PlainText);
  box->setObjectName("stopAllReport");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace pump::board::qt
