// pump-sim: a simulated metering pump on a pseudo-terminal, for trying the
// console without hardware and for end-to-end tests.
#include <signal.h>

#include <cstdio>
#include <iostream>

#include "sim/pty_pump_server.h"
#include "sim/sim_options.h"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + 1, argv + argc);
  const auto parsed = pump::sim::ParseSimOptions(args);
  if (parsed.help) {
    std::cout << pump::sim::kSimUsage;
    return 0;
  }
  if (!parsed.options) {
    std::cerr << "pump-sim: " << parsed.error << "\n" << pump::sim::kSimUsage;
    return 2;
  }

  // Stop signals are taken by the server's poll loop, not by a handler.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  sigprocmask(SIG_BLOCK, &stopSignals, nullptr);

  pump::sim::PtyPumpServer server(*parsed.options);
  if (const auto error = server.openLine()) {
    std::cerr << "pump-sim: " << *error << "\n";
    return 1;
  }
  std::cout << server.devicePath() << std::endl;
  if (const auto error = server.serve()) {
    std::cerr << "pump-sim: " << *error << "\n";
    return 1;
  }
  return 0;
}
