// The run log: one CSV file per connection the operator opens, one row per
// console event.
#pragma once

#include <chrono>

#include "platform/append_only_log.h"
#include "runlog/local_time.h"
#include "session/session_events.h"

namespace pump::runlog {

class RunLog {
 public:
  explicit RunLog(AppendOnlyLog& log) : log_(log) {}

  // Records every event the feed publishes from now on.
  void follow(session::EventFeed& feed);

  // Every event is a row, so the file holds what the broker's event topic
  // carries. An open by the operator starts a new file named by its local
  // time; the file takes every event after it (the close, a lost line and
  // its reopening, a stop sent late, the link's state after the close) until
  // the operator's next open. Events before any open start a file of their
  // own, named by the first one's time.
  void record(const session::SessionEvent& event);

 private:
  AppendOnlyLog& log_;
  bool fileStarted_ = false;
  std::chrono::steady_clock::time_point openedAt_;
  LocalTimestamps times_;
};

}  // namespace pump::runlog
