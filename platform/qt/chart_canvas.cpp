#include "platform/qt/chart_canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace pump::qt {
namespace {

// A reading far off the scale maps to a point millions of boxes away. Pulling
// such a point in to a million pixels turns the line by less than a
// thousandth of a pixel inside the box, and keeps the clipping below exact
// enough: at 1e39 pixels the sums lose every digit that lands in the box.
constexpr double kFarPixels = 1e6;

QPointF PullIn(QPointF p) {
  return {std::clamp(p.x(), -kFarPixels, kFarPixels), std::clamp(p.y(), -kFarPixels, kFarPixels)};
}

// Liang-Barsky: trims the line to the rectangle, so the painter only ever
// sees coordinates near the box.
std::optional<QLineF> ClipToRect(QPointF a, QPointF b, const QRectF& box) {
  if (std::isnan(a.x()) || std::isnan(a.y()) || std::isnan(b.x()) || std::isnan(b.y())) {
    return std::nullopt;
  }
  a = PullIn(a);
  b = PullIn(b);
  const double dx = b.x() - a.x(), dy = b.y() - a.y();
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(),
                       box.bottom() - a.y()};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return std::nullopt;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) {
      if (t > t1) return std::nullopt;
      if (t > t0) t0 = t;
    } else {
      if (t < t0) return std::nullopt;
      if (t < t1) t1 = t;
    }
  }
  return QLineF(a.x() + t0 * dx, a.y() + t0 * dy, a.x() + t1 * dx, a.y() + t1 * dy);
}

// The pixels a one-pixel pen can touch drawing this line, with room for antialiasing.
QRect PenReach(const QLineF& line) {
  return QRectF(line.p1(), line.p2()).normalized().toAlignedRect().adjusted(-2, -2, 2, 2);
}

}  // namespace

ChartCanvas::ChartCanvas(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  ink_ = palette().color(QPalette::WindowText);
}

void ChartCanvas::setScale(float left, float top, float right, float bottom) {
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
  measureAgain();
  updateWhole();
}

bool ChartCanvas::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  switch (event->type()) {
    case QEvent::Resize:
    case QEvent::ContentsRectChange:
      measureAgain();
      break;
    case QEvent::PaletteChange:
      ink_ = palette().color(QPalette::WindowText);
      break;
    default:
      break;
  }
  return handled;
}

void ChartCanvas::measureAgain() {
  for (Segment& s : segments_) s.reach = bounds(s);
}

QPointF ChartCanvas::toPixels(float x, float y) const {
  const QRect area = contentsRect();
  const double px = area.left() + (double{x} - left_) / (double{right_} - left_) * area.width();
  const double py = area.top() + (double{y} - top_) / (double{bottom_} - top_) * area.height();
  return {px, py};
}

void ChartCanvas::line(float x1, float y1, float x2, float y2, std::optional<Rgb> colour) {
  // The foreground colour is taken when the line is drawn, as ink on paper.
  const QColor ink = colour ? QColor(colour->r, colour->g, colour->b) : ink_;
  Segment segment{x1, y1, x2, y2, ink, QRect()};
  // The chart redraws its axis and marks at every step. A line drawn again
  // over itself covers the same pixels in the same colour, so only its latest
  // copy is kept: the painting order stays as drawn and the list stays short.
  // The box shows such a line already unless a line drawn since crosses it.
  const auto same = std::find_if(segments_.rbegin(), segments_.rend(),
                                 [&](const Segment& s) { return s.sameLine(segment); });
  bool changesPixels = true;
  if (same != segments_.rend()) {
    const auto copy = std::next(same).base();
    segment.reach = copy->reach;
    changesPixels = std::any_of(std::next(copy), segments_.end(), [&](const Segment& later) {
      return later.reach.intersects(segment.reach);
    });
    segments_.erase(copy);
  } else {
    segment.reach = bounds(segment);
  }
  segments_.push_back(segment);
  if (changesPixels) repaintStretch(segment.reach);
}

void ChartCanvas::repaintStretch(const QRect& reach) {
  if (reach.isEmpty() || wholeDue_) return;
  // Only the stretch round the new lines needs painting again, not the box.
  // Until the next paint it grows as one rectangle: Qt unites a rectangle
  // that holds all it was asked before at once, where many separate small
  // ones make every further request dearer.
  // A line inside the stretch already asked for adds nothing to ask.
  const QRect grown = stretchDue_ | reach;
  if (grown == stretchDue_) return;
  stretchDue_ = grown;
  update(stretchDue_);
}

void ChartCanvas::clear() {
  segments_.clear();
  updateWhole();
}

void ChartCanvas::updateWhole() {
  wholeDue_ = true;
  update();
}

std::optional<QLineF> ChartCanvas::visiblePart(const Segment& s) const {
  // One pixel of slack so a line on the very edge is still drawn.
  const QRectF area = QRectF(contentsRect()).adjusted(-1, -1, 1, 1);
  return ClipToRect(toPixels(s.x1, s.y1), toPixels(s.x2, s.y2), area);
}

QRect ChartCanvas::bounds(const Segment& segment) const {
  const auto part = visiblePart(segment);
  return part ? PenReach(*part) : QRect();
}

void ChartCanvas::paintEvent(QPaintEvent* event) {
  if (event->rect().contains(rect())) wholeDue_ = false;
  stretchDue_ = QRect();
  const QRegion dirty = event->region();
  QPainter painter(this);
  painter.setClipRect(contentsRect());
  QColor penColour;
  for (const Segment& s : segments_) {
    // A line off the box, or wholly outside the stretch being painted again, is not drawn.
    if (s.reach.isEmpty() || !dirty.intersects(s.reach)) continue;
    const auto part = visiblePart(s);
    if (!part) continue;
    if (s.colour != penColour) {
      penColour = s.colour;
      painter.setPen(QPen(penColour, 0));  // cosmetic one-pixel pen
    }
    painter.drawLine(*part);
  }
}

}  // namespace pump::qt
