// The pump as the console knows it: typed values, each with its unit.
#pragma once

#include <optional>
#include <string>

#include "texts/operator_texts.h"
#include "vocabulary/link_state.h"
#include "vocabulary/quantity.h"

namespace pump::session {

enum class TimedRunState { Idle, Running, Paused, StopPending };

// "idle", "running", "paused", "stop_pending": stable ASCII for logs and brokers.
const char* TimedRunStateName(TimedRunState state);

struct PumpState {
  // The pump's own characters from its last answers; the start-up values
  // before it has answered.
  Pressure currentPressure = Pressure::Read(texts::kStartPressure);
  Pressure pressureLimit = Pressure::Read(texts::kStartPressureLimit);
  Flow flowSetpoint = Flow::Read(texts::kStartFlow);
  // The last run or stop frame sent was a run, whoever sent it (keys, menus,
  // timed run, remote).
  bool pumpCommandedRunning = false;
  LinkState link = LinkState::NotConnected;
  std::optional<std::string> port;  // the device open, if any
  TimedRunState timedRun = TimedRunState::Idle;
  int pumpAddress = 0;  // where keypad setpoints go; run, stop and dialogs go to "00"
  // The last reading is at or above the pressure limit.
  bool atPressureLimit = false;

  bool operator==(const PumpState&) const = default;
};

}  // namespace pump::session
