// What a tile says, in the operator's words, of the ASCII states a console
// publishes. A state this board does not know is shown as it came; a field no
// message carried is shown as unknown. Every text from the broker in them has
// passed through VisibleText.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"
#include "board/pump_reading.h"
#include "board/visible_text.h"

namespace pump::board {

// "answering" -> "通信正常", "no_answer" -> "无应答"; offline -> "离线".
std::string LinkText(const PumpReading& reading);
// The program with its step and time left, else the timed run with its time
// left; empty when neither runs.
std::string RunText(const PumpReading& reading);
// "RUN", "STOP", or unknown.
std::string PumpStateText(const PumpReading& reading);

// "stop" -> "停泵": the command a tile waits on, as its menu named it.
std::string CommandName(std::string_view command);
// The command and how it went: "停泵 已拒绝: <reason>"; empty when none.
std::string CommandText(const std::optional<CommandOutcome>& command);

// What the operator is told of a 全部停泵: the pumps that refused with their
// reasons, those that did not answer (or have not yet), those that stopped;
// the one all-answered sentence only when every pump stopped.
std::string StopAllReport(const std::vector<StopAllAnswer>& answers);

}  // namespace pump::board
