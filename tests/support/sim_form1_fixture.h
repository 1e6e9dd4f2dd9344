// A main window wired as the program wires it, with the port switch in front
// of a recording device port and the built-in simulated pump, all on one
// scripted clock. Answering the port box with "sim" reaches the simulation.
#pragma once

#include <memory>

#include "console/main_window.h"
#include "sim/port_switch.h"
#include "sim/sim_serial_port.h"
#include "tests/support/doubles.h"

namespace pump::testing {

struct SimForm1Fixture {
  ScriptedClock clock;
  ManualTimer timer1{clock};
  ManualTimer timer2{clock};
  RecordingSerialPort device;
  sim::SimSerialPort simulated{std::make_unique<ManualTimer>(clock)};
  sim::SwitchingSerialPort serial{device, simulated};
  ScriptedDialogs dialogs;
  RecordingCanvas canvas;
  RecordingPrinter printer;
  MemoryFiles files;
  CountingApp app;
  CountingPopup popup;
  CountingWindow viewer;
  std::unique_ptr<console::Form1> form;

  SimForm1Fixture() {
    form = std::make_unique<console::Form1>(console::Form1Services{
        serial, timer1, timer2, dialogs, canvas, printer, files, app, popup, viewer, "record.txt"});
    form->Form_Load();
  }
};

}  // namespace pump::testing
