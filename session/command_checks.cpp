#include "session/command_checks.h"

#include <cmath>

namespace pump::session {

std::optional<link::PumpCommand> CheckedFlow(int address, double mlPerMinute) {
  if (!(mlPerMinute >= 0 && mlPerMinute <= kFlowLimit)) return std::nullopt;
  return link::PumpCommand::SetFlow(address, mlPerMinute);
}

std::optional<link::PumpCommand> CheckedPressureLimit(int address, double megapascals) {
  if (!(megapascals >= 0 && megapascals <= kPressureLimit)) return std::nullopt;
  return link::PumpCommand::SetPressureLimit(address, megapascals);
}

bool PumpNumberFits(int number) { return number >= 0 && number <= kHighestPumpNumber; }

bool RunLengthFits(double minutes) { return std::isfinite(minutes) && minutes > 0; }

}  // namespace pump::session
