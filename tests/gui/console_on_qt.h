// A console on the real Qt serial port and timers, with every other service
// a recording double: the console as it runs, minus its widgets.
#pragma once

#include <string>

#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_timer.h"
#include "tests/support/console_harness.h"

namespace pump::testing {

struct QtLine {
  qt::QtSerialPort qtSerial;
  qt::QtTimer qtRunClockTimer;
  qt::QtTimer qtPollTimer;
  qt::QtTimer qtLinkWatchTimer;
  qt::QtTimer qtProgramTimer;
  pump::SystemEventClock systemClock;

  // The line, the run clock, the poll, the link watch and the clock for a
  // console's services; programs keep the harness's scripted timer unless
  // a console takes qtProgramTimer too.
  ServiceOverrides qtServices() {
    return {.serial = &qtSerial,
            .runClockTimer = &qtRunClockTimer,
            .pollTimer = &qtPollTimer,
            .linkWatchTimer = &qtLinkWatchTimer,
            .clock = &systemClock};
  }
};

struct ConsoleOnQt : QtLine, ConsoleHarness {
  ConsoleOnQt() : ConsoleHarness(Deferred{}) {
    ServiceOverrides services = qtServices();
    services.programTimer = &qtProgramTimer;
    build(services);
  }
  ~ConsoleOnQt() { window->closeWindow(); }

  void open(const std::string& answer) { openPort(answer); }
};

}  // namespace pump::testing
