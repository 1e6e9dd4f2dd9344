#include "app/program_preview.h"

#include <QChart>
#include <QLineSeries>
#include <QValueAxis>
#include <algorithm>

#include "program/program_plan.h"
#include "texts/operator_texts.h"

namespace pump::app {
namespace {

QValueAxis* Axis(const char* title, double top) {
  auto* axis = new QValueAxis;
  axis->setTitleText(QString::fromUtf8(title));
  axis->setRange(0, top);
  axis->setLabelFormat(QStringLiteral("%.0f"));
  return axis;
}

QList<QPointF> MinutePoints(const std::vector<program::PlanPoint>& line) {
  QList<QPointF> points;
  for (const auto& point : line) points.append({point.ms / 60000.0, point.value});
  return points;
}

}  // namespace

ProgramPreview::ProgramPreview(QWidget* parent)
    // A chart of its own from the start: a view made without one makes a
    // default chart, and one set later leaves that default behind, leaked.
    : QChartView(new QChart, parent), flow_(new QLineSeries), limit_(new QLineSeries) {
  setRenderHint(QPainter::Antialiasing);
  QChart* chart = this->chart();
  chart->legend()->setAlignment(Qt::AlignTop);
  flow_->setName(QString::fromUtf8(texts::kPlannedFlowSeries));
  flow_->setPen(QPen(QColor(0, 90, 200), 2));
  limit_->setName(QString::fromUtf8(texts::kPressureLimitSeries));
  limit_->setPen(QPen(QColor(200, 40, 40), 2, Qt::DashLine));
  chart->addSeries(flow_);
  chart->addSeries(limit_);
  time_ = Axis(texts::kProgramTimeAxis, 1);
  flowAxis_ = Axis(texts::kPlannedFlowSeries, 200);
  limitAxis_ = Axis(texts::kPressureLimitSeries, 5);
  limitAxis_->setLabelFormat(QStringLiteral("%.1f"));
  limitAxis_->setTickCount(6);  // every whole MPa
  time_->setLabelFormat(QStringLiteral("%g"));
  chart->addAxis(time_, Qt::AlignBottom);
  chart->addAxis(flowAxis_, Qt::AlignLeft);
  chart->addAxis(limitAxis_, Qt::AlignRight);
  flow_->attachAxis(time_);
  flow_->attachAxis(flowAxis_);
  limit_->attachAxis(time_);
  limit_->attachAxis(limitAxis_);
}

void ProgramPreview::draw(const program::Program& program) {
  flow_->replace(MinutePoints(program::PlannedFlowLine(program)));
  limit_->replace(MinutePoints(program::PressureLimitLine(program)));
  time_->setRange(0, std::max(1.0, program.totalSeconds() / 60.0));
  time_->applyNiceNumbers();
  int highestFlow = 10;
  for (const auto& step : program.steps)
    highestFlow = std::max({highestFlow, step.flowStartMlMin, step.flowEndMlMin});
  flowAxis_->setRange(0, (highestFlow + 9) / 10 * 10 * 1.1);
  flowAxis_->applyNiceNumbers();
}

}  // namespace pump::app
