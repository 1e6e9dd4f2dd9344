// One pump's tile: id, pressure against its limit, flow, RUN/STOP, link,
// timed run, a sparkline of the last ten minutes and the age of the last
// message; red while the pump is in alarm.
#pragma once

#include <QFrame>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "board/board.h"

class QLabel;

namespace pump::board::qt {

class Sparkline;

class TileWidget : public QFrame {
  Q_OBJECT
 public:
  // `menu` is called with the tile's pump id when the operator asks for its menu.
  explicit TileWidget(std::function<void(const std::string&, QPoint)> menu,
                      QWidget* parent = nullptr);

  // Every tile has this size.
  static QSize TileSize();

  // Makes this the tile of `pumpId`; the next show draws it whole.
  void bind(const std::string& pumpId);
  // True when the tile was drawn anew (more than its age changed).
  bool draw(const PumpTile& tile, SteadyTime now);

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  QLabel* addLabel(const char* name, int pointSize);

  std::string pumpId_;
  std::function<void(const std::string&, QPoint)> menu_;
  QLabel* id_;
  QLabel* pressure_;
  QLabel* flow_;
  QLabel* pump_;
  QLabel* link_;
  QLabel* run_;
  QLabel* age_;
  QLabel* command_;
  Sparkline* sparkline_;
  std::optional<std::uint64_t> shownVersion_;
  std::optional<long> shownAgeSeconds_;
};

}  // namespace pump::board::qt
