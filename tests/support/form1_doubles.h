// The main window's services that tests watch through doubles rather than
// real devices, and the wiring of a window onto them.
#pragma once

#include <string>

#include "console/main_window.h"
#include "tests/support/doubles.h"

namespace pump::testing {

struct Form1Doubles {
  ScriptedDialogs dialogs;
  RecordingCanvas canvas;
  RecordingPrinter printer;
  MemoryFiles files;
  CountingApp app;
  CountingPopup popup;
  CountingWindow viewer;

  // Services for a window on this serial port and these timers; the rest are the doubles.
  console::Form1Services services(SerialPort& serial, Timer& timer1, Timer& timer2,
                                  std::string recordPath = "record.txt") {
    return {serial, timer1, timer2, dialogs, canvas, printer, files, app, popup, viewer,
            std::move(recordPath)};
  }
};

}  // namespace pump::testing
