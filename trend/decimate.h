// Thinning the pressure line for the screen: per pixel column, the lowest and
// the highest reading, in the order they came, so that no spike is lost and
// the line never holds more than two points a column. Link-loss gaps split it.
#pragma once

#include <vector>

#include "trend/session.h"

namespace pump::trend {

struct PlotPoint {
  double timeMs;
  double value;
};

using Polyline = std::vector<PlotPoint>;

// The pressure readings between `startMs` and `endMs` for `columns` pixel
// columns, as polylines not to be joined. Each polyline also reaches one
// reading beyond either edge of the view, so the line runs to the border.
std::vector<Polyline> DecimatePressure(const Session& session, double startMs, double endMs,
                                       int columns, const std::vector<Span>& gaps);

}  // namespace pump::trend
