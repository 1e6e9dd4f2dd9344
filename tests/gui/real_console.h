// Form1 on the real Qt serial port, timers and record files, with the boxes
// recorded instead of shown: the fault tests' console.
#pragma once

#include <memory>
#include <string>

#include "console/main_window.h"
#include "platform/posix/posix_files.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_timer.h"
#include "tests/support/doubles.h"

namespace pump::testing {

struct RealConsole {
  qt::QtSerialPort serial;
  qt::QtTimer timer1;
  qt::QtTimer timer2;
  ScriptedDialogs dialogs;
  RecordingCanvas canvas;
  RecordingPrinter printer;
  posix::PosixFiles files;
  CountingApp app;
  CountingPopup popup;
  CountingWindow viewer;
  std::unique_ptr<console::Form1> form;

  explicit RealConsole(const std::string& recordPath = "record.txt") {
    form = std::make_unique<console::Form1>(console::Form1Services{
        serial, timer1, timer2, dialogs, canvas, printer, files, app, popup, viewer, recordPath});
    form->Form_Load();
  }
  ~RealConsole() { form->Form_Unload(); }
  RealConsole(const RealConsole&) = delete;
  RealConsole& operator=(const RealConsole&) = delete;

  // The operator picks a port through the communication menu.
  void open(const std::string& answer) {
    dialogs.answers.push_back(answer);
    form->Communication_Click();
  }
  std::size_t messageCount() const { return dialogs.messages().size(); }
  // The menus the operator needs a line for are all released or all locked.
  bool menusReleased() const {
    const auto& w = *form;
    return w.file.enabled() && w.settime.enabled() && w.Pump.enabled() && w.seting.enabled() &&
           w.rightkey.enabled();
  }
  bool menusLocked() const {
    const auto& w = *form;
    return !w.file.enabled() && !w.settime.enabled() && !w.Pump.enabled() && !w.seting.enabled() &&
           !w.rightkey.enabled();
  }
};

}  // namespace pump::testing
