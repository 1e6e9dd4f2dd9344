// A console stand-in on a broker: takes the console's remote options, opens a
// port named by --port (as an event only), publishes its status and runs
// until SIGTERM, when it leaves the broker cleanly. Killed with SIGKILL, it
// leaves the broker its last will.
#include <getopt.h>

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "remote/command_line.h"
#include "remote/mosquitto_connection.h"
#include "remote/remote_station.h"
#include "tests/remote/far_end.h"
#include "tests/support/pump_states.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

class NoPump : public pump::session::PumpCommands {
 public:
  using Result = pump::session::CommandResult;
  Result setFlow(double) override { return Result::Refused("no pump"); }
  Result setPressureLimit(double) override { return Result::Refused("no pump"); }
  Result run() override { return Result::Refused("no pump"); }
  Result stop() override { return Result::Refused("no pump"); }
  Result timedRun(double) override { return Result::Refused("no pump"); }
  std::optional<double> timedRunSecondsLeft() const override { return std::nullopt; }
  Result startProgram(const pump::program::Program&) override { return Result::Refused("no pump"); }
  Result pauseProgram() override { return Result::Refused("no pump"); }
  Result continueProgram() override { return Result::Refused("no pump"); }
  Result abortProgram() override { return Result::Refused("no pump"); }
};

// The console's own options, read with getopt: the stand-in links no toolkit.
std::optional<pump::remote::CommandLine> ReadOptions(int argc, char** argv) {
  const auto options = pump::remote::ConsoleOptions();
  std::vector<option> table;
  for (const auto& known : options) {
    table.push_back(
        {known.name.data(), known.valueName.empty() ? no_argument : required_argument, nullptr, 0});
  }
  table.push_back({});
  pump::remote::CommandLine line;
  int found = 0;
  int index = 0;
  while ((found = ::getopt_long(argc, argv, "", table.data(), &index)) == 0) {
    pump::remote::SetOption(line, options[index].name, optarg ? optarg : "");
  }
  if (found != -1 || optind != argc) return std::nullopt;
  return line;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace pump::remote;
  const auto line = ReadOptions(argc, argv);
  if (!line) return 2;
  const auto applied = ApplyOverrides({}, line->remote);
  if (applied.error) {
    std::fprintf(stderr, "%s\n", applied.error->c_str());
    return 2;
  }
  std::signal(SIGTERM, [](int) { stopRequested = 1; });

  testing::WindowThread window;
  MosquittoConnection connection(applied.settings,
                                 [&window](std::function<void()> task) { window.post(task); });
  NoPump pump;
  RemoteStation station(applied.settings, connection, pump, {}, pump::session::PumpState{});
  station.start();
  if (line->port) {
    pump::session::PumpState opened;
    opened.port = *line->port;
    station.onSessionEvent({pump::EventKind::Open, *line->port, opened,
                            std::chrono::system_clock::now(), std::chrono::steady_clock::now()});
  }
  while (!stopRequested) window.runFor(std::chrono::milliseconds(50));
  station.stop();
  return 0;
}
