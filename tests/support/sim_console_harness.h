// A console wired as the program wires it, with the port switch in front of a
// recording device port and the built-in simulated pump, all on the harness's
// scripted clock. Answering the port box with "sim" reaches the simulation.
#pragma once

#include <memory>

#include "sim/port_switch.h"
#include "sim/sim_serial_port.h"
#include "tests/support/console_harness.h"

namespace pump::testing {

struct SimConsoleHarness : ConsoleHarness {
  RecordingSerialPort& device = ConsoleHarness::serial;
  sim::SimSerialPort simulated{std::make_unique<ManualTimer>(clock)};
  sim::SwitchingSerialPort line{device, simulated};

  SimConsoleHarness() : ConsoleHarness(Deferred{}) { build({.serial = &line}); }
};

}  // namespace pump::testing
