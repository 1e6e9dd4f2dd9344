// Command-line options of pump-sim.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/line_faults.h"
#include "sim/pump_model.h"

namespace pump::sim {

struct SimOptions {
  PumpModelSettings pump;
  LineFaults faults;
  std::optional<double> hangupAfterSeconds;  // close the line after this long
  // After a hang-up, come back on a new line this much later (under the link name).
  std::optional<double> returnAfterSeconds;
  // A symlink kept pointing at the line in use, as udev keeps an adapter's name.
  std::string linkName;
  // Instead of answering commands: once the first byte from the console has
  // come, this many current-pressure replies back to back at the line's pace.
  std::optional<long long> streamReplies;
  // Where each stream write's CLOCK_MONOTONIC time (ns) and frame are logged.
  std::string writeLog;
  // Where every byte received from the console is appended, as it comes.
  std::string receivedLog;
};

struct ParsedSimOptions {
  std::optional<SimOptions> options;  // nothing on an error or for --help
  bool help = false;
  std::string error;
};

// The arguments after the program name. "--name value" and "--name=value" both work.
ParsedSimOptions ParseSimOptions(const std::vector<std::string_view>& args);

inline constexpr std::string_view kSimUsage =
    "usage: pump-sim [options]\n"
    "Serves a simulated metering pump on a new pseudo-terminal and prints its\n"
    "device path on the first line of output. Stop it with Ctrl+C.\n"
    "  --address N           pump address, 0..99 (default 0)\n"
    "  --baud B              line pace in baud (default 9600)\n"
    "  --seed S              seed for pressure noise and injected faults (default 1)\n"
    "  --noise               stray bytes before every reply\n"
    "  --split               every reply in two writes, 30 ms apart\n"
    "  --join                replies in pairs, two frames in one write\n"
    "  --silent              obey commands, never answer\n"
    "  --burst N             send every reply N times at the full line rate\n"
    "  --hangup-after SECS   hang up the line after SECS seconds and exit\n"
    "  --return-after SECS   with --hangup-after: come back on a new line SECS\n"
    "                        seconds after the hang-up, and serve until stopped\n"
    "  --link PATH           keep a symlink PATH pointing at the line in use, and\n"
    "                        print PATH instead of the device\n"
    "  --stream N            after the first byte received, send N pressure replies\n"
    "                        back to back at the line's pace (values cycle 00.1..09.9, 00.0)\n"
    "  --log-writes FILE     with --stream: log each write's monotonic time in ns\n"
    "  --log-received FILE   append every byte received from the console to FILE\n"
    "  --help                this text\n";

}  // namespace pump::sim
