// Reads a run log back into a session, all or nothing: a damaged or foreign
// file loads no row and gets a message naming the line at fault. The rows are
// read by the run log's own reader (runlog/log_reader.h), which also leaves
// out a cut-off last row and refuses what is no run log at all.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "trend/session.h"

namespace pump::trend {

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
