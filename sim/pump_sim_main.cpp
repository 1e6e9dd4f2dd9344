// pump-sim: a simulated metering pump on a pseudo-terminal, for trying the
// console without hardware and for end-to-end tests.
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

#include "sim/pty_pump_server.h"
#include "sim/sim_options.h"

namespace {

// Points the link at the device, replacing what it pointed at in one step.
bool PointLink(const std::string& link, const std::string& device) {
  const std::string fresh = link + ".new";
  ::unlink(fresh.c_str());
  return ::symlink(device.c_str(), fresh.c_str()) == 0 &&
         ::rename(fresh.c_str(), link.c_str()) == 0;
}

std::string Shown(const pump::sim::SimOptions& options, const std::string& device) {
  return options.linkName.empty() ? device : options.linkName;
}

// The server returned because its hang-up time came, not for a stop signal.
bool HungUp(const pump::sim::SimOptions& options, std::chrono::steady_clock::time_point started) {
  if (!options.hangupAfterSeconds) return false;
  const std::chrono::duration<double> ran = std::chrono::steady_clock::now() - started;
  return ran.count() >= *options.hangupAfterSeconds;
}

}  // namespace

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

  pump::sim::SimOptions options = *parsed.options;
  bool first = true;
  while (true) {
    pump::sim::PtyPumpServer server(options);
    if (const auto error = server.openLine()) {
      std::cerr << "pump-sim: " << *error << "\n";
      return 1;
    }
    if (!options.linkName.empty() && !PointLink(options.linkName, server.devicePath())) {
      std::cerr << "pump-sim: cannot point " << options.linkName << " at the line\n";
      return 1;
    }
    if (first) std::cout << Shown(options, server.devicePath()) << std::endl;
    first = false;
    const auto started = std::chrono::steady_clock::now();
    if (const auto error = server.serve()) {
      std::cerr << "pump-sim: " << *error << "\n";
      return 1;
    }
    if (!HungUp(options, started) || !options.returnAfterSeconds) return 0;
    // The adapter is away, then back under the same link name, and stays.
    std::this_thread::sleep_for(std::chrono::duration<double>(*options.returnAfterSeconds));
    options.hangupAfterSeconds.reset();
  }
}
