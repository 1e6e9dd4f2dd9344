// A program: a name and a list of steps the console runs unattended. Each
// step holds or ramps the flow for a number of seconds under one pressure
// limit. Plain values with their units in the names; no toolkit.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace pump::program {

inline constexpr int kMaxSteps = 999;
inline constexpr long kMaxTotalSeconds = 100L * 3600;
inline constexpr int kMaxFlowMlPerMinute = 200;
inline constexpr int kMaxPressureLimitTenths = 50;  // 5.0 MPa

struct Step {
  long seconds = 1;             // at least 1
  int flowStartMlMin = 0;       // whole ml/min, 0 to 200
  int flowEndMlMin = 0;         // equal to the start: a hold; else a linear ramp
  int pressureLimitTenths = 0;  // tenths of a MPa, 0 to 50

  bool ramps() const { return flowStartMlMin != flowEndMlMin; }
  bool operator==(const Step&) const = default;
};

struct Program {
  std::string name;
  std::vector<Step> steps;

  long totalSeconds() const;
  // The flow the schedule asks for `elapsedMs` into the program (paused time
  // left out), unrounded: a ramp is linear from its start flow to its end flow.
  double plannedFlowAt(long long elapsedMs) const;
  // The step `elapsedMs` falls in (0-based); steps.size() once it has ended.
  std::size_t stepAt(long long elapsedMs) const;
  // What the program pumps if it runs to its end, in ml (ramps as trapezoids).
  double volumeMl() const;
  bool operator==(const Program&) const = default;
};

// Why a program was refused: the first fault, naming the step (1-based, 0
// for the program as a whole) and the field, in words an operator reads.
struct Fault {
  int step = 0;
  std::string field;
  std::string message;
};

// The first fault of a program built in memory (an editor, the broker), or
// nothing when it may run.
std::optional<Fault> FirstFault(const Program& program);

// A program file or a broker payload: UTF-8 JSON of the shape
// {"version":1,"name":"…","steps":[{"seconds":60,"flow_start":0,"flow_end":50,"pressure_limit":3.0},…]}.
// Unknown keys are ignored. Anything else is refused whole with its first fault.
std::variant<Program, Fault> ReadProgram(std::string_view json);
// The same shape, for a file or a message.
std::string WriteProgram(const Program& program);

}  // namespace pump::program
