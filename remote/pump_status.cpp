#include "remote/pump_status.h"

#include <algorithm>
#include <cmath>

namespace pump::remote {
namespace {

// As the status shows it: its time run is not shown, only the seconds left.
bool SameProgram(const std::optional<session::ProgramProgress>& one,
                 const std::optional<session::ProgramProgress>& other) {
  if (!one || !other) return one.has_value() == other.has_value();
  return one->name == other->name && one->state == other->state && one->step == other->step &&
         one->steps == other->steps && one->secondsLeft == other->secondsLeft;
}

}  // namespace

bool PumpStatus::sameStateAs(const PumpStatus& other) const {
  return pressure == other.pressure && sameStateApartFromPressure(other);
}

bool PumpStatus::sameStateApartFromPressure(const PumpStatus& other) const {
  return pumpId == other.pumpId && instanceId == other.instanceId &&
         pumpIdInUse == other.pumpIdInUse && online == other.online && link == other.link &&
         linkCause == other.linkCause && port == other.port && pumpRunning == other.pumpRunning &&
         flow == other.flow && limit == other.limit && runState == other.runState &&
         secondsLeft == other.secondsLeft && remoteControl == other.remoteControl &&
         SameProgram(program, other.program);
}

StatusTracker::StatusTracker(std::string pumpId, const session::PumpState& shown) {
  status_.pumpId = std::move(pumpId);
  status_.time = std::chrono::system_clock::now();
  show(shown);
}

// A closed line is not connected from its close on; otherwise the link is
// the one the last `link` event told.
void StatusTracker::apply(const session::SessionEvent& event) {
  status_.time = event.wallTime;
  show(event.state);
  if (event.kind == EventKind::Close) status_.link = LinkState::NotConnected;
  if (event.kind == EventKind::Link) status_.link = event.state.link;
}

void StatusTracker::setSecondsLeft(std::optional<double> seconds) {
  if (status_.runState == "idle" || !seconds || !std::isfinite(*seconds)) {
    status_.secondsLeft.reset();
  } else {
    status_.secondsLeft = std::lround(std::max(0.0, *seconds));
  }
}

void StatusTracker::show(const session::PumpState& state) {
  status_.pressure = state.currentPressure.value();
  status_.limit = state.pressureLimit.value();
  status_.flow = state.flowSetpoint.value();
  status_.pumpRunning = state.pumpCommandedRunning;
  status_.port = state.port;
  status_.linkCause = state.linkCause;
  status_.runState = session::TimedRunStateName(state.timedRun);
  status_.program = state.program;
}

}  // namespace pump::remote
