#include "platform/posix/port_lock.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <fstream>

namespace pump::posix {
namespace {

// Where Qt's serial port (and the UUCP tools before it) look, in its order.
constexpr std::array kLockFolders = {"/var/lock",         "/etc/locks", "/var/spool/locks",
                                     "/var/spool/uucp",   "/tmp",       "/var/tmp",
                                     "/var/lock/lockdev", "/run/lock"};

// The first line holds the process id, in decimal, perhaps padded with
// spaces ("      1234" in the old ten-column form).
long OwnerIn(const std::string& path) {
  std::ifstream file(path);
  std::string line;
  if (!file || !std::getline(file, line)) return 0;
  const auto start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return 0;
  long pid = 0;
  const char* first = line.data() + start;
  const char* last = line.data() + line.size();
  const auto [end, error] = std::from_chars(first, last, pid);
  if (error != std::errc{} || pid <= 0) return 0;
  for (const char* rest = end; rest != last; ++rest) {
    if (*rest != ' ' && *rest != '\t' && *rest != '\r') return 0;
  }
  return pid;
}

// A process of another user answers EPERM: it exists all the same.
bool ProcessGone(long pid) { return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

}  // namespace

std::string PortLockName(const std::string& device) {
  std::string name = device.rfind("/dev/", 0) == 0 ? device.substr(5) : device;
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return "LCK.." + name;
}

std::string PortLockFolder() {
  for (const char* folder : kLockFolders) {
    if (::access(folder, R_OK | W_OK) != 0) continue;
    char* real = ::realpath(folder, nullptr);
    std::string resolved = real ? real : folder;
    ::free(real);
    return resolved;
  }
  return {};
}

std::optional<PortLock> FindPortLock(const std::string& device, const std::string& folder) {
  if (folder.empty()) return std::nullopt;
  PortLock lock;
  lock.path = folder + "/" + PortLockName(device);
  if (::access(lock.path.c_str(), F_OK) != 0) return std::nullopt;
  lock.owner = OwnerIn(lock.path);
  lock.ownerGone = lock.owner > 0 && ProcessGone(lock.owner);
  return lock;
}

}  // namespace pump::posix
