// Upper bounds of the setpoints and the texts that refuse a setpoint or a pump
// number. Keypad and dialogs share the bounds but not the wording.
#pragma once

namespace pump::console {

inline constexpr double kFlowLimit = 200;      // ml/min; 200 itself is accepted
inline constexpr double kPressureLimit = 5;    // MPa; 5.0 itself is accepted
inline constexpr int kHighestPumpNumber = 99;  // the frame has two address digits

// Keypad refusals: no "!".
inline constexpr char kKeypadRefusalTitle[] = "设定错误";
inline constexpr char kKeypadFlowRefusal[] = "流量设定错误";
inline constexpr char kKeypadPressureRefusal[] = "压力设定错误";

// Dialog refusals, with an ASCII "!".
inline constexpr char kDialogRefusalTitle[] = "错误";
inline constexpr char kDialogFlowRefusal[] = "流量设定错误!";
inline constexpr char kDialogPressureRefusal[] = "压力设定错误!";
inline constexpr char kPumpNumberRefusal[] = "泵编号设定错误!";

}  // namespace pump::console
