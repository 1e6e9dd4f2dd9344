// A program's plan as lines to draw: the planned flow and the pressure limit
// over the program's own time, and where each step starts. A preview draws
// them from zero; the trend draws them from the moment the program started.
#pragma once

#include <vector>

#include "program/program.h"

namespace pump::program {

struct PlanPoint {
  long long ms = 0;  // from the program's start, paused time left out
  double value = 0;
  bool operator==(const PlanPoint&) const = default;
};

// Straight from point to point: a ramp is one segment, and a change between
// steps is a vertical one at the boundary.
std::vector<PlanPoint> PlannedFlowLine(const Program& program);
// In MPa.
std::vector<PlanPoint> PressureLimitLine(const Program& program);
// The start of every step after the first, and the program's end.
std::vector<long long> StepBoundariesMs(const Program& program);

}  // namespace pump::program
