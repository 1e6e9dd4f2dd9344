// The pump board's window: a grid of tiles sorted by pump id, the alarm pane
// below, the window title counting the alarms, and 全部停泵.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <string>

#include "board/board_feed.h"

class QListWidget;

namespace pump::board::qt {

class GroupPanel;
class TileGrid;

class BoardWindow : public QMainWindow {
  Q_OBJECT
 public:
  // With `groups`, the board starts and follows groups (联动运行…).
  BoardWindow(Board& board, BoardFeed& feed, const GroupRuns* groups = nullptr,
              QWidget* parent = nullptr);

  // Called by the feed after a change; the screen follows at most every 100 ms.
  void boardChanged();
  // Asks once, then stops every pump that takes commands, and says how each
  // answered once all have or their time is up.
  void stopAll();
  // Told of each tile drawn anew, with its pump id: for the scale bench.
  void setOnTileShown(std::function<void(const std::string&)> shown);
  // Told after new lines reached the alarm pane: for the scale bench.
  void setOnAlarmsShown(std::function<void()> shown) { onAlarmsShown_ = std::move(shown); }
  // 远程监控…: the broker settings, as the console's dialog keeps them.
  void setOnSettings(std::function<void()> open) { openSettings_ = std::move(open); }

 private:
  void refresh();
  void showAlarmLog();
  void showTileMenu(const std::string& pumpId, QPoint at);
  void askProgram(const std::string& pumpId);
  void askValue(const std::string& pumpId, const char* command, const char* title, double now);
  void reportStopAll();
  void runGroup();

  Board& board_;
  BoardFeed& feed_;
  const GroupRuns* groups_;
  GroupPanel* groupPanel_ = nullptr;
  TileGrid* grid_;
  QListWidget* alarms_;
  std::uint64_t alarmLinesShown_ = 0;
  bool stopAllReportDue_ = false;
  QTimer refreshSoon_;
  QTimer ticker_;
  std::function<void()> openSettings_;
  std::function<void()> onAlarmsShown_;
};

}  // namespace pump::board::qt
