// Runs a program: sends its limits, flows, run and stop at the times its
// steps set, with pause, continue and abort. Time is the program's own,
// counted on the monotonic clock from its start with paused time left out;
// every tick works out what is due from the schedule, so late or early ticks
// never add up to drift.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "link/pump_command.h"
#include "platform/ui.h"
#include "program/program.h"
#include "session/pump_state.h"
#include "vocabulary/monotonic_clock.h"

namespace pump::session {

// Where a running program's commands and steps go.
class ProgramSink {
 public:
  virtual ~ProgramSink() = default;
  // False when the command could not go out (nor be kept for the line).
  virtual bool sendForProgram(const link::PumpCommand& command) = 0;
  // A step of the program happened: "start <name>", "step 2/5", "pause",
  // "continue", "end", "abort".
  virtual void programStep(const std::string& detail) = 0;
};

class ProgramRunner {
 public:
  ProgramRunner(Timer& tickTimer, const MonotonicClock& time, ProgramSink& sink);

  // The program must have no fault. Sends the first step's limit, its start
  // flow, then RUN.
  void start(program::Program program);
  // STOP, and the program's clock halts.
  void pause();
  // The current step's limit and the flow due now, then RUN; the clock goes on.
  void resume();
  // STOP, and the program ends. `detail` names why in the feed.
  void abort(const std::string& detail = "abort");
  void tick();

  bool active() const { return program_.has_value(); }
  bool paused() const { return active() && !counting_; }
  const program::Program* program() const { return program_ ? &*program_ : nullptr; }
  std::optional<ProgramProgress> progress() const;

 private:
  long long elapsedMs() const;
  void runSecond(long second, bool latest);
  void beginStep(std::size_t index);
  bool sendLimit(int tenths);
  bool sendFlow(int mlPerMinute);
  bool send(const link::PumpCommand& command);
  void finish(const std::string& detail);
  void scheduleNextTick();
  void told(const std::string& detail) { sink_.programStep(detail); }

  Timer& timer_;
  const MonotonicClock& time_;
  ProgramSink& sink_;
  std::optional<program::Program> program_;
  std::chrono::steady_clock::duration counted_{};  // time run before the present stretch
  std::chrono::steady_clock::time_point stretchStart_{};
  bool counting_ = false;
  long secondsDone_ = 0;  // the last whole second of program time dealt with
  std::optional<int> lastFlow_;
  std::optional<int> lastLimitTenths_;
  bool failed_ = false;  // a command of this tick could not go out
};

// The whole ml/min a ramp has reached `second` seconds into `step`, rounded
// half up; exact, with no floating point.
int RampFlowAt(const program::Step& step, long second);

}  // namespace pump::session
