// Where the two time points of an event come from: the wall clock for the
// record, the monotonic clock for the time between events. Tests script it.
#pragma once

#include <chrono>

#include "vocabulary/monotonic_clock.h"

namespace pump {

class EventClock : public MonotonicClock {
 public:
  virtual std::chrono::system_clock::time_point wallNow() const = 0;
};

class SystemEventClock : public EventClock {
 public:
  std::chrono::system_clock::time_point wallNow() const override {
    return std::chrono::system_clock::now();
  }
  std::chrono::steady_clock::time_point monotonicNow() const override {
    return std::chrono::steady_clock::now();
  }
};

}  // namespace pump
