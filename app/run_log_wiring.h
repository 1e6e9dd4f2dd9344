// The run log in the running console: every console event written as a CSV
// row by a thread of its own; a failure to write is told in a box on the
// window's thread, which goes on controlling the pump.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "console/console_events.h"
#include "platform/append_only_log.h"

class QWidget;

namespace pump::posix {
class BackgroundAppendLog;
}
namespace pump::runlog {
class RunLog;
}

namespace pump::app {

class RunLogWiring {
 public:
  // Logs the feed's events into files in `folder`; boxes belong to `window`.
  RunLogWiring(console::ConsoleEventFeed& feed, std::string folder, QWidget& window);
  ~RunLogWiring();
  RunLogWiring(const RunLogWiring&) = delete;
  RunLogWiring& operator=(const RunLogWiring&) = delete;

  const std::string& folder() const { return folder_; }
  // Told, on the window's thread, the status-line text while the log cannot
  // be written, and an empty text once it can again.
  void onTrouble(std::function<void(const std::string&)> show) { showTrouble_ = std::move(show); }
  // Shows the folder in the desktop's file manager, making it first if no
  // log has been written yet.
  void openFolder();

 private:
  AppendLogListener toWindowThread();
  void showBox(const std::string& text);

  std::string folder_;
  std::function<void(const std::string&)> showTrouble_;
  QPointer<QWidget> window_;
  // Queued calls from the writer thread run in this object's (the window's)
  // thread; it goes after the writer has stopped, and takes any still queued with it.
  QObject receiver_;
  std::unique_ptr<posix::BackgroundAppendLog> disk_;
  std::unique_ptr<runlog::RunLog> log_;
};

}  // namespace pump::app
