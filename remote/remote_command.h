// Commands that arrive from the broker under <prefix>/cmd/<name>, read from
// their JSON payload and checked by the operator's rules before anything
// reaches the pump. Payloads are outside input: every malformed one becomes
// a refusal with a reason, never an exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "program/program.h"

namespace pump::remote {

enum class CommandKind {
  SetFlow,
  SetPressureLimit,
  Run,
  Stop,
  TimedRun,
  RunProgram,
  PauseProgram,
  ContinueProgram,
  AbortProgram,
};

// The group a program's part belongs to: its id and every member's pump id.
struct GroupMembership {
  std::string id;
  std::vector<std::string> members;
  bool operator==(const GroupMembership&) const = default;
};

struct RemoteCommand {
  CommandKind kind;
  double value = 0;                              // ml/min, MPa or minutes; 0 for the others
  std::optional<program::Program> program = {};  // for run_program: checked, with no fault
  // For run_program and continue_program: when to start, in ms since the
  // epoch (UTC); nothing for at once.
  std::optional<std::int64_t> startAtUtcMs = {};
  std::optional<GroupMembership> group = {};  // for run_program: the group it runs in
};

// The request id as it came: echoed back in the same JSON form, and shown as text.
struct RequestId {
  std::string json = "null";  // the id's JSON text: "\"abc\"", "17" or null
  std::string text;           // the id for people and the run log; empty if none
};

struct ParsedCommand {
  RequestId requestId;
  std::optional<RemoteCommand> command;
  std::string refusal;  // why there is no command; ASCII
  std::string given;    // the value as it came, as JSON text (ASCII); empty if none
};

inline constexpr std::size_t kLargestCommandPayload = 4096;

namespace sizes {

constexpr std::size_t Digits(long value) { return value < 10 ? 1 : 1 + Digits(value / 10); }

// The most a valid step can take in a run_program payload: each field at its
// longest value, on a line of its own at four spaces an indent, three levels
// down (command, program, steps), with CR LF line ends.
constexpr std::size_t LongestStepText() {
  constexpr std::size_t indent = 4 * 3, lineEnd = 2;
  constexpr std::string_view keys[] = {"seconds", "flow_start", "flow_end", "pressure_limit"};
  constexpr std::size_t values[] = {
      Digits(program::kMaxTotalSeconds), Digits(program::kMaxFlowMlPerMinute),
      Digits(program::kMaxFlowMlPerMinute), Digits(program::kMaxPressureLimitTenths) + 1};  // "5.0"
  std::size_t size = 2 * (indent + sizeof "}," - 1 + lineEnd);  // { and },
  for (std::size_t i = 0; i < 4; ++i) {
    size += indent + 4 + keys[i].size() + sizeof "\"\": ," - 1 + values[i] + lineEnd;
  }
  return size;
}

}  // namespace sizes

// The largest valid program, with the room any command has for its request
// id, the program's name and whatever else it carries.
inline constexpr std::size_t kLargestProgramPayload =
    kLargestCommandPayload + program::kMaxSteps * sizes::LongestStepText();

// `name` is the last topic level ("set_flow", "run", ...).
ParsedCommand ParseCommand(std::string_view name, std::string_view payload);

// The words for the status line and the run log: "设定流量 150".
std::string DescribeCommand(const RemoteCommand& command);

// A number in its shortest exact form: 150, 2.5, 0.1.
std::string ShortNumber(double value);

// The run log's detail for a command from the broker, printable ASCII:
// "remote set_flow 150 request_id=abc", with " error=<why>" when refused.
// Topic level, value and id are outside input: each is kept to one word of
// printable ASCII ('?' for any other byte) and cut short if long.
std::string CommandLogDetail(std::string_view name, const ParsedCommand& parsed, bool ok,
                             std::string_view why);

}  // namespace pump::remote
