// A main window on the real Qt serial port and timers, with every other
// service a recording double: the console as it runs, minus its widgets.
#pragma once

#include <memory>
#include <string>

#include "console/main_window.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_timer.h"
#include "tests/support/form1_doubles.h"

namespace pump::testing {

struct ConsoleOnQt : Form1Doubles {
  qt::QtSerialPort serial;
  qt::QtTimer timer1;
  qt::QtTimer timer2;
  std::unique_ptr<console::Form1> form;

  ConsoleOnQt() {
    form = std::make_unique<console::Form1>(services(serial, timer1, timer2));
    form->Form_Load();
  }
  ~ConsoleOnQt() { form->Form_Unload(); }

  void open(const std::string& answer) {
    dialogs.answers.push_back(answer);
    form->Communication_Click();
  }
};

}  // namespace pump::testing
