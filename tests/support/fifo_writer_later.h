// A writer that comes to a FIFO late: after a while it opens the FIFO for
// writing and closes it at once, letting go a reader held on the FIFO with
// nothing to read. A test of code that must never wait on a FIFO then fails
// instead of hanging when the code does wait. It stops trying when it goes.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace pump::testing {

class FifoWriterLater {
 public:
  FifoWriterLater(std::string fifo, std::chrono::milliseconds after)
      : thread_([this, fifo = std::move(fifo), after] {
          const auto start = std::chrono::steady_clock::now() + after;
          while (!done_ && std::chrono::steady_clock::now() < start) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
          }
          while (!done_) {
            const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);  // fails with no reader
            if (fd >= 0) return void(::close(fd));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
          }
        }) {}
  ~FifoWriterLater() {
    done_ = true;
    thread_.join();
  }
  FifoWriterLater(const FifoWriterLater&) = delete;
  FifoWriterLater& operator=(const FifoWriterLater&) = delete;

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

}  // namespace pump::testing
