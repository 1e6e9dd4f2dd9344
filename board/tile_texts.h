// What a tile says, in the operator's words, of the ASCII states a console
// publishes. A state this board does not know is shown as it came.
#pragma once

#include <string>
#include <string_view>

#include "board/pump_reading.h"

namespace pump::board {

// "answering" -> "通信正常", "no_answer" -> "无应答"; offline -> "离线".
std::string LinkText(const PumpReading& reading);
// The program with its step and time left, else the timed run with its time
// left; empty when neither runs.
std::string RunText(const PumpReading& reading);

// "stop" -> "停泵": the command a tile waits on, as its menu named it.
std::string CommandName(std::string_view command);

}  // namespace pump::board
