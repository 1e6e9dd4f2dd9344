// The report's chart: pressure, pressure limit and flow setpoint over time,
// drawn as vector paths, the pressure line broken where the pump gave no
// answer.
#pragma once

#include <QRectF>

#include "report/run_figures.h"

class QPainter;

namespace pump::report::qt {

// `area` is in the painter's units; `unit` is one millimetre in them.
void DrawChart(QPainter& painter, const QRectF& area, double unit, const RunFigures& figures);

// The smallest of 1, 2, 2.5 and 5 times a power of ten at or above `value`.
double NiceCeiling(double value);

}  // namespace pump::report::qt
