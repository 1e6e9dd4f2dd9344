#include "remote/pump_status.h"

#include <algorithm>
#include <cmath>

#include "platform/number_text.h"

namespace pump::remote {
namespace {

// The timed run's state after each of its steps.
std::string RunStateAfter(const std::string& step, const std::string& before) {
  if (step == "start" || step == "continue") return "running";
  if (step == "pause") return "paused";
  if (step == "end" || step == "stop_sent") return "idle";
  if (step == "stop_due") return "stop_pending";
  return before;
}

}  // namespace

bool PumpStatus::sameStateAs(const PumpStatus& other) const {
  return pressure == other.pressure && sameStateApartFromPressure(other);
}

bool PumpStatus::sameStateApartFromPressure(const PumpStatus& other) const {
  return pumpId == other.pumpId && online == other.online && link == other.link &&
         port == other.port && pumpRunning == other.pumpRunning && flow == other.flow &&
         limit == other.limit && runState == other.runState && secondsLeft == other.secondsLeft;
}

std::optional<double> CaptionValue(const std::string& caption) { return ToDouble(caption); }

StatusTracker::StatusTracker(std::string pumpId, const console::Readouts& shown) {
  status_.pumpId = std::move(pumpId);
  status_.time = std::chrono::system_clock::now();
  show(shown);
}

void StatusTracker::apply(const console::ConsoleEvent& event) {
  status_.time = event.wallTime;
  show(event.readouts);
  switch (event.kind) {
    case EventKind::Open:
      status_.port = event.detail;
      break;
    case EventKind::Close:
      status_.port.reset();
      status_.link = LinkState::NotConnected;
      break;
    case EventKind::Link:
      for (auto state : {LinkState::NotConnected, LinkState::Waiting, LinkState::Answering,
                         LinkState::NoAnswer, LinkState::Lost, LinkState::Reconnecting}) {
        if (event.detail == LinkStateName(state)) status_.link = state;
      }
      break;
    case EventKind::Run:
      status_.runState = RunStateAfter(event.detail, status_.runState);
      break;
    default:
      break;
  }
}

void StatusTracker::setSecondsLeft(std::optional<double> seconds) {
  if (status_.runState == "idle" || !seconds || !std::isfinite(*seconds)) {
    status_.secondsLeft.reset();
  } else {
    status_.secondsLeft = std::lround(std::max(0.0, *seconds));
  }
}

void StatusTracker::show(const console::Readouts& shown) {
  status_.pressure = CaptionValue(shown.currentPressure);
  status_.limit = CaptionValue(shown.pressureLimit);
  status_.flow = CaptionValue(shown.flowSetpoint);
  status_.pumpRunning = shown.pumpCommandedRunning;
}

}  // namespace pump::remote
