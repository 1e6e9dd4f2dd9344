// What the console tells the parts that follow it (run log, trend, remote
// status): one event per thing that happened, with the readouts as the
// display shows them after it. Plain data, no toolkit.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "vocabulary/event_clock.h"
#include "vocabulary/event_kind.h"
#include "vocabulary/link_state.h"

namespace pump::console {

// The shared words, under the names the console's followers know them by.
using pump::EventClock;
using pump::EventKind;
using pump::EventKindName;
using pump::LinkState;
using pump::LinkStateName;
using pump::SystemEventClock;

// What the display shows: the captions as they are on screen.
struct Readouts {
  std::string currentPressure;  // "00.0" at start-up
  std::string pressureLimit;    // "02.0" at start-up
  std::string flowSetpoint;     // "000" at start-up
  bool pumpRunning = false;     // the run-state display reads RUN
  // The last run or stop frame sent was a run, whoever sent it (keys, menus,
  // timed run, remote). The run log's and the broker's `pump` follow this.
  bool pumpCommandedRunning = false;
};

struct ConsoleEvent {
  EventKind kind;
  std::string detail;
  Readouts readouts;  // after this event
  std::chrono::system_clock::time_point wallTime;
  std::chrono::steady_clock::time_point monotonicTime;
  // For an open: the console reopened a lost line by itself, and the
  // connection the operator opened goes on; false when the operator opened it.
  bool reopened = false;
};

// The operator opened a port: a new connection, and a new run-log file.
inline bool StartsConnection(const ConsoleEvent& event) {
  return event.kind == EventKind::Open && !event.reopened;
}

using ConsoleEventListener = std::function<void(const ConsoleEvent&)>;

// Listeners are called in the order they subscribed, on the window's thread,
// each time something happens. They must not block.
class ConsoleEventFeed {
 public:
  void subscribe(ConsoleEventListener listener) { listeners_.push_back(std::move(listener)); }
  void publish(const ConsoleEvent& event) const {
    for (const auto& listener : listeners_) listener(event);
  }

 private:
  std::vector<ConsoleEventListener> listeners_;
};

}  // namespace pump::console
