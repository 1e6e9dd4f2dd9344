#include "board/qt/board_window.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QScrollArea>
#include <QSplitter>
#include <QToolBar>
#include <variant>

#include "board/qt/tile_widget.h"
#include "program/program_file.h"
#include "texts/operator_texts.h"

namespace pump::board::qt {
namespace {

constexpr int kColumns = 4;

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

QString AlarmLine(const AlarmRecord& record) {
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(record.at.time_since_epoch());
  return QDateTime::fromMSecsSinceEpoch(ms.count()).toString("yyyy-MM-dd HH:mm:ss") + "  " +
         QString::fromStdString(record.pumpId) + "  " + AlarmName(record.kind) + "  " +
         (record.started ? texts::kBoardAlarmStarted : texts::kBoardAlarmEnded);
}

QString JoinIds(const std::vector<std::string>& ids) {
  QStringList names;
  for (const auto& id : ids) names << QString::fromStdString(id);
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

BoardWindow::BoardWindow(Board& board, BoardFeed& feed, QWidget* parent)
    : QMainWindow(parent), board_(board), feed_(feed) {
  setWindowTitle(texts::kBoardTitle);
  auto* tiles = new QWidget;
  grid_ = new QGridLayout(tiles);
  grid_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  auto* scroll = new QScrollArea;
  scroll->setWidget(tiles);
  scroll->setWidgetResizable(true);
  alarms_ = new QListWidget;
  alarms_->setObjectName("alarms");
  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(scroll);
  split->addWidget(alarms_);
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

void BoardWindow::dropForgottenTiles() {
  for (auto shown = tiles_.begin(); shown != tiles_.end();) {
    if (board_.tiles().contains(shown->first)) {
      ++shown;
      continue;
    }
    delete shown->second;
    shown = tiles_.erase(shown);
  }
}

void BoardWindow::addMissingTiles() {
  if (tiles_.size() == board_.tiles().size()) return;
  for (const auto& [id, tile] : board_.tiles()) {
    if (tiles_.contains(id)) continue;
    tiles_[id] =
        new TileWidget(id, [this](const std::string& pump, QPoint at) { showTileMenu(pump, at); });
  }
  // Sorted by pump id: a new pump may fall anywhere, so lay them all out again.
  int index = 0;
  for (const auto& [id, widget] : tiles_) {
    grid_->addWidget(widget, index / kColumns, index % kColumns);
    ++index;
  }
}

void BoardWindow::refresh() {
  // Once the shown tiles are a subset of the board's, equal sizes mean the same pumps.
  if (forgettingsShown_ != board_.forgettings()) {
    forgettingsShown_ = board_.forgettings();
    dropForgottenTiles();
  }
  addMissingTiles();
  const SteadyTime now = feed_.now().steady;
  for (const auto& [id, tile] : board_.tiles()) {
    if (tiles_.at(id)->show(tile, now) && onTileShown_) onTileShown_(id);
  }
  const int alarms = board_.activeAlarms();
  setWindowTitle(alarms > 0 ? QString::fromStdString(texts::BoardTitleWithAlarms(alarms))
                            : QString(texts::kBoardTitle));
  showAlarmLog();
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
}

void BoardWindow::showTileMenu(const std::string& pumpId, QPoint at) {
  const PumpTile& tile = board_.tiles().at(pumpId);
  if (!tile.reading.remoteControl || !tile.reading.online) return;
  QMenu menu;
  menu.addAction(texts::kBoardStop, [this, pumpId] { feed_.send(pumpId, "stop", 0); });
  menu.addAction(texts::kBoardSetFlow, [this, pumpId, &tile] {
    askValue(pumpId, "set_flow", texts::kBoardSetFlow, tile.reading.flow.value_or(0));
  });
  menu.addAction(texts::kBoardSetPressureLimit, [this, pumpId, &tile] {
    askValue(pumpId, "set_pressure_limit", texts::kBoardSetPressureLimit,
             tile.reading.limit.value_or(0));
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
  bool ok = false;
  const double value =
      QInputDialog::getDouble(this, title, QString::fromStdString(pumpId), now, 0, 1e6, 1, &ok);
  if (ok) feed_.send(pumpId, command, value);
}

void BoardWindow::stopAll() {
  std::vector<std::string> allowing;
  for (const auto& [id, tile] : board_.tiles()) {
    if (tile.reading.remoteControl && tile.reading.online) allowing.push_back(id);
  }
  if (allowing.empty()) {
    QMessageBox::information(this, texts::kBoardStopAll, texts::kBoardNoPumpToStop);
    return;
  }
  const auto answer = QMessageBox::question(
      this, texts::kBoardStopAll,
      QString::fromStdString(texts::BoardStopAllQuestion(JoinIds(allowing).toStdString())));
  if (answer != QMessageBox::Yes) return;
  feed_.stopAll();
  QTimer::singleShot(kCommandTimeout + std::chrono::milliseconds(1100), this,
                     &BoardWindow::reportStopAll);
}

void BoardWindow::reportStopAll() {
  const auto unanswered = board_.stopAllUnanswered(true);
  const QString text = unanswered.empty() ? QString(texts::kBoardStopAllAnswered)
                                          : QString::fromStdString(texts::BoardStopAllUnanswered(
                                                JoinIds(unanswered).toStdString()));
  auto* box =
      new QMessageBox(QMessageBox::Information, texts::kBoardStopAll, text, QMessageBox::Ok, this);
  box->setObjectName("stopAllReport");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace pump::board::qt
