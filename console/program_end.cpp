// Ending the program while the pump runs under a run of the console's: the
// run is ended first, its stop going out through the line like any other.
#include "console/main_window.h"

namespace pump::console {

bool MainWindow::stopRunBeforeExit() {
  if (!runInProgress()) return false;
  repliesBeforeExitStop_ = repliesHandled_;
  runTimer_.end();
  return true;
}

// A kept stop waits for the line to come back, which may happen within the
// wait. A line that is gone without one has nothing more to send.
bool MainWindow::stopTakenBeforeExit() const {
  if (keptStop_) return false;
  if (!line_.connected()) return true;
  if (!line_.allWritten()) return false;
  return line_.portDrained() || repliesHandled_ > repliesBeforeExitStop_;
}

}  // namespace pump::console
