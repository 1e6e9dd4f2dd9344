// Gathers screen changes into frames: however often something changes, the
// frame callback runs at most once per display frame, and no later than one
// frame after the first change it has not yet shown. A frame is painted when
// the thread is about to sleep anyway, so a steady stream of changes paints
// on the wake-ups it already causes; the timer only covers a change with no
// wake-up after it. With nothing changed the timer stays off.
#pragma once

#include <functional>

#include "platform/ui.h"

namespace pump::pacing {

struct FramePacing {
  // Shortest time between two frames: a 60 Hz display shows no more often.
  long long frameMicroseconds = 16'667;
  // Longest a change waits for a wake-up that paints it before the timer
  // paints it. A little over the 9.4 ms between replies at 9600 baud, so the
  // next reply's wake-up paints; and short enough that after a timer's frame
  // the second reply on comes a whole frame later and paints on its wake-up.
  long long waitMicroseconds = 11'000;
};

class FramePacer {
 public:
  // `nowMicroseconds` is a monotonic clock. The pacer owns `timer`'s tick.
  FramePacer(Timer& timer, std::function<long long()> nowMicroseconds, FramePacing pacing = {});
  FramePacer(const FramePacer&) = delete;
  FramePacer& operator=(const FramePacer&) = delete;

  // What a frame does: show everything changed since the last one.
  void setOnFrame(std::function<void()> onFrame) { onFrame_ = std::move(onFrame); }
  // Something changed that the next frame must show.
  void changed();
  // The thread has handled everything that woke it: the frame comes now if
  // the last one is a whole frame ago.
  void aboutToSleep();
  // A frame is on its way: whatever changes now is shown by it.
  bool due() const { return due_; }

 private:
  void frame();

  Timer& timer_;
  std::function<long long()> now_;
  FramePacing pacing_;
  std::function<void()> onFrame_;
  bool due_ = false;
  long long lastFrame_;
};

}  // namespace pump::pacing
