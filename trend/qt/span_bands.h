// RUN periods as light bands and link losses as grey ones, behind the lines
// in the chart's plot area.
#pragma once

#include <QGraphicsItem>
#include <vector>

#include "trend/session.h"

class QChart;

namespace pump::trend::qt {

class SpanBands : public QGraphicsItem {
 public:
  explicit SpanBands(QChart* chart);

  void show(std::vector<Span> runPeriods, std::vector<Span> linkGaps, double startMs, double endMs);
  // Thin dashed lines across the plot: where a program's steps begin.
  void mark(std::vector<double> timesMs);
  const std::vector<double>& marks() const { return marks_; }

  QRectF boundingRect() const override;
  void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override;

 private:
  void paintSpans(QPainter* painter, const std::vector<Span>& spans, const QColor& color) const;

  QChart* chart_;
  void paintMarks(QPainter* painter) const;

  std::vector<Span> runPeriods_, linkGaps_;
  std::vector<double> marks_;
  double startMs_ = 0, endMs_ = 1;
};

}  // namespace pump::trend::qt
