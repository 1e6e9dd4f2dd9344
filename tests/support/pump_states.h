// Pump states written as the display would show them, for tests and benches
// that feed followers events of their own.
#pragma once

#include <chrono>
#include <string>

#include "session/session_events.h"
#include "vocabulary/link_state.h"

namespace pump::testing {

inline session::PumpState Showing(const std::string& pressure, const std::string& limit,
                                  const std::string& flow, bool commandedRunning = false) {
  session::PumpState state;
  state.currentPressure = Pressure::Read(pressure);
  state.pressureLimit = Pressure::Read(limit);
  state.flowSetpoint = Flow::Read(flow);
  state.pumpCommandedRunning = commandedRunning;
  return state;
}

// What a session's state holds after an event of its own: the port an open
// names (a new connection starts from nothing), the link a `link` event
// names, the timed run after each of its steps. Kept from event to event, as
// a session keeps it; the readings come from `shown`.
inline session::SessionEvent ScriptedEvent(EventKind kind, std::string detail,
                                           session::PumpState shown) {
  static session::PumpState kept;
  if (kind == EventKind::Open) kept = {}, kept.port = detail;
  if (kind == EventKind::Close) kept.port.reset();
  if (kind == EventKind::Link) {
    for (auto state : {LinkState::NotConnected, LinkState::Waiting, LinkState::Answering,
                       LinkState::NoAnswer, LinkState::Lost, LinkState::Reconnecting}) {
      if (detail == LinkStateName(state)) kept.link = state;
    }
  }
  if (kind == EventKind::Run) {
    if (detail == "start" || detail == "continue") kept.timedRun = session::TimedRunState::Running;
    if (detail == "pause") kept.timedRun = session::TimedRunState::Paused;
    if (detail == "stop_due") kept.timedRun = session::TimedRunState::StopPending;
    if (detail == "end" || detail == "stop_sent") kept.timedRun = session::TimedRunState::Idle;
  }
  shown.port = kept.port;
  shown.link = kept.link;
  shown.timedRun = kept.timedRun;
  return {kind, std::move(detail), std::move(shown), std::chrono::system_clock::now(),
          std::chrono::steady_clock::now()};
}

}  // namespace pump::testing
