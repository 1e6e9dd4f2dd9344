// Hands the network thread's tasks to the window's thread in batches: the
// first task of a batch waits `gather` for others to join it, then all run
// in order. Many pumps' messages then wake the window a few dozen times a
// second, not once per message. Tasks still waiting when it is destroyed are
// dropped.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

#include "remote/mosquitto_connection.h"

namespace pump::board::qt {

class GatheringPoster : public QObject {
 public:
  explicit GatheringPoster(std::chrono::milliseconds gather) : gather_(gather) {}

  // Callable from any thread, while this object lives.
  remote::PostToWindow post() {
    return [this](std::function<void()> task) { add(std::move(task)); };
  }

 private:
  void add(std::function<void()> task);
  void runGathered();

  std::chrono::milliseconds gather_;
  std::mutex mutex_;
  std::vector<std::function<void()>> waiting_;
};

}  // namespace pump::board::qt
