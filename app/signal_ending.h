// The program's end on SIGTERM, SIGINT or SIGHUP: a service stopped, Ctrl+C,
// a terminal closed, a desktop session ending. A run in progress is ended
// first, and the event loop goes on, for at most kLongestStopWait, until the
// line has taken its stop; only then does the program end.
#pragma once

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

#include "session/pump_session.h"

namespace pump::app {

inline constexpr std::chrono::milliseconds kLongestStopWait{2000};

// Runs the event loop while a stop sent for the exit has not left the port,
// for at most kLongestStopWait; returns at once when there is none.
void WaitForExitStop(const session::PumpSession& session);

class SignalEnding {
 public:
  // Takes the three signals for this program from now on; `end` ends it.
  SignalEnding(session::PumpSession& session, std::function<void()> end);
  // Gives the signals back to their default handling.
  ~SignalEnding();
  SignalEnding(const SignalEnding&) = delete;
  SignalEnding& operator=(const SignalEnding&) = delete;

 private:
  void signalled();
  void checkStopTaken();

  session::PumpSession& session_;
  std::function<void()> end_;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer stopWatch_;  // looks at the line while it takes the stop
  QElapsedTimer waited_;
  bool ending_ = false;
};

}  // namespace pump::app
