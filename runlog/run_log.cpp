#include "runlog/run_log.h"

#include "runlog/local_time.h"
#include "runlog/log_row.h"

namespace pump::runlog {

using console::EventKind;

void RunLog::follow(console::ConsoleEventFeed& feed) {
  feed.subscribe([this](const console::ConsoleEvent& event) { record(event); });
}

void RunLog::record(const console::ConsoleEvent& event) {
  if (event.kind == EventKind::Open) {
    log_.startFile(LogFileName(event.wallTime), HeaderLine());
    open_ = true;
    openedAt_ = event.monotonicTime;
  }
  if (!open_) return;
  log_.append(LogRow(event, openedAt_, times_));
  if (event.kind == EventKind::Close) {
    log_.endFile();
    open_ = false;
  }
}

}  // namespace pump::runlog
