// What the console tells the parts that follow it (run log, trend, remote
// status): one event per thing that happened, with the readouts as the
// display shows them after it. Plain data, no toolkit.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/monotonic_clock.h"

namespace pump::console {

// The state of the line to the pump, as link supervision sees it.
enum class LinkState {
  NotConnected,  // no port open
  Waiting,       // open, but no whole, valid frame has arrived since the open
  Answering,     // a whole, valid frame arrived within the last three poll periods
  NoAnswer,      // the port is open but no valid frame for three poll periods (4.5 s)
  Lost,          // the port failed
  Reconnecting,  // trying to reopen the lost port
};

// The texts used for link states in logs and on a broker: stable, ASCII.
inline const char* LinkStateName(LinkState state) {
  switch (state) {
    case LinkState::NotConnected:
      return "not_connected";
    case LinkState::Waiting:
      return "waiting";
    case LinkState::Answering:
      return "answering";
    case LinkState::NoAnswer:
      return "no_answer";
    case LinkState::Lost:
      return "lost";
    case LinkState::Reconnecting:
      return "reconnecting";
  }
  return "not_connected";
}

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

enum class EventKind {
  Open,     // a port opened; detail: the device
  Reading,  // a current-pressure reply; detail: the frame as received
  Reply,    // any other valid reply; detail: the frame as received
  Command,  // a command frame written to the line; detail: the frame
  Refused,  // a setpoint the console refused; detail: the value as typed
  Link,     // link state changed; detail: LinkStateName
  Run,      // a timed-run step; detail: start, pause, continue, end, stop_due, stop_sent
  Close,    // the port or the window closed; detail: the device
  Log,      // the run log could not be written, or can again; detail: "failed <cause> <path>",
            // "recovered"
};

// The names of the event kinds in logs and on a broker: stable, ASCII.
inline const char* EventKindName(EventKind kind) {
  switch (kind) {
    case EventKind::Open:
      return "open";
    case EventKind::Reading:
      return "reading";
    case EventKind::Reply:
      return "reply";
    case EventKind::Command:
      return "command";
    case EventKind::Refused:
      return "refused";
    case EventKind::Link:
      return "link";
    case EventKind::Run:
      return "run";
    case EventKind::Close:
      return "close";
    case EventKind::Log:
      return "log";
  }
  return "reply";
}

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

// Where the two time points of an event come from; tests script it.
class EventClock : public MonotonicClock {
 public:
  virtual std::chrono::system_clock::time_point wallNow() const = 0;
};

class SystemEventClock : public EventClock {
 public:
  std::chrono::system_clock::time_point wallNow() const override {
    return std::chrono::system_clock::now();
  }
  std::chrono::steady_clock::time_point monotonicNow() const override {
    return std::chrono::steady_clock::now();
  }
};

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
