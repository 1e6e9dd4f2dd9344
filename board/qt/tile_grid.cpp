#include "board/qt/tile_grid.h"

#include <QScrollBar>
#include <algorithm>

#include "board/qt/tile_widget.h"

namespace pump::board::qt {
namespace {

constexpr int kColumns = 4;
constexpr int kSpacing = 6;

}  // namespace

TileGrid::TileGrid(const Board& board, std::function<SteadyTime()> clock, Menu menu,
                   QWidget* parent)
    : QAbstractScrollArea(parent), board_(board), clock_(std::move(clock)), menu_(std::move(menu)) {
  setObjectName("tiles");
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setMinimumWidth(kColumns * cell().width() + kSpacing + verticalScrollBar()->sizeHint().width());
}

QSize TileGrid::cell() const {
  const QSize tile = TileWidget::TileSize();
  return {tile.width() + kSpacing, tile.height() + kSpacing};
}

// The board's map keeps its tiles where they are until it forgets them all,
// so the sorted list changes only when pumps come or go.
void TileGrid::followPumps() {
  const bool forgot = forgettingsFollowed_ != board_.forgettings();
  if (!forgot && order_.size() == board_.tiles().size()) return;
  forgettingsFollowed_ = board_.forgettings();
  order_.clear();
  order_.reserve(board_.tiles().size());
  for (const auto& [id, tile] : board_.tiles()) order_.push_back(&tile);
}

void TileGrid::fitScrollRange() {
  const int rows = static_cast<int>((order_.size() + kColumns - 1) / kColumns);
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, std::max(0, rows * cell().height() + kSpacing - viewport()->height()));
  bar->setPageStep(viewport()->height());
  bar->setSingleStep(cell().height() / 4);
}

void TileGrid::refresh() {
  followPumps();
  fitScrollRange();
  placeTiles();
}

void TileGrid::placeTiles() {
  const int offset = verticalScrollBar()->value();
  const int firstRow = offset / cell().height();
  const int rowsInView = (viewport()->height() + offset % cell().height()) / cell().height() + 1;
  const std::size_t first = static_cast<std::size_t>(firstRow) * kColumns;
  const std::size_t inView =
      std::min<std::size_t>(static_cast<std::size_t>(rowsInView) * kColumns,
                            order_.size() > first ? order_.size() - first : 0);
  while (pool_.size() > inView) {
    pool_.back()->hide();
    pool_.back()->deleteLater();  // its menu may be open, this refresh running inside it
    pool_.pop_back();
  }
  while (pool_.size() < inView) {
    pool_.push_back(new TileWidget(menu_, viewport()));
    pool_.back()->show();
  }
  const SteadyTime now = clock_();
  for (std::size_t slot = 0; slot < inView; ++slot) {
    const int row = static_cast<int>(slot) / kColumns;
    const int column = static_cast<int>(slot) % kColumns;
    TileWidget* widget = pool_[slot];
    widget->move(kSpacing + column * cell().width(),
                 kSpacing + (firstRow + row) * cell().height() - offset);
    const PumpTile& tile = *order_[first + slot];
    widget->bind(tile.id);
    if (widget->draw(tile, now) && onTileShown_) onTileShown_(tile.id);
  }
}

void TileGrid::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  refresh();
}

void TileGrid::scrollContentsBy(int, int) { refresh(); }

}  // namespace pump::board::qt
