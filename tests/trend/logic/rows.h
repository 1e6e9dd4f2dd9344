// Building sessions row by row for the trend's tests.
#pragma once

#include <string>

#include "trend/session.h"

namespace pump::trend::testing {

// 2026-12-07T14:00:00.000+08:00, the start of every scripted session.
constexpr std::int64_t kStartWallMs = 1'796'623'200'000;
constexpr int kChinaOffset = 8 * 60;

inline Row At(std::int64_t elapsedMs, EventKind event, float pressure,
              std::string_view detail = "Q00N00.0Y") {
  Row row;
  row.wallMs = kStartWallMs + elapsedMs;
  row.utcOffsetMinutes = kChinaOffset;
  row.elapsedMs = elapsedMs;
  row.event = event;
  row.pressure = pressure;
  row.flow = 100;
  row.pressureLimit = 5;
  row.detail = detail;
  return row;
}

inline Row Reading(std::int64_t elapsedMs, float pressure) {
  return At(elapsedMs, EventKind::Reading, pressure);
}

inline Row LinkRow(std::int64_t elapsedMs, std::string_view state) {
  return At(elapsedMs, EventKind::Link, 0, state);
}

inline double AxisMs(std::int64_t elapsedMs) {
  return static_cast<double>(kStartWallMs + elapsedMs);
}

}  // namespace pump::trend::testing
