// Two consoles under one pump id share every topic: a command meant for one
// reaches both pumps, and the one's last will marks the other offline. Each
// console names itself in its status with an instance id of its own, watches
// its own status topic, and refuses every command while another console's
// status there says it is online.
#pragma once

#include <set>
#include <string>
#include <string_view>

namespace pump::remote {

// This process's id: 16 hex digits from the system's random source, drawn
// once.
const std::string& ProcessInstanceId();

class PumpIdGuard {
 public:
  explicit PumpIdGuard(std::string ownInstance) : own_(std::move(ownInstance)) {}

  enum class Seen {
    Nothing,       // ours, known already, or not a status
    OtherOnline,   // another console publishes under our pump id
    OtherOffline,  // another console's will or last status: ours must stand again
  };

  // A status published on our own status topic. One the broker kept
  // (`retained`) may be years old and tells nothing of a console now.
  Seen onStatus(std::string_view payload, bool retained);

  // Another console is online under our pump id.
  bool conflict() const { return !others_.empty(); }

 private:
  std::string own_;
  std::set<std::string> others_;  // their instance ids; empty for one that names none
};

}  // namespace pump::remote
