// What the program window asks of whoever runs programs, and what it shows of
// a run: the window knows nothing else of the session.
#pragma once

#include <optional>
#include <string>

#include "program/program.h"

namespace pump::program {

struct RunProgress {
  enum class State { Running, Paused };
  std::string name;
  State state = State::Running;
  int step = 1;  // 1-based
  int steps = 1;
  long secondsLeft = 0;
  long long elapsedMs = 0;  // paused time left out
};

class ProgramControls {
 public:
  virtual ~ProgramControls() = default;
  // Each answers nothing when done, or why not in the operator's words.
  virtual std::optional<std::string> start(const Program& program) = 0;
  virtual std::optional<std::string> pause() = 0;
  virtual std::optional<std::string> resume() = 0;
  virtual std::optional<std::string> abort() = 0;
  // The program running or paused now, if any.
  virtual std::optional<RunProgress> progress() const = 0;
  // The steps of that program, wherever it was started from.
  virtual std::optional<Program> runningProgram() const = 0;
};

}  // namespace pump::program
