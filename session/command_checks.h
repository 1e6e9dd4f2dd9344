// Where a setpoint is checked before it becomes a command: the bounds the
// keypad, the dialogs and remote requests share.
#pragma once

#include <optional>

#include "link/pump_command.h"

namespace pump::session {

inline constexpr double kFlowLimit = 200;      // ml/min; 200 itself is accepted
inline constexpr double kPressureLimit = 5;    // MPa; 5.0 itself is accepted
inline constexpr int kHighestPumpNumber = 99;  // the frame has two address digits

// The command for a flow within 0..200 ml/min; nothing for any other (a
// negative flow has no four-digit form), or for a NaN.
std::optional<link::PumpCommand> CheckedFlow(int address, double mlPerMinute);
// A pressure limit the pump's frame carries as written: no finer than a
// tenth of a MPa (2.5 is, 2.55 is not).
bool InTenthsOfMegapascal(double megapascals);
// The command for a pressure limit within 0..5 MPa; nothing otherwise.
std::optional<link::PumpCommand> CheckedPressureLimit(int address, double megapascals);
// A pump number the frame can carry.
bool PumpNumberFits(int number);
// A timed run needs a length above zero.
bool RunLengthFits(double minutes);

}  // namespace pump::session
