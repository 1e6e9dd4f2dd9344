// The stream benchmark's dealings with the running console: opening its line
// through the port box and connecting it to a broker, as an operator would.
#pragma once

#include <string>

#include "app/composition.h"

namespace pump::bench {

// Answers the port box with the device and waits for the menus that need a
// line: false when the console did not open it.
bool OpenPort(app::Console& console, const std::string& device);

// Whether the console's remote status line says it is connected to its broker.
// How many captions each kept-picture label drew afresh over the run: the
// rest were copies of pictures it had kept.
void ReportCaptionsDrawn(app::Console& console);

bool BrokerConnected(app::Console& console);

// Starts remote monitoring and waits for the broker, as a console would be
// running before its port opens.
bool ConnectToBroker(app::Console& console, const std::string& url);

}  // namespace pump::bench
