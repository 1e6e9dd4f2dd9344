#include "pacing/frame_pacer.h"

#include <algorithm>

namespace pump::pacing {

FramePacer::FramePacer(Timer& timer, std::function<long long()> nowMicroseconds, FramePacing pacing)
    : timer_(timer),
      now_(std::move(nowMicroseconds)),
      pacing_(pacing),
      lastFrame_(now_() - pacing.frameMicroseconds) {
  timer_.setEnabled(false);
  timer_.setOnTick([this] { frame(); });
}

void FramePacer::changed() {
  if (due_) return;  // the frame already on its way shows this too
  due_ = true;
  const long long now = now_();
  const long long at =
      std::max(now + pacing_.waitMicroseconds, lastFrame_ + pacing_.frameMicroseconds);
  // The timer counts whole milliseconds: rounded up, it never comes early.
  timer_.setInterval(static_cast<int>((at - now + 999) / 1000));
  timer_.setEnabled(true);
}

void FramePacer::aboutToSleep() {
  if (due_ && now_() - lastFrame_ >= pacing_.frameMicroseconds) frame();
}

void FramePacer::frame() {
  timer_.setEnabled(false);
  due_ = false;
  lastFrame_ = now_();
  // A change made while the frame paints asks for a frame of its own.
  if (onFrame_) onFrame_();
}

}  // namespace pump::pacing
