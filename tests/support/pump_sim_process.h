// pump-sim as a child process, and the console's end of its line, for
// end-to-end tests over a real pseudo-terminal. Link `pump_sim_process`.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pump::testing {

class PumpSimProcess {
 public:
  // Starts pump-sim with the given options ("--split", "--burst", "3", ...)
  // and waits up to five seconds for the device path it prints.
  explicit PumpSimProcess(const std::vector<std::string>& options = {});
  ~PumpSimProcess();
  PumpSimProcess(const PumpSimProcess&) = delete;
  PumpSimProcess& operator=(const PumpSimProcess&) = delete;

  // The pseudo-terminal to open as the serial port; empty if it did not start.
  const std::string& devicePath() const { return devicePath_; }
  // The exit status once the process has ended within the time, else nothing.
  std::optional<int> waitForExit(int timeoutMs);
  // Asks it to stop (SIGTERM) and returns its exit status.
  std::optional<int> stop(int timeoutMs = 5000);

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::optional<int> status_;
  std::string devicePath_;
};

// A pseudo-terminal device opened raw, as a serial port would open it.
class RawLine {
 public:
  explicit RawLine(const std::string& path);
  ~RawLine();
  RawLine(const RawLine&) = delete;
  RawLine& operator=(const RawLine&) = delete;

  bool isOpen() const { return fd_ >= 0; }
  bool send(std::string_view bytes);
  // What each read() returned during the time, in order, so a test can see how
  // the far end grouped its writes. Stops early at a hang-up.
  std::vector<std::string> readChunks(int forMs);
  // Reads until at least `count` bytes have come or the time is up.
  std::string readBytes(std::size_t count, int timeoutMs);
  // True once the far end has hung up (seen as POLLHUP or EIO) within the time.
  bool hungUp(int timeoutMs);

 private:
  // One read() within the time; nothing on time-out or hang-up.
  std::optional<std::string> ReadOnce(int timeoutMs);

  int fd_ = -1;
  bool hungUp_ = false;
};

}  // namespace pump::testing
