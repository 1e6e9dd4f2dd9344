#include "platform/qt/chart_canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

namespace pump::qt {

ChartCanvas::ChartCanvas(QWidget* parent) : QWidget(parent) {
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

void ChartCanvas::setScale(float left, float top, float right, float bottom) {
  left_ = left;
  top_ = top;
  right_ = right;
  bottom_ = bottom;
  updateWhole();
}

QPointF ChartCanvas::toPixels(float x, float y) const { return toPixels(x, y, contentsRect()); }

QPointF ChartCanvas::toPixels(float x, float y, const QRect& area) const {
  const double px = area.left() + (x - left_) / (right_ - left_) * area.width();
  const double py = area.top() + (y - top_) / (bottom_ - top_) * area.height();
  return {px, py};
}

void ChartCanvas::line(float x1, float y1, float x2, float y2, std::optional<Rgb> colour) {
  const QColor c =
      colour ? QColor(colour->r, colour->g, colour->b) : palette().color(QPalette::WindowText);
  const Segment segment{x1, y1, x2, y2, c};
  const QRect area = contentsRect();
  const QRect reach = bounds(segment, area);
  // The chart redraws its axis and marks at every step. A line drawn again
  // over itself covers the same pixels in the same colour, so only its latest
  // copy is kept: the painting order stays as drawn and the list stays short.
  // The box shows such a line already unless a line drawn since crosses it.
  bool changesPixels = true;
  const auto same = std::find(segments_.rbegin(), segments_.rend(), segment);
  if (same != segments_.rend()) {
    const auto copy = std::next(same).base();
    changesPixels =
        !wholeDue_ && std::any_of(std::next(copy), segments_.end(), [&](const Segment& later) {
          return bounds(later, area).intersects(reach);
        });
    segments_.erase(copy);
  }
  segments_.push_back(segment);
  // Only the stretch round the new line needs painting again, not the box.
  if (changesPixels && !wholeDue_) update(reach);
}

void ChartCanvas::clear() {
  segments_.clear();
  updateWhole();
}

void ChartCanvas::updateWhole() {
  wholeDue_ = true;
  update();
}

QRect ChartCanvas::bounds(const Segment& segment, const QRect& area) const {
  const QRectF span =
      QRectF(toPixels(segment.x1, segment.y1, area), toPixels(segment.x2, segment.y2, area))
          .normalized();
  return span.toAlignedRect().adjusted(-2, -2, 2, 2);
}

void ChartCanvas::paintEvent(QPaintEvent* event) {
  if (event->rect().contains(rect())) wholeDue_ = false;
  const QRect area = contentsRect();
  const QRegion dirty = event->region();
  QPainter painter(this);
  painter.setClipRect(area);
  QColor penColour;
  for (const Segment& s : segments_) {
    // A line wholly outside the stretch being painted again is not drawn.
    if (!dirty.intersects(bounds(s, area))) continue;
    if (s.colour != penColour) {
      penColour = s.colour;
      painter.setPen(QPen(penColour, 0));  // cosmetic one-pixel pen
    }
    painter.drawLine(toPixels(s.x1, s.y1, area), toPixels(s.x2, s.y2, area));
  }
}

}  // namespace pump::qt
