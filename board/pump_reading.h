// What one pump's console last told the broker, read from its JSON messages.
// Payloads are outside input: anything malformed is ignored, never thrown.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pump::board {

// A program the console runs: its "program" status, null when none runs.
struct ProgramReading {
  std::string name;
  std::string state;  // "running", "paused"
  long step = 0;
  long steps = 0;
  std::optional<long> secondsLeft;
  bool operator==(const ProgramReading&) const = default;
};

// A field no message has carried yet is unknown (empty), never a default: a
// board that first hears of a pump through its last will knows only that it
// is offline.
struct PumpReading {
  std::optional<bool> online;
  std::optional<std::string> link;
  std::optional<bool> running;  // "pump": "RUN"
  std::optional<double> flow;
  std::optional<double> limit;
  std::optional<double> pressure;
  std::optional<std::string> runState;
  std::optional<long> secondsLeft;
  std::optional<ProgramReading> program;
  bool remoteControl = false;  // only a console that says so takes commands

  bool offline() const { return online == false; }
  bool takesCommands() const { return online == true && remoteControl; }
};

// Applies a `status` payload (full, or the last will) to `reading`; false if
// the payload is not a JSON object. Keys that are missing or of the wrong
// kind leave what was there.
bool ApplyStatus(std::string_view payload, PumpReading& reading);

// The pressure of a `pressure` payload, if it carries a finite one.
std::optional<double> ReadPressure(std::string_view payload);

// A `cmd/result` payload: the request id as text, ok, and the error if any.
struct CommandResult {
  std::string requestId;
  bool ok = false;
  std::string error;
};
std::optional<CommandResult> ReadCommandResult(std::string_view payload);

// The link states in which the pump is not answering its console.
bool LinkNotAnswering(const std::optional<std::string>& link);

}  // namespace pump::board
