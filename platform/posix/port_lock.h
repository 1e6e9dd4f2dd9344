// The lock files serial programs take on a port while they hold it: one file
// per device in the system's lock folder ("LCK..ttyUSB0"), holding the
// owner's process id. A program killed while holding a port leaves its file
// behind; another user cannot remove it and is refused the port.
#pragma once

#include <optional>
#include <string>

namespace pump::posix {

struct PortLock {
  std::string path;        // the lock file
  long owner = 0;          // its owner's process id; 0 when the file does not say
  bool ownerGone = false;  // no process with that id exists any more
};

// The lock file's name for a device: "/dev/ttyUSB0" -> "LCK..ttyUSB0",
// "/dev/pts/3" -> "LCK..pts_3", "/tmp/pump" -> "LCK.._tmp_pump".
std::string PortLockName(const std::string& device);

// The folder serial ports are locked in: the first of the usual ones that
// this user may write, with links resolved ("/var/lock" -> "/run/lock").
// Empty when there is none.
std::string PortLockFolder();

// The lock on the device in `folder`, if there is one.
std::optional<PortLock> FindPortLock(const std::string& device, const std::string& folder);

}  // namespace pump::posix
