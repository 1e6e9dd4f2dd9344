// The pump's state as the broker's retained status tells it, taken from the
// session's events.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "session/session_events.h"
#include "vocabulary/link_state.h"

namespace pump::remote {

struct PumpStatus {
  std::string pumpId;
  std::string instanceId;  // this console's process: tells two under one pump id apart
  bool online = true;
  LinkState link = LinkState::NotConnected;
  std::string linkCause;            // why the port being tried does not open; empty if none
  std::optional<std::string> port;  // the device open, if any
  bool pumpRunning = false;         // the last run or stop frame sent was a run
  std::optional<double> flow;       // ml/min, as the display shows it
  std::optional<double> limit;      // MPa
  std::optional<double> pressure;   // MPa
  std::string runState = "idle";    // timed run: idle, running, paused, stop_pending
  std::optional<long> secondsLeft;
  bool remoteControl = false;                       // the console takes commands from the broker
  bool pumpIdInUse = false;                         // another console is online under the pump id
  std::optional<session::ProgramProgress> program;  // the program under way, if any
  std::chrono::system_clock::time_point time;

  // Equal in everything a subscriber sees but the time.
  bool sameStateAs(const PumpStatus& other) const;
  // The same, the pressure aside too.
  bool sameStateApartFromPressure(const PumpStatus& other) const;
};

class StatusTracker {
 public:
  StatusTracker(std::string pumpId, const session::PumpState& shown);

  // Takes in what happened; the seconds left of a timed run are read
  // separately, as no event carries them.
  void apply(const session::SessionEvent& event);
  void setSecondsLeft(std::optional<double> seconds);
  void setRemoteControl(bool allowed) { status_.remoteControl = allowed; }
  void setInstanceId(std::string id) { status_.instanceId = std::move(id); }
  void setPumpIdInUse(bool inUse) { status_.pumpIdInUse = inUse; }

  const PumpStatus& status() const { return status_; }

 private:
  void show(const session::PumpState& shown);

  PumpStatus status_;
};

}  // namespace pump::remote
