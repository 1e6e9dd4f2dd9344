// The tiles of a board, four to a row, sorted by pump id, for the pumps in
// view only: a pool of tile widgets, as many as the view shows, bound to the
// pumps its scroll position shows. A board of ten thousand pumps then costs
// what a screenful does, on every message and every tick.
#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "board/board.h"

namespace pump::board::qt {

class TileWidget;

class TileGrid : public QAbstractScrollArea {
 public:
  using Menu = std::function<void(const std::string&, QPoint)>;
  TileGrid(const Board& board, std::function<SteadyTime()> clock, Menu menu,
           QWidget* parent = nullptr);

  // Follows the board: new or forgotten pumps laid out, the tiles in view drawn.
  void refresh();
  // Told of each tile drawn anew, with its pump id: for the scale bench.
  void setOnTileShown(std::function<void(const std::string&)> shown) {
    onTileShown_ = std::move(shown);
  }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  void followPumps();
  void fitScrollRange();
  void placeTiles();
  QSize cell() const;

  const Board& board_;
  std::function<SteadyTime()> clock_;
  Menu menu_;
  std::vector<const PumpTile*> order_;  // the board's tiles, sorted by pump id
  std::uint64_t forgettingsFollowed_ = 0;
  std::vector<TileWidget*> pool_;
  std::function<void(const std::string&)> onTileShown_;
};

}  // namespace pump::board::qt
