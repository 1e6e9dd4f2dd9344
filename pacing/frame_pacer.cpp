#include "pacing/frame_pacer.h"

#include <algorithm>

namespace pump::pacing {

FramePacer::FramePacer(Timer& timer, std::function<long long()> nowMilliseconds, FramePacing pacing)
    : timer_(timer),
      now_(std::move(nowMilliseconds)),
      pacing_(pacing),
      lastFrame_(now_() - pacing.frameMilliseconds) {
  timer_.setEnabled(false);
  timer_.setOnTick([this] { frame(); });
}

void FramePacer::changed() {
  if (due_) return;  // the frame already on its way shows this too
  due_ = true;
  const long long now = now_();
  const long long at =
      std::max(now + pacing_.waitMilliseconds, lastFrame_ + pacing_.frameMilliseconds);
  timer_.setInterval(static_cast<int>(at - now));
  timer_.setEnabled(true);
}

void FramePacer::aboutToSleep() {
  if (due_ && now_() - lastFrame_ >= pacing_.frameMilliseconds) frame();
}

void FramePacer::frame() {
  timer_.setEnabled(false);
  due_ = false;
  lastFrame_ = now_();
  // A change made while the frame paints asks for a frame of its own.
  if (onFrame_) onFrame_();
}

}  // namespace pump::pacing
