// The pump board's window: a grid of tiles sorted by pump id, the alarm pane
// below, the window title counting the alarms, and 全部停泵.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <map>
#include <string>

#include "board/board_feed.h"

class QGridLayout;
class QListWidget;

namespace pump::board::qt {

class TileWidget;

class BoardWindow : public QMainWindow {
  Q_OBJECT
 public:
  BoardWindow(Board& board, BoardFeed& feed, QWidget* parent = nullptr);

  // Called by the feed after a change; the screen follows at most every 100 ms.
  void boardChanged();
  // Asks once, then stops every pump that takes commands.
  void stopAll();
  // 远程监控…: the broker settings, as the console's dialog keeps them.
  // Told of each tile drawn anew, with its pump id: for the scale bench.
  void setOnTileShown(std::function<void(const std::string&)> shown) {
    onTileShown_ = std::move(shown);
  }
  void setOnSettings(std::function<void()> open) { openSettings_ = std::move(open); }

 private:
  void refresh();
  void addMissingTiles();
  void dropForgottenTiles();
  void showAlarmLog();
  void showTileMenu(const std::string& pumpId, QPoint at);
  void askProgram(const std::string& pumpId);
  void askValue(const std::string& pumpId, const char* command, const char* title, double now);
  void reportStopAll();

  Board& board_;
  BoardFeed& feed_;
  QGridLayout* grid_;
  QListWidget* alarms_;
  std::map<std::string, TileWidget*> tiles_;
  std::uint64_t alarmLinesShown_ = 0;
  std::uint64_t forgettingsShown_ = 0;
  QTimer refreshSoon_;
  QTimer ticker_;
  std::function<void()> openSettings_;
  std::function<void(const std::string&)> onTileShown_;
};

}  // namespace pump::board::qt
