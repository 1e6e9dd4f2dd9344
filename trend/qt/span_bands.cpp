#include "trend/qt/span_bands.h"

#include <QChart>
#include <QPainter>

namespace pump::trend::qt {

SpanBands::SpanBands(QChart* chart) : QGraphicsItem(chart), chart_(chart) {
  // Above the plot area's background, below grid and series.
  setZValue(-0.5);
}

void SpanBands::show(std::vector<Span> runPeriods, std::vector<Span> linkGaps, double startMs,
                     double endMs) {
  prepareGeometryChange();
  runPeriods_ = std::move(runPeriods);
  linkGaps_ = std::move(linkGaps);
  startMs_ = startMs;
  endMs_ = endMs;
  update();
}

void SpanBands::mark(std::vector<double> timesMs) {
  marks_ = std::move(timesMs);
  update();
}

QRectF SpanBands::boundingRect() const { return chart_->plotArea(); }

void SpanBands::paintSpans(QPainter* painter, const std::vector<Span>& spans,
                           const QColor& color) const {
  const QRectF area = chart_->plotArea();
  const double scale = area.width() / (endMs_ - startMs_);
  for (const Span& span : spans) {
    const double left = area.left() + (span.startMs - startMs_) * scale;
    // A span too short to see still gets one pixel.
    const double width = std::max(1.0, (span.endMs - span.startMs) * scale);
    painter->fillRect(QRectF(left, area.top(), width, area.height()), color);
  }
}

void SpanBands::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) {
  painter->setClipRect(chart_->plotArea());
  paintSpans(painter, runPeriods_, QColor(120, 200, 120, 60));
  paintSpans(painter, linkGaps_, QColor(150, 150, 150, 150));
  paintMarks(painter);
}

void SpanBands::paintMarks(QPainter* painter) const {
  const QRectF area = chart_->plotArea();
  const double scale = area.width() / (endMs_ - startMs_);
  painter->setPen(QPen(QColor(90, 90, 160), 1, Qt::DashLine));
  for (double at : marks_) {
    const double x = area.left() + (at - startMs_) * scale;
    painter->drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
  }
}

}  // namespace pump::trend::qt
