#include "trend/program_trace.h"

#include <algorithm>

#include "program/program_plan.h"

namespace pump::trend {

void ProgramTrace::started(const program::Program& program, double axisMs, long long elapsedMs) {
  program_ = program;
  stretches_.clear();
  resumed(axisMs, elapsedMs);
}

void ProgramTrace::paused(double axisMs) { close(axisMs); }

void ProgramTrace::resumed(double axisMs, long long elapsedMs) {
  close(axisMs);
  const double elapsed = static_cast<double>(elapsedMs);
  stretches_.push_back({axisMs - elapsed, elapsed, std::nullopt});
}

void ProgramTrace::ended(double axisMs) { close(axisMs); }

void ProgramTrace::clear() {
  program_ = {};
  stretches_.clear();
}

void ProgramTrace::close(double axisMs) {
  if (stretches_.empty() || stretches_.back().toMs) return;
  Stretch& open = stretches_.back();
  open.toMs = std::clamp(axisMs - open.offsetMs, open.fromMs, endOf(open));
}

double ProgramTrace::endOf(const Stretch& stretch) const {
  return stretch.toMs.value_or(program_.totalSeconds() * 1000.0);
}

std::vector<Polyline> ProgramTrace::plannedFlow(double startMs, double endMs) const {
  std::vector<Polyline> lines;
  const auto plan = program::PlannedFlowLine(program_);
  for (const Stretch& stretch : stretches_) {
    const double from = std::max(stretch.fromMs, startMs - stretch.offsetMs);
    const double to = std::min(endOf(stretch), endMs - stretch.offsetMs);
    if (from >= to) continue;
    Polyline line{{from + stretch.offsetMs, program_.plannedFlowAt(static_cast<long long>(from))}};
    for (const auto& point : plan)
      if (point.ms > from && point.ms <= to)
        line.push_back({point.ms + stretch.offsetMs, point.value});
    if (line.back().timeMs < to + stretch.offsetMs)
      line.push_back({to + stretch.offsetMs, program_.plannedFlowAt(static_cast<long long>(to))});
    lines.push_back(std::move(line));
  }
  return lines;
}

std::vector<double> ProgramTrace::stepBoundaries(double startMs, double endMs) const {
  std::vector<double> marks;
  const auto boundaries = program::StepBoundariesMs(program_);
  for (const Stretch& stretch : stretches_)
    for (long long boundary : boundaries) {
      const double at = boundary + stretch.offsetMs;
      if (boundary > stretch.fromMs && boundary <= endOf(stretch) && at >= startMs && at <= endMs)
        marks.push_back(at);
    }
  return marks;
}

}  // namespace pump::trend
