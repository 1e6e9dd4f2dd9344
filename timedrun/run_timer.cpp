#include "timedrun/run_timer.h"

#include <string>

namespace pump::timedrun {

// A run command that could not go out started nothing, so nothing is timed.
link::Handed RunTimer::start() {
  counted_ = {};
  stopAnnounced_ = false;
  startCounting();
  const link::Handed handed = send(link::PumpCommand::Run());
  if (handed != link::Handed::Sent) {
    stopCounting();
    return handed;
  }
  showClock(true);
  step("start");
  return handed;
}

link::Handed RunTimer::pause() {
  stopCounting();
  const link::Handed handed = send(link::PumpCommand::Stop());
  if (handed == link::Handed::Sent) step("pause");
  return handed;
}

link::Handed RunTimer::resume() {
  stopAnnounced_ = false;
  startCounting();
  const link::Handed handed = send(link::PumpCommand::Run());
  if (handed != link::Handed::Sent) {
    stopCounting();
    return handed;
  }
  step("continue");
  return handed;
}

link::Handed RunTimer::end() {
  lengthMinutes_ = 0;
  stopCounting();
  const link::Handed handed = send(link::PumpCommand::Stop());
  if (handed != link::Handed::Sent) return handed;
  showClock(false);
  step("end");
  return handed;
}

void RunTimer::tick() {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(elapsed()).count();
  if (onClock_) onClock_({std::nullopt, static_cast<long>(seconds)});

  // A length of zero or less stops at the first tick; a fractional one at the
  // first tick not below it. The length may have changed mid-run.
  if (lengthMinutes_ * 60.0 > std::chrono::duration<double>(elapsed()).count()) return;
  if (sending_) return;  // the stop goes out on the first tick after the box closes
  if (!stopAnnounced_) step("stop_due");
  stopAnnounced_ = true;
  const link::Handed handed = send(link::PumpCommand::Stop());
  if (handed == link::Handed::Failed) return;  // not stopped: the next tick tries again
  stopCounting();
  counted_ = {};
  // A kept stop is told as sent when it reaches the line.
  if (handed == link::Handed::Sent) step("stop_sent");
}

void RunTimer::startCounting() {
  stretchStart_ = time_.monotonicNow();
  counting_ = true;
  clockTimer_.setEnabled(true);
}

void RunTimer::stopCounting() {
  counted_ = elapsed();
  counting_ = false;
  clockTimer_.setEnabled(false);
}

std::chrono::steady_clock::duration RunTimer::elapsed() const {
  return counting_ ? counted_ + (time_.monotonicNow() - stretchStart_) : counted_;
}

link::Handed RunTimer::send(const link::PumpCommand& command) {
  sending_ = true;
  const link::Handed handed = sender_.send(command);
  sending_ = false;
  return handed;
}

void RunTimer::showClock(bool visible) {
  if (onClock_) onClock_({visible, std::nullopt});
}

}  // namespace pump::timedrun
