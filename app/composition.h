// The composition root: builds the Qt adapters, the window model and its view,
// and wires them together.
#pragma once

#include <memory>
#include <string>

#include "app/form1_view.h"
#include "app/placeholders.h"
#include "console/main_window.h"
#include "platform/qt/qt_application.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_timer.h"

namespace pump::app {

// Makes the resources (background, key faces, icon) reachable under ":/assets".
void LoadAssets();
// Pins the labels' "宋体" to an installed Simplified Chinese face, whatever the locale.
void InstallFontSubstitutes();
// Where the record file lives: mytext.txt in the user's documents folder.
std::string RecordPath();

class Console {
 public:
  Console();
  Console(const Console&) = delete;
  Console& operator=(const Console&) = delete;
  ~Console();

  // Runs the start-up step, then shows the window at its design place.
  void start();

  Form1View& mainWindow() { return *view_; }
  console::Form1& form1() { return *form1_; }

 private:
  console::Form1Services services();
  void bindWindowToModel();

  // Declared first so it is destroyed last: the model refers to its widgets.
  std::unique_ptr<Form1View> view_;
  qt::QtTimer timer1_;
  qt::QtTimer timer2_;
  qt::QtDialogs dialogs_;
  qt::QtApplication application_;
  PlaceholderSerialPort serial_;
  PlaceholderPrinter printer_;
  PlaceholderFiles files_;
  PlaceholderRecordViewer recordViewer_;
  std::unique_ptr<console::Form1> form1_;
};

}  // namespace pump::app
