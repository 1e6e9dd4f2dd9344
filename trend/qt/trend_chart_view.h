// The trend's chart: Qt Charts series and axes filled from a TrendPicture,
// and the mouse turned into requests to move the view (the window decides).
#pragma once

#include <QChartView>
#include <optional>
#include <vector>

#include "trend/trend_picture.h"

class QCategoryAxis;
class QGraphicsLineItem;
class QLineSeries;
class QRubberBand;
class QValueAxis;

namespace pump::trend::qt {

class SpanBands;

class TrendChartView : public QChartView {
  Q_OBJECT

 public:
  explicit TrendChartView(QWidget* parent = nullptr);

  void draw(const TrendPicture& picture);
  // The plot area's width in pixels: one decimation column each.
  int plotWidth() const;
  // Times and values under a point of the widget.
  double timeAt(double x) const;
  double valueAt(double y) const;
  // A thin vertical line at the reading the readout speaks of; none if null.
  void showCursor(const double* timeMs);
  // Where the plot marks a program's step boundaries, on the time axis.
  const std::vector<double>& stepMarksMs() const;

 signals:
  void zoomAroundRequested(double anchorMs, double factor);
  void zoomToRequested(double fromMs, double toMs, double lowValue, double highValue);
  void panRequested(double deltaMs);
  void hovered(double timeMs);
  void left();

 protected:
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  QLineSeries* addSeries(const QString& name, const QPen& pen, QValueAxis* valueAxis);
  void drawPressure(const std::vector<Polyline>& lines);
  void drawPlannedFlow(const std::vector<Polyline>& lines);
  void drawPieces(std::vector<QLineSeries*>& series, const std::vector<Polyline>& lines,
                  QValueAxis* axis);
  void drawTimeAxis(const TrendPicture& picture);
  QRectF plotRect() const;
  void placeCursor();
  QList<QPointF> PointsOf(const Polyline& line) const;

  QChart* chart_;
  QCategoryAxis* timeAxis_;
  QValueAxis* pressureAxis_;
  QValueAxis* flowAxis_;
  std::vector<QLineSeries*> pressureLines_;
  std::vector<QLineSeries*> plannedFlowLines_;  // a program's plan, one per stretch run
  QLineSeries* limitLine_;
  QLineSeries* flowLine_;
  SpanBands* bands_;
  QRubberBand* rubberBand_;
  QGraphicsLineItem* cursor_;
  std::optional<double> cursorMs_;
  double startMs_ = 0, endMs_ = 1;
  ValueRange pressureRange_{0, 1};
  enum class Drag { None, Pan, Band } drag_ = Drag::None;
  QPoint dragFrom_;
  double lastPanX_ = 0;
};

}  // namespace pump::trend::qt
