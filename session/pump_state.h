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

enum class ProgramRunState { Running, Paused };

// "running", "paused": stable ASCII for logs and brokers.
const char* ProgramRunStateName(ProgramRunState state);

// A program under way, as the status line and the broker show it.
struct ProgramProgress {
  std::string name;
  ProgramRunState state = ProgramRunState::Running;
  int step = 1;  // 1-based
  int steps = 0;
  long secondsLeft = 0;     // whole seconds still to run, rounded up
  long long elapsedMs = 0;  // the program's time run, paused time left out

  bool operator==(const ProgramProgress&) const = default;
};

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
  // Why the port being tried does not open ("not_found", "busy", ...); empty
  // when it is open or not being tried.
  std::string linkCause;
  TimedRunState timedRun = TimedRunState::Idle;
  int pumpAddress = 0;  // where keypad setpoints go; run, stop and dialogs go to "00"
  // The last reading is at or above the pressure limit.
  bool atPressureLimit = false;
  std::optional<ProgramProgress> program;  // none: no program under way

  bool operator==(const PumpState&) const = default;
};

}  // namespace pump::session
