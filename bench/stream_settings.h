// The stream benchmark's command line:
//
//   stream_bench [--baud 9600] [--seconds 60] [--run-log on|off] [--mqtt-url URL]
#pragma once

#include <cstdlib>
#include <string>

namespace pump::bench {

struct StreamSettings {
  int baud = 9600;
  double seconds = 60;
  bool runLog = true;   // as the console runs for operators
  std::string mqttUrl;  // remote monitoring off when empty
};

inline StreamSettings ParseStreamArgs(int argc, char** argv) {
  StreamSettings settings;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--baud") settings.baud = std::atoi(argv[i + 1]);
    if (name == "--seconds") settings.seconds = std::atof(argv[i + 1]);
    if (name == "--run-log") settings.runLog = std::string(argv[i + 1]) != "off";
    if (name == "--mqtt-url") settings.mqttUrl = argv[i + 1];
  }
  return settings;
}

}  // namespace pump::bench
