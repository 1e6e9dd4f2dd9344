// A pump line on a recording port and scripted timers, with everything it
// told: the replies, the line failures, each "not reading" notice and each
// frame a stop made stale.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "link/pump_line.h"
#include "tests/support/console_harness.h"

namespace pump::testing {

struct PumpLineRig {
  ScriptedClock clock;
  ManualTimer pollTimer{clock};
  ManualTimer watchTimer{clock};
  ScriptedEventClock time{clock};
  RecordingSerialPort port;
  std::optional<std::string> stableName;  // what the adapter's stable name lookup finds
  link::PumpLine line{
      {port, pollTimer, watchTimer, time, [this](const std::string&) { return stableName; }}};
  std::vector<std::string> replies;
  std::vector<link::LineFailure> failures;
  int notReadingTold = 0;
  std::vector<std::string> stale;

  PumpLineRig() {
    line.setOnReply([this](const link::PumpReply& reply) { replies.push_back(reply.frame); });
    line.setOnFailure([this](const link::LineFailure& failure) { failures.push_back(failure); });
    line.setOnNotReading([this] { ++notReadingTold; });
    line.setOnStale([this](const std::string& frame) { stale.push_back(frame); });
  }
};

}  // namespace pump::testing
