// The run log: one CSV file per connection, one row per console event, from
// the open to the close.
#pragma once

#include <chrono>

#include "console/console_events.h"
#include "platform/append_only_log.h"
#include "runlog/local_time.h"

namespace pump::runlog {

class RunLog {
 public:
  explicit RunLog(AppendOnlyLog& log) : log_(log) {}

  // Records every event the feed publishes from now on.
  void follow(console::ConsoleEventFeed& feed);

  // An open starts a new file named by its local time; each event while a
  // port is open is a row; the close is the file's last row. Events while no
  // port is open belong to no connection and are not written.
  void record(const console::ConsoleEvent& event);

 private:
  AppendOnlyLog& log_;
  bool open_ = false;
  std::chrono::steady_clock::time_point openedAt_;
  LocalTimestamps times_;
};

}  // namespace pump::runlog
