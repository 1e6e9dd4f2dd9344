#include "trend/qt/trend_chart_view.h"

#include <QCategoryAxis>
#include <QGraphicsLineItem>
#include <QLegendMarker>
#include <QLineSeries>
#include <QMouseEvent>
#include <QRubberBand>
#include <QValueAxis>
#include <QWheelEvent>
#include <cmath>

#include "trend/qt/span_bands.h"

namespace pump::trend::qt {

namespace {

const QColor kPressureColor(200, 30, 30);
const QColor kLimitColor(230, 120, 0);
const QColor kFlowColor(30, 90, 200);
const QColor kPlannedFlowColor(130, 60, 180);

// One wheel notch zooms by this much.
constexpr double kWheelZoom = 0.8;

}  // namespace

TrendChartView::TrendChartView(QWidget* parent)
    // Given its chart at once: a chart set later leaves the default one behind.
    : QChartView(new QChart, parent),
      chart_(chart()),
      timeAxis_(new QCategoryAxis),
      pressureAxis_(new QValueAxis),
      flowAxis_(new QValueAxis),
      rubberBand_(new QRubberBand(QRubberBand::Rectangle, this)) {
  setRenderHint(QPainter::Antialiasing, false);
  setMouseTracking(true);
  setObjectName("trendChart");
  chart_->legend()->setAlignment(Qt::AlignTop);
  chart_->setMargins(QMargins(4, 4, 4, 4));

  timeAxis_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  pressureAxis_->setTitleText("压力 MPa");
  flowAxis_->setTitleText("流量 ml/min");
  flowAxis_->setLabelFormat("%.4g");
  flowAxis_->setGridLineVisible(false);
  flowAxis_->setLabelsColor(kFlowColor);
  chart_->addAxis(timeAxis_, Qt::AlignBottom);
  chart_->addAxis(pressureAxis_, Qt::AlignLeft);
  chart_->addAxis(flowAxis_, Qt::AlignRight);

  bands_ = new SpanBands(chart_);
  cursor_ = new QGraphicsLineItem(chart_);
  cursor_->setPen(QPen(QColor(60, 60, 60), 1, Qt::DotLine));
  cursor_->setZValue(100);
  cursor_->hide();
  QPen limitPen(kLimitColor, 1.5, Qt::DashLine);
  pressureLines_.push_back(addSeries("压力", QPen(kPressureColor, 1.5), pressureAxis_));
  limitLine_ = addSeries("压力上限", limitPen, pressureAxis_);
  flowLine_ = addSeries("流量设定", QPen(kFlowColor, 1.5), flowAxis_);
  plannedFlowLines_.push_back(
      addSeries("计划流量", QPen(kPlannedFlowColor, 1.5, Qt::DashLine), flowAxis_));
  for (QLegendMarker* marker : chart_->legend()->markers(plannedFlowLines_.front()))
    marker->setVisible(false);  // shown once there is a plan
}

QLineSeries* TrendChartView::addSeries(const QString& name, const QPen& pen,
                                       QValueAxis* valueAxis) {
  auto* series = new QLineSeries;
  series->setName(name);
  series->setPen(pen);
  chart_->addSeries(series);
  series->attachAxis(timeAxis_);
  series->attachAxis(valueAxis);
  return series;
}

QList<QPointF> TrendChartView::PointsOf(const Polyline& line) const {
  // Milliseconds from the view's start: small numbers, exact in any float.
  QList<QPointF> points;
  points.reserve(static_cast<qsizetype>(line.size()));
  for (const PlotPoint& p : line) points.append(QPointF(p.timeMs - startMs_, p.value));
  return points;
}

void TrendChartView::drawPressure(const std::vector<Polyline>& lines) {
  drawPieces(pressureLines_, lines, pressureAxis_);
}

void TrendChartView::drawPlannedFlow(const std::vector<Polyline>& lines) {
  drawPieces(plannedFlowLines_, lines, flowAxis_);
  for (QLegendMarker* marker : chart_->legend()->markers(plannedFlowLines_.front()))
    marker->setVisible(!lines.empty());
}

// A line in pieces not to be joined: one series each, one legend entry for all.
void TrendChartView::drawPieces(std::vector<QLineSeries*>& series,
                                const std::vector<Polyline>& lines, QValueAxis* axis) {
  while (series.size() < lines.size()) {
    QLineSeries* line = addSeries(series.front()->name(), series.front()->pen(), axis);
    for (QLegendMarker* marker : chart_->legend()->markers(line)) marker->setVisible(false);
    series.push_back(line);
  }
  for (std::size_t i = 0; i < series.size(); ++i) {
    if (i < lines.size()) {
      series[i]->replace(PointsOf(lines[i]));
    } else if (series[i]->count() > 0) {
      series[i]->clear();
    }
  }
}

void TrendChartView::drawTimeAxis(const TrendPicture& picture) {
  for (const QString& label : timeAxis_->categoriesLabels()) timeAxis_->remove(label);
  timeAxis_->setStartValue(0);
  timeAxis_->setRange(0, endMs_ - startMs_);
  for (const TimeTick& tick : picture.ticks) {
    QString label = QString::fromStdString(tick.label);
    // Labels must differ; a span over a day may repeat a time of day.
    while (timeAxis_->categoriesLabels().contains(label)) label += QChar(0x200B);
    timeAxis_->append(label, tick.timeMs - startMs_);
  }
  timeAxis_->setTitleText("时间 (" + QString::fromStdString(picture.date) + ")");
}

void TrendChartView::draw(const TrendPicture& picture) {
  startMs_ = picture.startMs;
  endMs_ = picture.endMs;
  pressureRange_ = picture.pressureRange;
  drawTimeAxis(picture);
  const ValueRange& range = picture.pressureRange;
  pressureAxis_->setRange(range.low, range.high);
  if (pressureAxis_->tickCount() != range.intervals + 1) {
    pressureAxis_->setTickCount(range.intervals + 1);
  }
  // One decimal, as the display shows pressure; more when zoomed in closer.
  const double interval = (range.high - range.low) / range.intervals;
  const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(interval))), 1, 4);
  pressureAxis_->setLabelFormat(QString("%.%1f").arg(decimals));
  flowAxis_->setRange(picture.flowRange.low, picture.flowRange.high);
  flowAxis_->setTickCount(picture.flowRange.intervals + 1);
  drawPressure(picture.pressure);
  limitLine_->replace(PointsOf(picture.pressureLimit));
  flowLine_->replace(PointsOf(picture.flow));
  drawPlannedFlow(picture.plannedFlow);
  bands_->show(picture.runPeriods, picture.linkGaps, startMs_, endMs_);
  bands_->mark(picture.stepBoundariesMs);
  placeCursor();
}

QRectF TrendChartView::plotRect() const {
  return mapFromScene(chart_->mapToScene(chart_->plotArea())).boundingRect();
}

int TrendChartView::plotWidth() const {
  return std::max(1, static_cast<int>(std::lround(chart_->plotArea().width())));
}

double TrendChartView::timeAt(double x) const {
  const QRectF area = plotRect();
  return startMs_ + (x - area.left()) / std::max(1.0, area.width()) * (endMs_ - startMs_);
}

double TrendChartView::valueAt(double y) const {
  const QRectF area = plotRect();
  const double share = (area.bottom() - y) / std::max(1.0, area.height());
  return pressureRange_.low + share * (pressureRange_.high - pressureRange_.low);
}

void TrendChartView::showCursor(const double* timeMs) {
  cursorMs_ = timeMs ? std::optional<double>(*timeMs) : std::nullopt;
  placeCursor();
}

const std::vector<double>& TrendChartView::stepMarksMs() const { return bands_->marks(); }

void TrendChartView::placeCursor() {
  const QRectF area = chart_->plotArea();
  const double share = cursorMs_ ? (*cursorMs_ - startMs_) / (endMs_ - startMs_) : -1;
  cursor_->setVisible(share >= 0 && share <= 1);
  const double x = area.left() + share * area.width();
  cursor_->setLine(x, area.top(), x, area.bottom());
}

void TrendChartView::wheelEvent(QWheelEvent* event) {
  const double notches = event->angleDelta().y() / 120.0;
  if (notches != 0) {
    emit zoomAroundRequested(timeAt(event->position().x()), std::pow(kWheelZoom, notches));
  }
  event->accept();
}

void TrendChartView::mousePressEvent(QMouseEvent* event) {
  dragFrom_ = event->pos();
  const bool band = event->button() == Qt::RightButton ||
                    (event->button() == Qt::LeftButton && event->modifiers() & Qt::ShiftModifier);
  if (band) {
    drag_ = Drag::Band;
    rubberBand_->setGeometry(QRect(dragFrom_, QSize()));
    rubberBand_->show();
  } else if (event->button() == Qt::LeftButton) {
    drag_ = Drag::Pan;
    lastPanX_ = event->position().x();
    setCursor(Qt::ClosedHandCursor);
  }
  event->accept();
}

void TrendChartView::mouseMoveEvent(QMouseEvent* event) {
  if (drag_ == Drag::Band) {
    rubberBand_->setGeometry(QRect(dragFrom_, event->pos()).normalized());
  } else if (drag_ == Drag::Pan) {
    const double dx = event->position().x() - lastPanX_;
    lastPanX_ = event->position().x();
    emit panRequested(-dx * (endMs_ - startMs_) / std::max(1.0, plotRect().width()));
  } else if (plotRect().contains(event->position())) {
    emit hovered(timeAt(event->position().x()));
  } else {
    emit left();
  }
  event->accept();
}

void TrendChartView::mouseReleaseEvent(QMouseEvent* event) {
  if (drag_ == Drag::Band) {
    rubberBand_->hide();
    const QRect band = QRect(dragFrom_, event->pos()).normalized();
    // A click without a drag is not a zoom.
    if (band.width() > 4 && band.height() > 4) {
      emit zoomToRequested(timeAt(band.left()), timeAt(band.right()), valueAt(band.bottom()),
                           valueAt(band.top()));
    }
  }
  drag_ = Drag::None;
  unsetCursor();
  event->accept();
}

void TrendChartView::leaveEvent(QEvent* event) {
  emit left();
  QChartView::leaveEvent(event);
}

}  // namespace pump::trend::qt
