// The run log in the running console: every console event written as a CSV
// row by a thread of its own; a failure to write, and writing working again,
// is told in a box on the window's thread (or, without a window, in one line
// on the standard error) and as a `log` event. The pump goes on being controlled.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "platform/append_only_log.h"
#include "session/session_events.h"

class QWidget;

namespace pump::posix {
class BackgroundAppendLog;
}
namespace pump::runlog {
class RunLog;
}

namespace pump::app {

// A run-log box that does not block: the operator keeps the keypad and menus.
void ShowRunLogBox(QWidget* parent, const std::string& text);

class RunLogWiring {
 public:
  // Logs the feed's events into files in `folder`; boxes belong to `window`.
  // Without one (headless), what a box would say goes to the standard error.
  RunLogWiring(session::EventFeed& feed, std::string folder, QWidget* window);
  ~RunLogWiring();
  RunLogWiring(const RunLogWiring&) = delete;
  RunLogWiring& operator=(const RunLogWiring&) = delete;

  const std::string& folder() const { return folder_; }
  // Told, on the window's thread, the status-line text while the log cannot
  // be written, and an empty text once it can again, each with the detail of
  // its `log` event ("failed disk_full /home/op/Documents/pump-logs", "recovered").
  using TroubleShown = std::function<void(const std::string& status, const std::string& event)>;
  void onTrouble(TroubleShown show) { showTrouble_ = std::move(show); }
  // Shows the folder in the desktop's file manager, making it first if no
  // log has been written yet.
  void openFolder();

 private:
  AppendLogListener toWindowThread();
  // In a box on the window, or on the standard error without one.
  void tell(const std::string& boxText, const std::string& line);

  std::string folder_;
  TroubleShown showTrouble_;
  bool headless_;
  QPointer<QWidget> window_;
  // Queued calls from the writer thread run in this object's (the window's)
  // thread; it goes after the writer has stopped, and takes any still queued with it.
  QObject receiver_;
  std::unique_ptr<posix::BackgroundAppendLog> disk_;
  std::unique_ptr<runlog::RunLog> log_;
};

}  // namespace pump::app
