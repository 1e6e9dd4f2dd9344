// The kinds of thing that happen on the console, as the run log, the trend
// and the broker name them.
#pragma once

#include <cstdint>
#include <string_view>

namespace pump {

// One byte, so the trend can keep a kind per row compactly.
enum class EventKind : std::uint8_t {
  Open,     // a port opened; detail: the device
  Reading,  // a current-pressure reply; detail: the frame as received
  Reply,    // any other valid reply; detail: the frame as received
  Command,  // a command frame written to the line; detail: the frame, or "dropped <frame> stale
            // after stop" for a waiting run or flow a stop went ahead of
  Refused,  // a setpoint the console refused; detail: the value as typed
  Link,     // link state changed; detail: LinkStateName
  Run,      // a timed-run step; detail: start, pause, continue, end, stop_due, stop_sent
  Close,    // the port or the window closed; detail: the device
  Log,      // the run log could not be written, or can again; detail: "failed <cause> <path>",
            // "recovered"
  Program,  // a program's step; detail: "start <name>", "step 2/5", "pause", "continue", "end",
            // "abort", "abort manual"
};

// The names of the event kinds in logs and on a broker: stable, ASCII.
const char* EventKindName(EventKind kind);

// The kind a log names; false, and `kind` untouched, for a name that is none.
bool EventKindFromName(std::string_view name, EventKind& kind);

}  // namespace pump
