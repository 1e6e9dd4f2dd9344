#include "board/qt/tile_widget.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "board/tile_texts.h"
#include "texts/operator_texts.h"

namespace pump::board::qt {

// The pressure of the last ten minutes as a line, scaled from 0 to the
// highest of the readings and the limit.
class Sparkline : public QWidget {
 public:
  explicit Sparkline(QWidget* parent) : QWidget(parent) { setFixedHeight(36); }

  // Each column of the board's line is a short upright stroke from its lowest
  // to its highest pressure, joined to the next.
  void show(const PumpTile& tile, SteadyTime now) {
    points_.clear();
    double top = tile.reading.limit.value_or(0);
    for (const auto& column : tile.sparkline) top = std::max(top, column.high);
    if (top <= 0) top = 1;
    const double span = std::chrono::duration<double>(kSparklineSpan).count();
    for (const auto& column : tile.sparkline) {
      const double across = 1.0 - std::chrono::duration<double>(now - column.start).count() / span;
      if (across < 0) continue;  // older than the span: out of the picture
      points_.append({across, column.low / top});
      if (column.high != column.low) points_.append({across, column.high / top});
    }
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
    QPolygonF line;
    for (const auto& [x, y] : points_) line << QPointF(x * width(), (1 - y) * (height() - 2) + 1);
    painter.drawPolyline(line);
  }

 private:
  QList<std::pair<double, double>> points_;  // 0..1 across, 0..1 up
};

namespace {

QString Number(const std::optional<double>& value, int decimals) {
  return value ? QString::number(*value, 'f', decimals) : QString(texts::kBoardUnknown);
}

QString Shown(const std::string& text) { return QString::fromStdString(text); }

constexpr int kTileWidth = 230;

}  // namespace

TileWidget::TileWidget(std::function<void(const std::string&, QPoint)> menu, QWidget* parent)
    : QFrame(parent), menu_(std::move(menu)) {
  setFrameShape(QFrame::StyledPanel);
  // Its own roles, not those of the scroll area's viewport it sits in: the
  // alarm red is the Window colour, its text the WindowText colour.
  setBackgroundRole(QPalette::Window);
  setForegroundRole(QPalette::WindowText);
  setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  layout->setSpacing(1);
  id_ = addLabel("id", 12);
  pressure_ = addLabel("pressure", 20);
  flow_ = addLabel("flow", 10);
  pump_ = addLabel("pump", 10);
  link_ = addLabel("link", 9);
  run_ = addLabel("run", 9);
  sparkline_ = new Sparkline(this);
  layout->addWidget(sparkline_);
  age_ = addLabel("age", 8);
  command_ = addLabel("command", 8);
  setFixedSize(kTileWidth, sizeHint().height());
}

QSize TileWidget::TileSize() {
  static const QSize size = [] {
    const TileWidget measured({});
    return measured.size();
  }();
  return size;
}

void TileWidget::bind(const std::string& pumpId) {
  if (pumpId_ == pumpId && shownVersion_) return;
  pumpId_ = pumpId;
  setObjectName(Shown("tile-" + pumpId));
  id_->setText(Shown(VisibleText(pumpId)));
  shownVersion_.reset();
  shownAgeSeconds_.reset();
}

QLabel* TileWidget::addLabel(const char* name, int pointSize) {
  auto* label = new QLabel(this);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);  // broker text is shown, never read as markup
  QFont font = label->font();
  font.setPointSize(pointSize);
  label->setFont(font);
  // A label of fixed size: new text repaints it, and lays out nothing else.
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  label->setFixedHeight(QFontMetrics(font).height());
  layout()->addWidget(label);
  return label;
}

bool TileWidget::draw(const PumpTile& tile, SteadyTime now) {
  const auto age = std::chrono::duration_cast<std::chrono::seconds>(now - tile.lastMessage);
  if (shownAgeSeconds_ != age.count()) {
    shownAgeSeconds_ = age.count();
    age_->setText(QStringLiteral("%1 s").arg(age.count()));
    sparkline_->show(tile, now);  // the line moves left with time
  }
  // The age moves with time alone; the rest only when the tile changed.
  if (shownVersion_ == tile.version) return false;
  shownVersion_ = tile.version;
  id_->setText(
      Shown(VisibleText(pumpId_) + (tile.group.empty() ? "" : "  · " + VisibleText(tile.group))));
  const PumpReading& reading = tile.reading;
  pressure_->setText(Number(reading.pressure, 1) + " / " + Number(reading.limit, 1) +
                     texts::kPressureUnit);
  flow_->setText(Number(reading.flow, 0) + texts::kFlowUnitInFull);
  pump_->setText(Shown(PumpStateText(reading)));
  link_->setText(Shown(LinkText(reading)));
  run_->setText(Shown(RunText(reading)));
  command_->setText(Shown(CommandText(tile.command)));
  sparkline_->show(tile, now);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, tile.inAlarm() ? QColor(0xd3, 0x2f, 0x2f) : QColor(Qt::white));
  colours.setColor(QPalette::WindowText, tile.inAlarm() ? Qt::white : Qt::black);
  setPalette(colours);
  return true;
}

void TileWidget::contextMenuEvent(QContextMenuEvent* event) {
  if (menu_) menu_(pumpId_, event->globalPos());
}

}  // namespace pump::board::qt
