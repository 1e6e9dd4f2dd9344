// What the session tells the parts that follow it (the window, run log,
// trend, chart and record, broker): one event per thing that happened, with
// the pump's state after it. Plain data, no toolkit.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "session/pump_state.h"
#include "vocabulary/event_clock.h"
#include "vocabulary/event_kind.h"

namespace pump::session {

// Which of the pump's values a reply brought.
enum class Changed { Nothing, CurrentPressure, PressureLimit, FlowSetpoint };

// Who asked for a command that went out.
enum class Source { Console, Remote, Program };

struct SessionEvent {
  EventKind kind;
  std::string detail;
  PumpState state;  // after this event
  std::chrono::system_clock::time_point wallTime;
  std::chrono::steady_clock::time_point monotonicTime;
  // For an open: the session reopened a lost line by itself, and the
  // connection the operator opened goes on; false when the operator opened it.
  bool reopened = false;
  Changed changed = Changed::Nothing;  // for a reply
  Source source = Source::Console;     // for a command
};

// The operator opened a port: a new connection, and a new run-log file.
inline bool StartsConnection(const SessionEvent& event) {
  return event.kind == EventKind::Open && !event.reopened;
}

using EventListener = std::function<void(const SessionEvent&)>;

// Listeners are called in the order they subscribed, on the session's thread,
// each time something happens. They must not block.
class EventFeed {
 public:
  void subscribe(EventListener listener) { listeners_.push_back(std::move(listener)); }
  void publish(const SessionEvent& event) const {
    for (const auto& listener : listeners_) listener(event);
  }

 private:
  std::vector<EventListener> listeners_;
};

}  // namespace pump::session
