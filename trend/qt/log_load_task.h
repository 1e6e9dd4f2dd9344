// A run log read on a thread of its own, so that neither the console nor its
// windows wait on the disk or on parsing millions of rows. Progress and the
// end are reported on the thread that started it.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <thread>

#include "trend/log_reader.h"

namespace pump::trend::qt {

class LogLoadTask : public QObject {
  Q_OBJECT

 public:
  explicit LogLoadTask(const QString& path, QObject* parent = nullptr);
  // Stops the load and waits for its thread, which ends at its next block.
  ~LogLoadTask() override;

  // The load ends soon after, with `cancelled` set.
  void cancel() { cancel_ = true; }
  // What was loaded; once `finished` has been emitted.
  LogLoad takeResult() { return std::move(result_); }

 signals:
  void progressed(int permille);
  void finished();

 private:
  void run(const std::string& path);

  std::atomic<bool> cancel_{false};
  int lastPermille_ = -1;  // the loading thread's own
  LogLoad result_;
  std::thread thread_;
};

}  // namespace pump::trend::qt
