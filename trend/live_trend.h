// The current session's trend, kept up to date from the console's events:
// each event becomes one row, as the run log writes it. A port the operator
// opens starts a new session, as it starts a new log.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "session/session_events.h"
#include "trend/program_trace.h"
#include "trend/session.h"

namespace pump::trend {

class LiveTrend {
 public:
  // Subscribes to `feed`, which must not outlive this object's use. The
  // session keeps within `memoryBudget` bytes however long it runs.
  explicit LiveTrend(session::EventFeed& feed,
                     std::size_t memoryBudget = Session::kDefaultMemoryBudget);

  void take(const session::SessionEvent& event);

  // Where the trend finds the program a "start" event speaks of.
  void setProgramSource(std::function<const program::Program*()> source) {
    programSource_ = std::move(source);
  }

  const Session& session() const { return session_; }
  // The plan of the session's last program, placed on the session's time axis.
  const ProgramTrace& program() const { return program_; }
  bool started() const { return started_; }
  // The log's name for this session: its open's local time, "2026-12-07_14-03-22.csv".
  const std::string& name() const { return name_; }
  // A monotonic moment on the session's time axis.
  double axisTimeMs(std::chrono::steady_clock::time_point moment) const;

 private:
  void followProgram(const session::SessionEvent& event);
  int utcOffsetMinutes(std::int64_t wallMs);

  Session session_;
  ProgramTrace program_;
  std::function<const program::Program*()> programSource_;
  bool started_ = false;
  std::string name_;
  std::chrono::steady_clock::time_point openedAt_{};
  double openedAxisMs_ = 0;
  // The offset of the last second asked for: it changes only between seconds.
  std::int64_t offsetSecond_ = INT64_MIN;
  int offsetMinutes_ = 0;
};

}  // namespace pump::trend
