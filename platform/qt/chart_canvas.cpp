#include "platform/qt/chart_canvas.h"

#include <QPaintEvent>
#include <QPainter>

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
  update();
}

QPointF ChartCanvas::toPixels(float x, float y) const {
  const QRect area = contentsRect();
  const double px = area.left() + (x - left_) / (right_ - left_) * area.width();
  const double py = area.top() + (y - top_) / (bottom_ - top_) * area.height();
  return {px, py};
}

void ChartCanvas::line(float x1, float y1, float x2, float y2, std::optional<Rgb> colour) {
  const QColor c = colour ? QColor(colour->r, colour->g, colour->b)
                          : palette().color(QPalette::WindowText);
  segments_.push_back({x1, y1, x2, y2, c});
  update();
}

void ChartCanvas::clear() {
  segments_.clear();
  update();
}

void ChartCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setClipRect(contentsRect());
  for (const Segment& s : segments_) {
    painter.setPen(QPen(s.colour, 0));  // cosmetic one-pixel pen
    painter.drawLine(toPixels(s.x1, s.y1), toPixels(s.x2, s.y2));
  }
}

}  // namespace pump::qt
