// Reads a run log (CSV) back into a session, all or nothing: a damaged or
// foreign file loads no row and gets a message naming the line at fault.
//
// A log that is still being written may end in a row cut short. A last row
// with no line end after it is therefore left out rather than refused, and
// the result says so; every earlier row must be whole.
//
// Only regular files are read: a FIFO or a device is refused without waiting
// on it. A line longer than any run log writes is refused when it passes
// kLongestLogLine, so a file with no line break is never read whole.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "trend/session.h"

namespace pump::trend {

constexpr std::size_t kLongestLogLine = 64 * 1024;

struct LogLoad {
  std::unique_ptr<Session> session;  // null if the file was refused or the load cancelled
  std::string error;                 // why it was refused, in the operator's words
  bool lastLineIncomplete = false;   // a cut-off last row was left out
  bool cancelled = false;
};

// For a load on a thread of its own: how far it has come, and a way to stop it.
struct LoadControl {
  // Called on the loading thread after each block with the bytes read so far
  // and the file's size.
  std::function<void(std::uint64_t read, std::uint64_t size)> progress;
  // Set from any thread to stop the load at the next block.
  const std::atomic<bool>* cancel = nullptr;
};

LogLoad LoadRunLog(const std::string& path, const LoadControl& control = {});

}  // namespace pump::trend
