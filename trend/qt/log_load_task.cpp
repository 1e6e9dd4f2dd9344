#include "trend/qt/log_load_task.h"

#include <QFile>
#include <QMetaObject>
#include <algorithm>

namespace pump::trend::qt {

LogLoadTask::LogLoadTask(const QString& path, QObject* parent) : QObject(parent) {
  thread_ = std::thread(&LogLoadTask::run, this, QFile::encodeName(path).toStdString());
}

LogLoadTask::~LogLoadTask() {
  cancel();
  if (thread_.joinable()) thread_.join();
}

// Calls posted to this object are dropped if it goes first, so they may
// name it safely.
void LogLoadTask::run(const std::string& path) {
  LoadControl control;
  control.cancel = &cancel_;
  control.progress = [this](std::uint64_t read, std::uint64_t size) {
    const int permille = size == 0 ? 1000 : static_cast<int>(std::min(read, size) * 1000 / size);
    if (permille == lastPermille_) return;
    lastPermille_ = permille;
    QMetaObject::invokeMethod(
        this, [this, permille] { emit progressed(permille); }, Qt::QueuedConnection);
  };
  result_ = LoadRunLog(path, control);
  QMetaObject::invokeMethod(
      this,
      [this] {
        thread_.join();
        emit finished();
      },
      Qt::QueuedConnection);
}

}  // namespace pump::trend::qt
