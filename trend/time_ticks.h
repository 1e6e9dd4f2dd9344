// Labels for the time axis at round local times, with a step chosen so the
// labels do not crowd: tenths of seconds, seconds, minutes, hours or days.
#pragma once

#include <string>
#include <vector>

namespace pump::trend {

struct TimeTick {
  double timeMs;
  std::string label;
};

// The narrowest room a label is given, in pixels.
constexpr int kTickSpacingPx = 90;

// The step in milliseconds for a span drawn `widthPx` wide.
double TimeTickStepMs(double spanMs, int widthPx);

// Ticks inside [startMs, endMs]. Labels read "HH:mm:ss" (with tenths for
// steps under a second), "HH:mm", or "MM-dd" for whole days; a tick at local
// midnight reads the date instead of "00:00".
std::vector<TimeTick> TimeTicks(double startMs, double endMs, int widthPx, int utcOffsetMinutes);

// The local date of a time, "YYYY-MM-DD".
std::string LocalDate(double timeMs, int utcOffsetMinutes);

}  // namespace pump::trend
