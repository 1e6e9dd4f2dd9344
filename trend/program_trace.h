// A program's plan on the trend's time axis: the planned flow as it was, is
// and will be scheduled, and the step boundaries. Paused time is left out of a
// program's own time, so each stretch it ran is placed where it ran on the
// axis, and the plan still to come follows the last one.
#pragma once

#include <optional>
#include <vector>

#include "program/program.h"
#include "trend/decimate.h"

namespace pump::trend {

class ProgramTrace {
 public:
  // `elapsedMs`: the program's own time at `axisMs` (0 at its start).
  void started(const program::Program& program, double axisMs, long long elapsedMs = 0);
  void paused(double axisMs);
  void resumed(double axisMs, long long elapsedMs);
  void ended(double axisMs);
  void clear();

  bool empty() const { return stretches_.empty(); }
  // The planned flow between `startMs` and `endMs`: one line per stretch run.
  std::vector<Polyline> plannedFlow(double startMs, double endMs) const;
  // Where a step ends (and the next begins) between `startMs` and `endMs`.
  std::vector<double> stepBoundaries(double startMs, double endMs) const;

 private:
  // The program's time from `fromMs` to `toMs` drawn at `axisMs - elapsed`.
  struct Stretch {
    double offsetMs;
    double fromMs;
    std::optional<double> toMs;  // none while it runs: to the program's end
  };
  double endOf(const Stretch& stretch) const;
  void close(double axisMs);

  program::Program program_;
  std::vector<Stretch> stretches_;
};

}  // namespace pump::trend
