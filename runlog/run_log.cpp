#include "runlog/run_log.h"

#include "runlog/local_time.h"
#include "runlog/log_row.h"

namespace pump::runlog {

void RunLog::follow(session::EventFeed& feed) {
  feed.subscribe([this](const session::SessionEvent& event) { record(event); });
}

void RunLog::record(const session::SessionEvent& event) {
  if (!fileStarted_ || session::StartsConnection(event)) {
    log_.startFile(LogFileName(event.wallTime), HeaderLine());
    fileStarted_ = true;
    openedAt_ = event.monotonicTime;
  }
  log_.append(LogRow(event, openedAt_, times_));
}

}  // namespace pump::runlog
