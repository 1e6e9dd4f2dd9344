#include "trend/live_trend.h"

#include "runlog/local_time.h"

namespace pump::trend {

namespace {

template <Unit kUnit>
float ValueOf(const Measured<kUnit>& measured) {
  const auto value = measured.value();
  return value ? static_cast<float>(*value) : kNoValue;
}

std::int64_t MillisecondsOf(std::chrono::system_clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}

}  // namespace

LiveTrend::LiveTrend(session::EventFeed& feed, std::size_t memoryBudget) : session_(memoryBudget) {
  feed.subscribe([this](const session::SessionEvent& event) { take(event); });
}

void LiveTrend::take(const session::SessionEvent& event) {
  const std::int64_t wallMs = MillisecondsOf(event.wallTime);
  const int offset = utcOffsetMinutes(wallMs);
  // A line the console reopened by itself goes on in the same session, as in the same log.
  if (session::StartsConnection(event)) {
    session_.clear();
    started_ = true;
    openedAt_ = event.monotonicTime;
    openedAxisMs_ = static_cast<double>(wallMs);
    name_ = runlog::LogFileName(wallMs, offset);
    program_.clear();
  }
  if (!started_) return;  // nothing is logged before a port opens
  Row row;
  row.wallMs = wallMs;
  row.utcOffsetMinutes = offset;
  row.elapsedMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(event.monotonicTime - openedAt_)
          .count();
  row.event = event.kind;
  row.pressure = ValueOf(event.state.currentPressure);
  row.flow = ValueOf(event.state.flowSetpoint);
  row.pressureLimit = ValueOf(event.state.pressureLimit);
  row.pumpRunning = event.state.pumpCommandedRunning;  // as the run log has it
  row.detail = event.detail;
  session_.append(row);
  followProgram(event);
}

// Worked out once a second, not for every reply of a fast line.
int LiveTrend::utcOffsetMinutes(std::int64_t wallMs) {
  const std::int64_t second = wallMs >= 0 ? wallMs / 1000 : -((999 - wallMs) / 1000);
  if (second != offsetSecond_) {
    offsetSecond_ = second;
    offsetMinutes_ = runlog::LocalUtcOffsetMinutes(wallMs);
  }
  return offsetMinutes_;
}

void LiveTrend::followProgram(const session::SessionEvent& event) {
  if (event.kind != EventKind::Program) return;
  const double at = axisTimeMs(event.monotonicTime);
  const long long elapsed = event.state.program ? event.state.program->elapsedMs : 0;
  const std::string& detail = event.detail;
  if (detail.starts_with("start")) {
    const program::Program* running = programSource_ ? programSource_() : nullptr;
    if (running) program_.started(*running, at, elapsed);
  } else if (detail == "pause") {
    program_.paused(at);
  } else if (detail == "continue") {
    program_.resumed(at, elapsed);
  } else if (detail == "end" || detail.starts_with("abort")) {
    program_.ended(at);
  }
}

double LiveTrend::axisTimeMs(std::chrono::steady_clock::time_point moment) const {
  return openedAxisMs_ + std::chrono::duration<double, std::milli>(moment - openedAt_).count();
}

}  // namespace pump::trend
