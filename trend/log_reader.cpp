#include "trend/log_reader.h"

#include "runlog/log_reader.h"

namespace pump::trend {

LogLoad LoadRunLog(const std::string& path, const LoadControl& control) {
  runlog::LogReadOptions options;
  options.damagedRows = runlog::DamagedRows::RefuseFile;
  options.progress = control.progress;
  options.cancel = control.cancel;
  LogLoad load;
  load.session = std::make_unique<Session>();
  const runlog::LogRead read =
      runlog::ReadRunLog(path, options, [&load](const runlog::LogRecord& r) {
        load.session->append(Row{r.wallMs, r.utcOffsetMinutes, r.elapsedMs, r.event, r.pressure,
                                 r.flow, r.pressureLimit, r.pumpRunning, r.detail});
      });
  load.error = read.error;
  load.cancelled = read.cancelled;
  load.lastLineIncomplete = read.lastLineIncomplete;
  if (!load.error.empty() || load.cancelled) load.session.reset();
  return load;
}

}  // namespace pump::trend
