// What the port box shows: the serial ports the system lists, each with its
// adapter's description, then the built-in simulated pump; and as its
// default the answer that opened a port last.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/serial_ports.h"
#include "platform/ui.h"

namespace pump::console {

// The ports come in natural path order (ttyS2 before ttyS10), each listed
// once. A remembered answer that no longer names a port gives way to "1".
HintedInputBox PortBox(std::vector<FoundPort> found, const std::optional<std::string>& lastAnswer);

}  // namespace pump::console
