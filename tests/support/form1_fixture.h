// A main window wired to test doubles, started as the program starts it.
#pragma once

#include <memory>

#include "console/main_window.h"
#include "tests/support/form1_doubles.h"

namespace pump::testing {

struct Form1Fixture : Form1Doubles {
  ScriptedClock clock;
  ManualTimer timer1{clock};
  ManualTimer timer2{clock};
  RecordingSerialPort serial;
  std::unique_ptr<console::Form1> form;

  explicit Form1Fixture(std::string recordPath = "record.txt") {
    form = std::make_unique<console::Form1>(services(serial, timer1, timer2, std::move(recordPath)));
    form->Form_Load();
  }

  // Opens a port through the port box as the operator does.
  void connect(const std::string& answer = "1") {
    dialogs.answers.push_back(answer);
    form->Communication_Click();
  }
};

}  // namespace pump::testing
