// Serves the pump model on a pseudo-terminal: the console (or a test) opens
// the slave device as if it were a serial port with a pump on the far end.
#pragma once

#include <optional>
#include <string>

#include "sim/sim_options.h"

namespace pump::sim {

class PtyPumpServer {
 public:
  explicit PtyPumpServer(SimOptions options);
  ~PtyPumpServer();
  PtyPumpServer(const PtyPumpServer&) = delete;
  PtyPumpServer& operator=(const PtyPumpServer&) = delete;

  // Creates the pseudo-terminal in raw mode. The reason on failure.
  std::optional<std::string> openLine();
  const std::string& devicePath() const { return devicePath_; }

  // Runs until SIGINT, SIGTERM or SIGHUP, or until the hang-up time, then
  // closes the line. Those signals must be blocked by the caller beforehand;
  // they are taken here through a signal descriptor. The reason on failure.
  std::optional<std::string> serve();

 private:
  void CloseLine();
  std::optional<std::string> StreamReplies(int signals);

  SimOptions options_;
  int master_ = -1;
  int slave_ = -1;  // held open so the device stays usable between clients
  std::string devicePath_;
};

}  // namespace pump::sim
