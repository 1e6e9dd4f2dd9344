// Upper bounds of the setpoints. Keypad and dialogs share the bounds but not
// the wording of their refusals.
#pragma once

namespace pump::console {

inline constexpr double kFlowLimit = 200;      // ml/min; 200 itself is accepted
inline constexpr double kPressureLimit = 5;    // MPa; 5.0 itself is accepted
inline constexpr int kHighestPumpNumber = 99;  // the frame has two address digits

}  // namespace pump::console
