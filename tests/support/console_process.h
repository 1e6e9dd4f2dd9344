// pump-console as a child process without a window, on a pump's line and a
// test broker, for tests that drive it from the broker as a dashboard would.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace pump::testing {

// `program --headless --port device --mqtt-url url --pump-id id
// --allow-remote-control` (the last unless `allowRemoteControl` is false),
// with its home (and so its run logs) in `home`, and its standard error in
// `errorFile` when one is given.
// The process id, or -1 if it did not start.
inline pid_t StartHeadlessConsole(const std::string& program, const std::string& device,
                                  const std::string& brokerUrl, const std::string& pumpId,
                                  const std::string& home, bool allowRemoteControl = true,
                                  const std::string& errorFile = {}) {
  std::vector<std::string> args{program,     "--headless", "--port",
                                device,      "--mqtt-url", brokerUrl,
                                "--pump-id", pumpId,       "--allow-remote-control"};
  if (!allowRemoteControl) args.pop_back();
  return SpawnChild({.args = args, .setVariables = {"HOME=" + home}, .errFile = errorFile});
}

// Sends `signal`, then gives the exit status once it has ended within ten
// seconds (-1 if it did not end, or not by exiting), and in `took` how long
// that took.
inline int EndConsole(pid_t console, int signal = SIGTERM,
                      std::chrono::milliseconds* took = nullptr) {
  const auto sent = std::chrono::steady_clock::now();
  const auto status = SignalAndReap(console, signal);
  if (took) {
    *took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  sent);
  }
  return ExitCodeOf(status);
}

}  // namespace pump::testing
