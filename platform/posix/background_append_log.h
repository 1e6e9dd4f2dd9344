// The append-only log on POSIX files, written by a thread of its own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "platform/append_only_log.h"

namespace pump::posix {

struct BackgroundLogOptions {
  std::string folder;  // made, with its parents, when the first line is written
  // How long to wait after a failure before trying again.
  std::chrono::milliseconds retryInterval{10000};
  // After writing, lines gather this long before the thread wakes again: one
  // wake-up per batch rather than per line. Bounds how late a line reaches the kernel.
  std::chrono::milliseconds gatherTime{100};
  // Lines waiting beyond this many bytes (a disk failing for minutes) are
  // dropped, the newest first, so that those kept stay in order.
  std::size_t maxWaitingBytes = std::size_t{8} << 20;
};

class BackgroundAppendLog final : public AppendOnlyLog {
 public:
  BackgroundAppendLog(BackgroundLogOptions options, AppendLogListener listener);
  // Writes what can still be written (one last try if failing), then stops.
  ~BackgroundAppendLog() override;
  BackgroundAppendLog(const BackgroundAppendLog&) = delete;
  BackgroundAppendLog& operator=(const BackgroundAppendLog&) = delete;

  void startFile(std::string fileName, std::string header) override;
  void append(std::string line) override;
  void endFile() override;
  void whenWritten(std::function<void(const std::string& path)> then) override;

 private:
  struct Item {
    enum class Kind { Start, Line, End, Mark };
    Kind kind;
    std::string text;                                        // the line, or the new file's name
    std::string header;                                      // for Start
    std::function<void(const std::string& path)> then = {};  // for Mark
  };

  void enqueue(Item item);
  void run();
  // Writes the waiting items in order; false (with failure_ set) when one fails.
  bool writeWaiting(std::size_t* writtenBytes);
  bool writeLines(std::size_t* writtenBytes);
  bool writeHeader();
  void takeWritten(std::size_t sent, std::size_t* writtenBytes);
  bool openFile();
  void closeFile();
  void report(bool ok);

  const BackgroundLogOptions options_;
  const AppendLogListener listener_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Item> incoming_;     // guarded by mutex_
  std::size_t waitingBytes_ = 0;  // guarded; lines queued or not yet written
  std::uint64_t dropped_ = 0;     // guarded; since the last report
  bool writerIdle_ = false;       // guarded; the thread waits for lines
  bool stopping_ = false;         // guarded

  // The writer thread's own.
  std::deque<Item> waiting_;
  std::size_t frontOffset_ = 0;  // bytes of the front line already written
  std::string batch_;            // the lines of one write(), kept for its room
  int fd_ = -1;
  std::string fileName_;  // of the file lines go to; empty after an end
  std::string header_;
  std::string headerLeft_;  // of a new file's header, still to write
  std::string path_;
  AppendFailure failure_;
  bool failing_ = false;

  std::thread thread_;  // last: starts once everything above is ready
};

}  // namespace pump::posix
