// The run log on the main window: its boxes, and its folder shown in the
// desktop's file manager.
#pragma once

#include <string>

#include "app/run_log_wiring.h"

class QWidget;

namespace pump::app {

// A run-log box that does not block: the operator keeps the keypad and menus.
void ShowRunLogBox(QWidget* parent, const std::string& text);
// Tells in boxes on `window` (nothing when there is nothing for a box to say).
RunLogTeller TellInBoxes(QWidget& window);
// Shows the folder in the desktop's file manager, making it first if no log
// has been written yet; a box on `parent` says when it cannot.
void OpenRunLogFolder(QWidget* parent, const std::string& folder);

}  // namespace pump::app
