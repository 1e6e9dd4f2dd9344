#include "trend/live_trend.h"

#include <charconv>

#include "runlog/local_time.h"

namespace pump::trend {

namespace {

float Shown(const std::string& caption) {
  float value = kNoValue;
  const auto result = std::from_chars(caption.data(), caption.data() + caption.size(), value);
  return result.ec == std::errc{} ? value : kNoValue;
}

std::int64_t MillisecondsOf(std::chrono::system_clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}

}  // namespace

LiveTrend::LiveTrend(console::ConsoleEventFeed& feed, std::size_t memoryBudget)
    : session_(memoryBudget) {
  feed.subscribe([this](const console::ConsoleEvent& event) { take(event); });
}

void LiveTrend::take(const console::ConsoleEvent& event) {
  const std::int64_t wallMs = MillisecondsOf(event.wallTime);
  const int offset = runlog::LocalUtcOffsetMinutes(wallMs);
  // A line the console reopened by itself goes on in the same session, as in the same log.
  if (console::StartsConnection(event)) {
    session_.clear();
    started_ = true;
    openedAt_ = event.monotonicTime;
    openedAxisMs_ = static_cast<double>(wallMs);
    name_ = runlog::LogFileName(wallMs, offset);
  }
  if (!started_) return;  // nothing is logged before a port opens
  Row row;
  row.wallMs = wallMs;
  row.utcOffsetMinutes = offset;
  row.elapsedMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(event.monotonicTime - openedAt_)
          .count();
  row.event = event.kind;
  row.pressure = Shown(event.readouts.currentPressure);
  row.flow = Shown(event.readouts.flowSetpoint);
  row.pressureLimit = Shown(event.readouts.pressureLimit);
  row.pumpRunning = event.readouts.pumpCommandedRunning;  // as the run log has it
  row.detail = event.detail;
  session_.append(row);
}

double LiveTrend::axisTimeMs(std::chrono::steady_clock::time_point moment) const {
  return openedAxisMs_ + std::chrono::duration<double, std::milli>(moment - openedAt_).count();
}

}  // namespace pump::trend
