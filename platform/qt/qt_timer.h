// Timer on a QTimer: ticks arrive on the Qt event thread.
#pragma once

#include <QTimer>
#include <algorithm>

#include "platform/ui.h"

namespace pump::qt {

class QtTimer : public Timer {
 public:
  QtTimer();
  void setInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
  int remainingMs() const override { return std::max(0, timer_.remainingTime()); }
  int interval() const override { return timer_.interval(); }
  void setEnabled(bool enabled) override;
  bool enabled() const override { return timer_.isActive(); }
  void setOnTick(std::function<void()> onTick) override { onTick_ = std::move(onTick); }

 private:
  QTimer timer_;
  std::function<void()> onTick_;
};

}  // namespace pump::qt
