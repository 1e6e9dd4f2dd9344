#include "board/qt/gathering_poster.h"

#include <QMetaObject>
#include <QTimer>

namespace pump::board::qt {

void GatheringPoster::add(std::function<void()> task) {
  bool first = false;
  {
    std::lock_guard lock(mutex_);
    first = waiting_.empty();
    waiting_.push_back(std::move(task));
  }
  if (!first) return;
  QMetaObject::invokeMethod(
      this, [this] { QTimer::singleShot(gather_, this, [this] { runGathered(); }); },
      Qt::QueuedConnection);
}

void GatheringPoster::runGathered() {
  std::vector<std::function<void()>> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(waiting_);
  }
  for (auto& task : batch) task();
}

}  // namespace pump::board::qt
