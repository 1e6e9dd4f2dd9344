// The run log in the running console: every console event written as a CSV
// row by a thread of its own; a failure to write, and writing working again,
// is told on the console's thread (in a box on the window, or, without one,
// in one line on the standard error) and as a `log` event. The pump goes on
// being controlled. Qt's core only.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "platform/append_only_log.h"
#include "session/session_events.h"

namespace pump::posix {
class BackgroundAppendLog;
}
namespace pump::runlog {
class RunLog;
}

namespace pump::app {

// Tells the operator about the run log: what a box would say (empty when a
// window need not say anything) and the same in one line for the journal.
using RunLogTeller = std::function<void(const std::string& boxText, const std::string& line)>;
// Writes the line on the standard error: the console without a window.
RunLogTeller TellOnStandardError();

class RunLogWiring {
 public:
  // Logs the feed's events into files in `folder`; troubles go to `tell`.
  RunLogWiring(session::EventFeed& feed, std::string folder, RunLogTeller tell);
  ~RunLogWiring();
  RunLogWiring(const RunLogWiring&) = delete;
  RunLogWiring& operator=(const RunLogWiring&) = delete;

  const std::string& folder() const { return folder_; }
  // Told, on the console's thread, the status-line text while the log cannot
  // be written, and an empty text once it can again, each with the detail of
  // its `log` event ("failed disk_full /home/op/Documents/pump-logs", "recovered").
  using TroubleShown = std::function<void(const std::string& status, const std::string& event)>;
  void onTrouble(TroubleShown show) { showTrouble_ = std::move(show); }
  // Told, on the console's thread, the path of the log a program's run is in
  // once its end (or abort) row is on disk: where its report goes.
  void onProgramLogged(std::function<void(const std::string& logPath)> logged) {
    programLogged_ = std::move(logged);
  }

 private:
  AppendLogListener toConsoleThread();

  std::string folder_;
  void programMayHaveEnded(const session::SessionEvent& event);

  TroubleShown showTrouble_;
  std::function<void(const std::string&)> programLogged_;
  RunLogTeller tell_;
  // Queued calls from the writer thread run in this object's thread; it goes
  // after the writer has stopped, and takes any still queued with it.
  QObject receiver_;
  std::unique_ptr<posix::BackgroundAppendLog> disk_;
  std::unique_ptr<runlog::RunLog> log_;
};

}  // namespace pump::app
