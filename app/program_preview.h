// The program window's chart: the planned flow and the pressure limit over
// the program's time, redrawn whenever the steps change.
#pragma once

#include <QChartView>

#include "program/program.h"

class QLineSeries;
class QValueAxis;

namespace pump::app {

class ProgramPreview : public QChartView {
 public:
  explicit ProgramPreview(QWidget* parent = nullptr);
  void draw(const program::Program& program);

  QLineSeries& flowLine() { return *flow_; }
  QLineSeries& limitLine() { return *limit_; }

 private:
  QLineSeries* flow_;
  QLineSeries* limit_;
  QValueAxis* time_;
  QValueAxis* flowAxis_;
  QValueAxis* limitAxis_;
};

}  // namespace pump::app
