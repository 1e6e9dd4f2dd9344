// Commands that arrive from the broker under <prefix>/cmd/<name>, read from
// their JSON payload and checked by the operator's rules before anything
// reaches the pump. Payloads are outside input: every malformed one becomes
// a refusal with a reason, never an exception.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pump::remote {

enum class CommandKind { SetFlow, SetPressureLimit, Run, Stop, TimedRun };

struct RemoteCommand {
  CommandKind kind;
  double value = 0;  // ml/min, MPa or minutes; 0 for run and stop
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
};

inline constexpr std::size_t kLargestCommandPayload = 4096;

// `name` is the last topic level ("set_flow", "run", ...).
ParsedCommand ParseCommand(std::string_view name, std::string_view payload);

// The words for the status line and the run log: "设定流量 150".
std::string DescribeCommand(const RemoteCommand& command);

// A number in its shortest exact form: 150, 2.5, 0.1.
std::string ShortNumber(double value);

}  // namespace pump::remote
