// The composition root: builds the Qt adapters, the window model and its view,
// and wires them together.
#pragma once

#include <memory>
#include <string>

#include "app/main_window_view.h"
#include "app/record_viewer_view.h"
#include "console/main_window.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_files.h"
#include "platform/qt/qt_printer.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/qt_window_handle.h"
#include "sim/port_switch.h"
#include "sim/sim_serial_port.h"

namespace pump::app {

// Makes the resources (background, key faces, icon) reachable under ":/assets".
void LoadAssets();
// Pins the labels' "宋体" to an installed Simplified Chinese face, whatever the locale.
void InstallFontSubstitutes();
// Everything the application needs before its first window: the resources,
// the font substitutes and the window icon.
void PrepareApplication();

class Console {
 public:
  Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  ~Console();

  // Runs the start-up step, then shows the window at its design place.
  void start();

  MainWindowView& mainWindowView() { return *view_; }
  RecordViewerView& recordViewer() { return *recordViewer_; }
  console::MainWindow& window() { return *window_; }
  // What the console publishes: the run log, trend and remote subscribe here.
  console::ConsoleEventFeed& events() { return window_->events(); }

 private:
  console::MainWindowServices services();
  void bindWindowToModel();

  // Declared first so it is destroyed last: the model refers to its widgets.
  std::unique_ptr<MainWindowView> view_;
  qt::QtTimer runClockTimer_;
  qt::QtTimer pollTimer_;
  qt::QtTimer linkWatchTimer_;
  qt::QtDialogs dialogs_;
  qt::QtApplication application_;
  qt::QtFiles files_;
  qt::QtPrinter printer_;
  // The device line, the built-in simulated pump, and the switch that picks
  // one by the port name the operator gives.
  qt::QtSerialPort device_;
  sim::SimSerialPort simulated_{std::make_unique<qt::QtTimer>()};
  sim::SwitchingSerialPort serial_{device_, simulated_};
  std::string recordPath_;
  std::unique_ptr<RecordViewerView> recordViewer_;
  std::unique_ptr<qt::QtWindowHandle> mainWindowHandle_;
  std::unique_ptr<console::MainWindow> window_;
};

}  // namespace pump::app
