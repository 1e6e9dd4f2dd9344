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
      runlog::ReadRunLog(path, options, [&load](const Row& row) { load.session->append(row); });
  load.error = read.error;
  load.cancelled = read.cancelled;
  load.lastLineIncomplete = read.lastLineIncomplete;
  if (!load.error.empty() || load.cancelled) load.session.reset();
  return load;
}

}  // namespace pump::trend
