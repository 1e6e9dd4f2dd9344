// Everything the trend window draws for one view of a session, worked out
// without a toolkit: the thinned pressure line, limit and flow steps, RUN
// periods, link gaps, value ranges and time labels. The window only hands
// this to the chart.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "trend/decimate.h"
#include "trend/program_trace.h"
#include "trend/session.h"
#include "trend/time_ticks.h"
#include "trend/time_view.h"

namespace pump::trend {

struct ValueRange {
  double low;
  double high;
  int intervals = 4;  // between labels
};

struct TrendPicture {
  double startMs = 0, endMs = 0;
  std::vector<Polyline> pressure;
  Polyline pressureLimit;                  // drawn as steps
  Polyline flow;                           // drawn as steps, on its own axis
  std::vector<Polyline> plannedFlow;       // a program's plan, dashed, on the flow axis
  std::vector<double> stepBoundariesMs;    // a program's steps, marked across the plot
  std::vector<Span> runPeriods, linkGaps;  // clipped to the view
  ValueRange pressureRange{0, 1};
  ValueRange flowRange{0, 10};
  std::vector<TimeTick> ticks;
  std::string date;  // the local date at the view's start
};

struct PictureRequest {
  TimeView view;
  int widthPx = 1200;  // the plot's width: one pixel column per decimation column
  double untilMs = 0;  // spans still open reach this far (now, for a live session)
  std::optional<ValueRange> pressureRange;  // fixed by a rubber band, else fitted
  const ProgramTrace* program = nullptr;    // a program's plan to draw too
};

TrendPicture ComposePicture(const Session& session, const PictureRequest& request);

// From zero to the least round top at or above `value`: three to six equal
// intervals of 1, 2, 2.5 or 5 times a power of ten.
ValueRange NiceRange(double value);

}  // namespace pump::trend
