#include "trend/trend_picture.h"

#include <algorithm>
#include <cmath>

namespace pump::trend {

namespace {

// A held value as a staircase across [startMs, endMs]; unknown values leave
// the previous one standing.
Polyline Staircase(const std::vector<Step>& steps, double startMs, double endMs) {
  Polyline line;
  double held = std::nan("");
  for (const Step& step : steps) {
    if (std::isnan(step.value)) continue;
    if (step.timeMs <= startMs) {
      held = step.value;
      continue;
    }
    if (step.timeMs > endMs) break;
    if (line.empty() && !std::isnan(held)) line.push_back({startMs, held});
    if (!std::isnan(held)) line.push_back({step.timeMs, held});
    line.push_back({step.timeMs, step.value});
    held = step.value;
  }
  if (line.empty() && !std::isnan(held)) line.push_back({startMs, held});
  if (!line.empty()) line.push_back({endMs, held});
  return line;
}

std::vector<Span> Clipped(const std::vector<Span>& spans, double startMs, double endMs) {
  std::vector<Span> inside;
  for (const Span& span : spans) {
    if (span.endMs < startMs || span.startMs > endMs) continue;
    inside.push_back({std::max(span.startMs, startMs), std::min(span.endMs, endMs), span.open});
  }
  return inside;
}

double Highest(const Polyline& line, double highest) {
  for (const PlotPoint& p : line) highest = std::max(highest, p.value);
  return highest;
}

}  // namespace

ValueRange NiceRange(double value) {
  if (!(value > 0)) value = 1;
  ValueRange best{0, 0, 4};
  const double power = std::pow(10.0, std::floor(std::log10(value / 6)));
  for (double scale : {power, power * 10}) {
    for (double m : {1.0, 2.0, 2.5, 5.0}) {
      for (int n = 3; n <= 6; ++n) {
        const double top = n * m * scale;
        if (top >= value * (1 - 1e-12) && (best.high == 0 || top < best.high)) {
          best = {0, top, n};
        }
      }
    }
  }
  return best;
}

TrendPicture ComposePicture(const Session& session, const PictureRequest& request) {
  TrendPicture picture;
  picture.startMs = request.view.startMs();
  picture.endMs = request.view.endMs();
  const double until = std::max(request.untilMs, session.lastTimeMs());
  const auto gaps = session.linkGaps(until);
  picture.pressure =
      DecimatePressure(session, picture.startMs, picture.endMs, request.widthPx, gaps);
  const double lastKnown = session.empty() ? picture.startMs : until;
  const double stepsEnd = std::min(picture.endMs, lastKnown);
  picture.pressureLimit = Staircase(session.limitSteps(), picture.startMs, stepsEnd);
  picture.flow = Staircase(session.flowSteps(), picture.startMs, stepsEnd);
  picture.runPeriods = Clipped(session.runPeriods(until), picture.startMs, picture.endMs);
  picture.linkGaps = Clipped(gaps, picture.startMs, picture.endMs);

  if (request.pressureRange) {
    picture.pressureRange = *request.pressureRange;
  } else {
    double highest = Highest(picture.pressureLimit, 0);
    for (const Polyline& line : picture.pressure) highest = Highest(line, highest);
    picture.pressureRange = NiceRange(std::max(highest * 1.1, 1.0));
  }
  double highestFlow = Highest(picture.flow, 0);
  if (request.program) {
    picture.plannedFlow = request.program->plannedFlow(picture.startMs, picture.endMs);
    picture.stepBoundariesMs = request.program->stepBoundaries(picture.startMs, picture.endMs);
    for (const Polyline& line : picture.plannedFlow) highestFlow = Highest(line, highestFlow);
  }
  picture.flowRange = NiceRange(std::max(highestFlow * 1.2, 10.0));

  int offset = 0;
  if (!session.empty()) offset = session.row(session.size() - 1).utcOffsetMinutes;
  picture.ticks = TimeTicks(picture.startMs, picture.endMs, request.widthPx, offset);
  picture.date = LocalDate(picture.startMs, offset);
  return picture;
}

}  // namespace pump::trend
