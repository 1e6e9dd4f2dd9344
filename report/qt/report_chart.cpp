#include "report/qt/report_chart.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "runlog/local_time.h"

namespace pump::report::qt {

namespace {

const QColor kPressureColour(0x1f, 0x4e, 0xa8);
const QColor kLimitColour(0xc0, 0x30, 0x30);
const QColor kFlowColour(0x2e, 0x8b, 0x3e);
constexpr int kTicks = 5;

// Maps seconds and values into the plot area.
struct Scale {
  QRectF plot;
  double spanSeconds;
  double top;
  QPointF at(double seconds, double value) const {
    return {plot.left() + plot.width() * seconds / spanSeconds,
            plot.bottom() - plot.height() * std::clamp(value / top, 0.0, 1.0)};
  }
};

float Highest(const std::vector<ChartStep>& steps) {
  float high = 0;
  for (const auto& step : steps) high = std::max(high, step.value);
  return high;
}

QPainterPath StepPath(const std::vector<ChartStep>& steps, const Scale& scale) {
  QPainterPath path;
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const double until = i + 1 < steps.size() ? steps[i + 1].seconds : scale.spanSeconds;
    const QPointF from = scale.at(steps[i].seconds, steps[i].value);
    if (i == 0)
      path.moveTo(from);
    else
      path.lineTo(from);
    path.lineTo(scale.at(until, steps[i].value));
  }
  return path;
}

QPainterPath PiecePath(const std::vector<ChartStep>& piece, const Scale& scale, double unit) {
  QPainterPath path;
  path.moveTo(scale.at(piece.front().seconds, piece.front().value));
  for (const auto& point : piece) path.lineTo(scale.at(point.seconds, point.value));
  if (piece.size() == 1) path.lineTo(path.currentPosition() + QPointF(unit * 0.4, 0));
  return path;
}

QPen Pen(const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine) {
  QPen pen(colour, width, style);
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

QString Number(double value) { return QString::number(value, 'g', 4); }

// The time axis: ticks at round local times, a whole number of steps apart.
double TickStepSeconds(double spanSeconds) {
  for (const double step : {1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 900.0,
                            1800.0, 3600.0, 7200.0, 10800.0, 21600.0, 43200.0}) {
    if (spanSeconds / step <= kTicks + 1) return step;
  }
  return 86400;
}

void DrawTimeTicks(QPainter& painter, const Scale& scale, double unit, const LocalMoment& start) {
  const QFontMetricsF metrics(painter.font());
  const double step = TickStepSeconds(scale.spanSeconds);
  const double localStart =
      static_cast<double>(start.wallMs) / 1000.0 + start.utcOffsetMinutes * 60.0;
  const QRectF& plot = scale.plot;
  for (double local = std::ceil(localStart / step) * step;
       local - localStart <= scale.spanSeconds + 1e-6; local += step) {
    const double x = scale.at(local - localStart, 0).x();
    painter.setPen(Pen(QColor(0xd8, 0xd8, 0xd8), unit * 0.15));
    painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    const auto wallMs = static_cast<std::int64_t>((local - start.utcOffsetMinutes * 60.0) * 1000);
    const QString clock = QString::fromStdString(
        runlog::FormatLogTime(wallMs, start.utcOffsetMinutes).substr(11, step < 60 ? 8 : 5));
    painter.setPen(Qt::black);
    painter.drawText(QPointF(x - metrics.horizontalAdvance(clock) / 2,
                             plot.bottom() + metrics.height() + unit * 0.5),
                     clock);
  }
}

void DrawAxes(QPainter& painter, const Scale& pressure, double flowTop, double unit,
              const LocalMoment& start) {
  const QRectF& plot = pressure.plot;
  painter.setPen(Pen(QColor(0xd8, 0xd8, 0xd8), unit * 0.15));
  for (int i = 1; i < kTicks; ++i) {
    const double y = plot.bottom() - plot.height() * i / kTicks;
    painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
  }
  DrawTimeTicks(painter, pressure, unit, start);
  painter.setPen(Pen(Qt::black, unit * 0.2));
  painter.drawRect(plot);
  const QFontMetricsF metrics(painter.font());
  for (int i = 0; i <= kTicks; ++i) {
    const double y = plot.bottom() - plot.height() * i / kTicks + metrics.ascent() / 2;
    const QString left = Number(pressure.top * i / kTicks);
    painter.setPen(kPressureColour);
    painter.drawText(QPointF(plot.left() - unit - metrics.horizontalAdvance(left), y), left);
    painter.setPen(kFlowColour);
    painter.drawText(QPointF(plot.right() + unit, y), Number(flowTop * i / kTicks));
  }
}

void DrawLegend(QPainter& painter, const QRectF& area, double unit) {
  const struct {
    const char* name;
    QColor colour;
    Qt::PenStyle style;
  } entries[] = {{"压力 MPa", kPressureColour, Qt::SolidLine},
                 {"压力上限 MPa", kLimitColour, Qt::DashLine},
                 {"设定流量 ml/min（右轴）", kFlowColour, Qt::SolidLine}};
  double x = area.left();
  const double y = area.top() + unit * 2;
  const QFontMetricsF metrics(painter.font());
  for (const auto& entry : entries) {
    painter.setPen(Pen(entry.colour, unit * 0.5, entry.style));
    painter.drawLine(QPointF(x, y - unit), QPointF(x + unit * 8, y - unit));
    painter.setPen(Qt::black);
    const QString name = QString::fromUtf8(entry.name);
    painter.drawText(QPointF(x + unit * 10, y), name);
    x += unit * 16 + metrics.horizontalAdvance(name);
  }
}

}  // namespace

double NiceCeiling(double value) {
  if (!(value > 0)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(value)));
  for (const double step : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    if (step * power >= value * (1 - 1e-9)) return step * power;
  }
  return 10 * power;
}

void DrawChart(QPainter& painter, const QRectF& area, double unit, const RunFigures& figures) {
  const QRectF plot = area.adjusted(unit * 12, unit * 6, -unit * 12, -unit * 7);
  const double span = std::max(figures.chart.spanSeconds, 1.0);
  const double pressureTop =
      NiceCeiling(std::max({figures.pressureMax, Highest(figures.chart.limit), 0.1f}) * 1.1);
  const double flowTop = NiceCeiling(std::max(Highest(figures.chart.flow), 0.1f) * 1.1f);
  const Scale pressure{plot, span, pressureTop};
  const Scale flow{plot, span, flowTop};
  DrawLegend(painter, area, unit);
  DrawAxes(painter, pressure, flowTop, unit, figures.start);
  painter.save();
  painter.setClipRect(plot.adjusted(-unit, -unit, unit, unit));
  painter.setBrush(Qt::NoBrush);
  painter.setPen(Pen(kFlowColour, unit * 0.3));
  painter.drawPath(StepPath(figures.chart.flow, flow));
  painter.setPen(Pen(kLimitColour, unit * 0.3, Qt::DashLine));
  painter.drawPath(StepPath(figures.chart.limit, pressure));
  painter.setPen(Pen(kPressureColour, unit * 0.3));
  for (const auto& piece : figures.chart.pressurePieces) {
    painter.drawPath(PiecePath(piece, pressure, unit));
  }
  painter.restore();
}

}  // namespace pump::report::qt
