#include "session/command_checks.h"

#include <cmath>

namespace pump::session {

std::optional<link::PumpCommand> CheckedFlow(int address, double mlPerMinute) {
  if (!(mlPerMinute >= 0 && mlPerMinute <= kFlowLimit)) return std::nullopt;
  return link::PumpCommand::SetFlow(address, mlPerMinute);
}

// The tolerance allows for the binary form of a decimal such as 4.9.
bool InTenthsOfMegapascal(double megapascals) {
  const double tenths = megapascals * 10;
  return std::isfinite(tenths) && std::abs(tenths - std::round(tenths)) <= 1e-6;
}

std::optional<link::PumpCommand> CheckedPressureLimit(int address, double megapascals) {
  if (!(megapascals >= 0 && megapascals <= kPressureLimit)) return std::nullopt;
  return link::PumpCommand::SetPressureLimit(address, megapascals);
}

bool PumpNumberFits(int number) { return number >= 0 && number <= kHighestPumpNumber; }

bool RunLengthFits(double minutes) { return std::isfinite(minutes) && minutes > 0; }

}  // namespace pump::session
