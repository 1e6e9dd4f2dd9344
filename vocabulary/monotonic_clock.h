// A clock that only moves forward, for timing runs and silences; tests script it.
#pragma once

#include <chrono>

namespace pump {

class MonotonicClock {
 public:
  virtual ~MonotonicClock() = default;
  virtual std::chrono::steady_clock::time_point monotonicNow() const = 0;
};

}  // namespace pump
