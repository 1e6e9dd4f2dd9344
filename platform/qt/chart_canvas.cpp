#include "platform/qt/chart_canvas.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace pump::qt {
namespace {

// Liang-Barsky: trims the line to the rectangle. Far-off points (a reading
// way off the scale) never reach the painter, whose fixed-point rasteriser
// does not take huge coordinates well.
std::optional<QLineF> ClipToRect(QPointF a, QPointF b, const QRectF& box) {
  if (!std::isfinite(a.x()) || !std::isfinite(a.y()) || !std::isfinite(b.x()) ||
      !std::isfinite(b.y())) {
    return std::nullopt;
  }
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

}  // namespace

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
  const double px = area.left() + (double{x} - left_) / (double{right_} - left_) * area.width();
  const double py = area.top() + (double{y} - top_) / (double{bottom_} - top_) * area.height();
  return {px, py};
}

void ChartCanvas::line(float x1, float y1, float x2, float y2, std::optional<Rgb> colour) {
  // The foreground colour is taken when the line is drawn, as ink on paper.
  const QColor ink = colour ? QColor(colour->r, colour->g, colour->b)
                            : palette().color(QPalette::WindowText);
  segments_.push_back({x1, y1, x2, y2, ink});
  update();
}

void ChartCanvas::clear() {
  segments_.clear();
  update();
}

std::optional<QLineF> ChartCanvas::visiblePart(const Segment& s) const {
  // One pixel of slack so a line on the very edge is still drawn.
  const QRectF area = QRectF(contentsRect()).adjusted(-1, -1, 1, 1);
  return ClipToRect(toPixels(s.x1, s.y1), toPixels(s.x2, s.y2), area);
}

void ChartCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setClipRect(contentsRect());
  for (const Segment& s : segments_) {
    const auto part = visiblePart(s);
    if (!part) continue;
    painter.setPen(QPen(s.colour, 0));  // cosmetic one-pixel pen
    painter.drawLine(*part);
  }
}

}  // namespace pump::qt
