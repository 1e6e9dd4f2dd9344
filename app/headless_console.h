// The console without a window, for a small computer beside the pump: it
// opens the port given on the command line, polls the pump, writes the run
// log, reconnects a lost line and publishes to the broker. Qt's core only:
// no widget or GUI library is linked, so none is loaded.
#pragma once

#include <memory>
#include <string>

#include "app/headless_dialogs.h"
#include "app/null_surfaces.h"
#include "app/run_log_wiring.h"
#include "console/main_window.h"
#include "platform/posix/posix_files.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_timer.h"
#include "remote/qt/remote_monitoring.h"
#include "sim/port_switch.h"
#include "sim/sim_serial_port.h"

namespace pump::app {

class HeadlessConsole {
 public:
  // Run logs go to `logFolder`; an empty one turns the run log off.
  explicit HeadlessConsole(std::string logFolder);
  HeadlessConsole(const HeadlessConsole&) = delete;
  HeadlessConsole& operator=(const HeadlessConsole&) = delete;
  ~HeadlessConsole();

  // Runs the start-up step and opens `port` as the port box would.
  void start(const std::string& port);
  // Remote monitoring with these settings (off for an empty broker URL).
  void startRemote(const remote::RemoteSettings& settings);
  // A stop signal has come and any run has been stopped: the event loop is left.
  void endOnSignal();
  // Closes the line as the window's close box would, then leaves the broker.
  void finish();
  // Why there is no run log, in a line on the standard error.
  void tellRunLogOff(const std::string& why);

  console::MainWindow& window() { return *window_; }
  console::ConsoleEventFeed& events() { return window_->events(); }

 private:
  console::MainWindowServices services();

  qt::QtTimer runClockTimer_;
  qt::QtTimer pollTimer_;
  qt::QtTimer linkWatchTimer_;
  HeadlessDialogs dialogs_;
  NullCanvas chart_;
  NullPopupMenu popupMenu_;
  NullWindowHandle recordViewer_;
  NullPrinter printer_;
  qt::QtApplication application_;
  posix::PosixFiles files_;
  // The device line, the built-in simulated pump, and the switch that picks
  // one by the port name given.
  qt::QtSerialPort device_;
  sim::SimSerialPort simulated_{std::make_unique<qt::QtTimer>()};
  sim::SwitchingSerialPort serial_{device_, simulated_};
  std::string recordPath_;
  // Before the console logic: it takes the close the logic publishes as it goes.
  std::unique_ptr<RunLogWiring> runLog_;
  std::unique_ptr<console::MainWindow> window_;
  std::unique_ptr<remote::qt::RemoteMonitoring> remote_;
};

}  // namespace pump::app
