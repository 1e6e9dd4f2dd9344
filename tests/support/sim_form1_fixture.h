// A main window wired as the program wires it, with the port switch in front
// of a recording device port and the built-in simulated pump, all on one
// scripted clock. Answering the port box with "sim" reaches the simulation.
#pragma once

#include <memory>

#include "console/main_window.h"
#include "sim/port_switch.h"
#include "sim/sim_serial_port.h"
#include "tests/support/form1_doubles.h"

namespace pump::testing {

struct SimForm1Fixture : Form1Doubles {
  ScriptedClock clock;
  ManualTimer timer1{clock};
  ManualTimer timer2{clock};
  RecordingSerialPort device;
  sim::SimSerialPort simulated{std::make_unique<ManualTimer>(clock)};
  sim::SwitchingSerialPort serial{device, simulated};
  std::unique_ptr<console::Form1> form;

  SimForm1Fixture() {
    form = std::make_unique<console::Form1>(services(serial, timer1, timer2));
    form->Form_Load();
  }
};

}  // namespace pump::testing
