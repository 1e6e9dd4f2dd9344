#include "trend/time_ticks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "runlog/local_time.h"

namespace pump::trend {

namespace {

constexpr double kSecond = 1000, kMinute = 60 * kSecond, kHour = 60 * kMinute, kDay = 24 * kHour;

constexpr std::array<double, 23> kSteps{
    100,          200,          500,          kSecond,  2 * kSecond, 5 * kSecond,
    10 * kSecond, 15 * kSecond, 30 * kSecond, kMinute,  2 * kMinute, 5 * kMinute,
    10 * kMinute, 15 * kMinute, 30 * kMinute, kHour,    2 * kHour,   3 * kHour,
    6 * kHour,    12 * kHour,   kDay,         2 * kDay, 7 * kDay};

std::string Label(double timeMs, double stepMs, int utcOffsetMinutes) {
  const auto local = static_cast<std::int64_t>(std::llround(timeMs)) + utcOffsetMinutes * 60'000LL;
  const runlog::CivilTime c = runlog::CivilFromLocalMs(local);
  char text[32];
  const bool midnight = c.hour == 0 && c.minute == 0 && c.second == 0 && c.millisecond == 0;
  if (stepMs >= kDay || (midnight && stepMs >= kMinute)) {
    std::snprintf(text, sizeof text, "%02d-%02d", c.month, c.day);
  } else if (stepMs >= kMinute) {
    std::snprintf(text, sizeof text, "%02d:%02d", c.hour, c.minute);
  } else if (stepMs >= kSecond) {
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", c.hour, c.minute, c.second);
  } else {
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%d", c.hour, c.minute, c.second,
                  c.millisecond / 100);
  }
  return text;
}

}  // namespace

double TimeTickStepMs(double spanMs, int widthPx) {
  const double most = std::max(1.0, std::floor(static_cast<double>(widthPx) / kTickSpacingPx));
  for (double step : kSteps) {
    if (spanMs / step <= most) return step;
  }
  // Longer than the longest step allows: whole weeks, as many as needed.
  return std::ceil(spanMs / most / kSteps.back()) * kSteps.back();
}

std::vector<TimeTick> TimeTicks(double startMs, double endMs, int widthPx, int utcOffsetMinutes) {
  std::vector<TimeTick> ticks;
  if (!(endMs > startMs) || widthPx <= 0) return ticks;
  const double step = TimeTickStepMs(endMs - startMs, widthPx);
  // Round in local time, so that hours and days fall on the local clock.
  const double shift = utcOffsetMinutes * kMinute;
  for (double local = std::ceil((startMs + shift) / step) * step; local - shift <= endMs;
       local += step) {
    ticks.push_back({local - shift, Label(local - shift, step, utcOffsetMinutes)});
  }
  return ticks;
}

std::string LocalDate(double timeMs, int utcOffsetMinutes) {
  const runlog::CivilTime c = runlog::CivilFromLocalMs(
      static_cast<std::int64_t>(std::floor(timeMs)) + utcOffsetMinutes * 60'000LL);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", c.year, c.month, c.day);
  return text;
}

}  // namespace pump::trend
