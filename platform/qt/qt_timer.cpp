#include "platform/qt/qt_timer.h"

namespace pump::qt {

QtTimer::QtTimer() {
  // A precise timer keeps the poll and the run clock on the whole second.
  timer_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (onTick_) onTick_();
  });
}

void QtTimer::setEnabled(bool enabled) {
  if (enabled && !timer_.isActive()) timer_.start();
  if (!enabled) timer_.stop();
}

}  // namespace pump::qt
