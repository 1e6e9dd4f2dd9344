// The timed run: runs the pump for a set number of minutes with an
// hours/minutes/seconds clock, with pause, continue and end.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include "link/command_sender.h"
#include "platform/ui.h"
#include "vocabulary/monotonic_clock.h"

namespace pump::timedrun {

// The run clock as a view shows it: shown or hidden, and the whole seconds run.
struct ClockChange {
  std::optional<bool> shown;
  std::optional<long> elapsedSeconds;
};
using ClockListener = std::function<void(const ClockChange&)>;

// A step of the run, as the event feed names it.
using StepListener = std::function<void(const char* step)>;

// None of the actions looks at the state of the run before acting: each does
// its steps whatever the run is doing, so "continue" after "end" runs the pump
// again and "start" restarts a run that is going.
//
// The run's time is counted on a monotonic clock, not in ticks: a window held
// up for seconds does not lengthen the run. Ticks only show the time and send
// the stop at the first tick at or after the set length. A pause is not counted.
class RunTimer {
 public:
  RunTimer(Timer& clockTimer, const MonotonicClock& time, link::CommandSender& sender)
      : clockTimer_(clockTimer), time_(time), sender_(sender) {}

  void setLength(double minutes) { lengthMinutes_ = minutes; }
  // Each says what became of the run or stop it sent: a run that could not
  // go out starts or continues nothing.
  link::Handed start();
  link::Handed pause();
  link::Handed resume();
  link::Handed end();
  // One second of the run has passed.
  void tick();

  // A run is being timed.
  bool timing() const { return clockTimer_.enabled(); }

  void setOnStep(StepListener onStep) { onStep_ = std::move(onStep); }
  void setOnClock(ClockListener onClock) { onClock_ = std::move(onClock); }

  // Seconds until the run's end falls due, while the run is being timed.
  std::optional<double> secondsLeft() const {
    if (!clockTimer_.enabled()) return std::nullopt;
    return lengthMinutes_ * 60.0 - std::chrono::duration<double>(elapsed()).count();
  }

 private:
  link::Handed send(const link::PumpCommand& command);
  void showClock(bool visible);
  void startCounting();
  void stopCounting();
  std::chrono::steady_clock::duration elapsed() const;
  void step(const char* name) {
    if (onStep_) onStep_(name);
  }

  Timer& clockTimer_;
  const MonotonicClock& time_;
  link::CommandSender& sender_;
  StepListener onStep_;
  ClockListener onClock_;
  // The run's time before the present stretch, and when that stretch began.
  std::chrono::steady_clock::duration counted_{};
  std::chrono::steady_clock::time_point stretchStart_{};
  bool counting_ = false;
  double lengthMinutes_ = 0;
  // True while a command of ours is being written. Should a failed write
  // show a modal box, its event loop keeps ticking the clock; such a tick
  // must not send and open a second box on top of the first.
  bool sending_ = false;
  bool stopAnnounced_ = false;  // "stop_due" is told once per run, however many tries
};

}  // namespace pump::timedrun
