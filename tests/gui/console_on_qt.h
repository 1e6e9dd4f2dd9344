// A main window on the real Qt serial port and timers, with every other
// service a recording double: the console as it runs, minus its widgets.
#pragma once

#include <memory>
#include <string>

#include "console/main_window.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_timer.h"
#include "tests/support/doubles.h"

namespace pump::testing {

struct ConsoleOnQt {
  qt::QtSerialPort serial;
  qt::QtTimer timer1;
  qt::QtTimer timer2;
  ScriptedDialogs dialogs;
  RecordingCanvas canvas;
  RecordingPrinter printer;
  MemoryFiles files;
  CountingApp app;
  CountingPopup popup;
  CountingWindow viewer;
  std::unique_ptr<console::Form1> form;

  ConsoleOnQt() {
    form = std::make_unique<console::Form1>(console::Form1Services{
        serial, timer1, timer2, dialogs, canvas, printer, files, app, popup, viewer, "record.txt"});
    form->Form_Load();
  }
  ~ConsoleOnQt() { form->Form_Unload(); }

  void open(const std::string& answer) {
    dialogs.answers.push_back(answer);
    form->Communication_Click();
  }
};

}  // namespace pump::testing
