// The serial ports the system lists now, and the port-box answer that opened
// a port last. The console lists the first in its port box and offers the
// second as the box's default.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pump {

// A serial port as the system lists it: its device path and what its adapter
// calls itself ("FT232R USB UART"); the description is empty when it says nothing.
struct FoundPort {
  std::string path;
  std::string description;
};

class PortFinder {
 public:
  virtual ~PortFinder() = default;
  virtual std::vector<FoundPort> availablePorts() const = 0;
};

// Kept in the user's configuration, so it outlives the program.
class LastPortMemory {
 public:
  virtual ~LastPortMemory() = default;
  // Nothing when no port was ever opened.
  virtual std::optional<std::string> recall() const = 0;
  virtual void remember(const std::string& answer) = 0;
};

}  // namespace pump
