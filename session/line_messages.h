// What the operator is told when a port will not open or a line is lost:
// the cause in their words and what to do about it.
#pragma once

#include <string>

#include "platform/serial_port.h"

namespace pump::session {

std::string OpenFailedMessage(const std::string& device, const PortError& error);
// A lost line's reason is the system's: an input/output error is named in
// the operator's words, anything else kept in brackets.
std::string CauseOfLoss(const std::string& reason);

}  // namespace pump::session
