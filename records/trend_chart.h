// The pressure trend: one point per valid reply, 100 points a pass, drawn on
// the chart box in user coordinates x 0..100, y 10 (top) .. -4 (bottom).
#pragma once

#include <array>
#include <optional>

#include "platform/ui.h"

namespace pump::records {

class TrendChart {
 public:
  explicit TrendChart(Canvas& canvas) : canvas_(canvas) {}

  // Start-up: sets the coordinate system and sampleAt(0) = 0.
  void setUp();
  // One step, given the current pressure in MPa; without one (the pump's
  // characters are no number) the sample an earlier pass left is kept.
  void update(std::optional<double> pressure);

  // Samples by index, -1..101.
  double sampleAt(int index) const { return samples_.at(static_cast<std::size_t>(index + 1)); }
  // Where the next point goes in the pass, 0..99.
  int position() const { return position_; }

 private:
  double& slot(int index) { return samples_.at(static_cast<std::size_t>(index + 1)); }

  Canvas& canvas_;
  // Index -1 is never written: it is the start of the first segment of every pass.
  std::array<double, 103> samples_{};  // index i lives at i + 1
  int position_ = 0;
};

}  // namespace pump::records
