#include "records/trend_chart.h"

#include <algorithm>
#include <limits>

namespace pump::records {
namespace {

constexpr Rgb kTraceRed{255, 0, 0};
constexpr int kPointsPerPass = 100;

// The drawing surface takes single precision. A value beyond its range is
// pinned to the largest one: it lies far off the chart either way.
float ToSingle(double value) {
  constexpr double kMax = std::numeric_limits<float>::max();
  return static_cast<float>(std::clamp(value, -kMax, kMax));
}

}  // namespace

void TrendChart::setUp() {
  canvas_.setScale(0, 10, 100, -4);
  slot(0) = 0;
}

void TrendChart::update(std::optional<double> pressure) {
  canvas_.line(0, 0, 100, 0, std::nullopt);
  for (const float y : {2.5f, 5.0f, 7.5f}) canvas_.line(0, y, 1.5f, y, std::nullopt);

  if (pressure) slot(position_) = *pressure;

  canvas_.line(static_cast<float>(position_ - 1), ToSingle(slot(position_ - 1)),
               static_cast<float>(position_), ToSingle(slot(position_)), kTraceRed);

  if (++position_ == kPointsPerPass) {
    position_ = 0;
    canvas_.clear();
  }
}

}  // namespace pump::records
