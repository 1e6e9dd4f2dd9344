// What the operator is told when a port will not open or a line is lost:
// the cause in their words and what to do about it.
#pragma once

#include <string>

#include "platform/serial_port.h"

namespace pump::session {

std::string OpenFailedMessage(const std::string& device, const PortError& error);
// Why a port does not open, as stable ASCII for logs and brokers: "not_found",
// "permission_denied", "busy", "stale_lock", "not_serial", "settings_refused", "other".
const char* PortErrorName(PortError::Kind kind);
// A lost line's reason is the system's: an input/output error is named in
// the operator's words, anything else kept in brackets.
std::string CauseOfLoss(const std::string& reason);

}  // namespace pump::session
