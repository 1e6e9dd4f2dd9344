// Gathers screen changes into frames: however often something changes, the
// frame callback runs at most once per display frame, and no later than one
// frame after the first change it has not yet shown. With nothing changed the
// timer stays off, so an idle window does not wake.
#pragma once

#include <functional>

#include "platform/ui.h"

namespace pump::pacing {

struct FramePacing {
  // Shortest time between two frames: a 60 Hz display shows no more often.
  int frameMilliseconds = 17;
  // How long a first change waits for others to join it before its frame.
  int gatherMilliseconds = 15;
};

class FramePacer {
 public:
  // `nowMilliseconds` is a monotonic clock. The pacer owns `timer`'s tick.
  FramePacer(Timer& timer, std::function<long long()> nowMilliseconds, FramePacing pacing = {});
  FramePacer(const FramePacer&) = delete;
  FramePacer& operator=(const FramePacer&) = delete;

  // What a frame does: show everything changed since the last one.
  void setOnFrame(std::function<void()> onFrame) { onFrame_ = std::move(onFrame); }
  // Something changed that the next frame must show.
  void changed();
  bool frameDue() const { return due_; }

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
