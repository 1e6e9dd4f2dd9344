// Wall-clock times as the machine's local time, for people reading a log.
#pragma once

#include <chrono>
#include <ctime>
#include <string>

namespace pump::runlog {

// ISO 8601 with milliseconds and the UTC offset: "2026-12-07T14:03:22.517+08:00".
std::string LocalTimestamp(std::chrono::system_clock::time_point time);

// The same, for a stream of times: the local date and time of the last second
// are kept, so that rows within one second skip the time zone conversion.
class LocalTimestamps {
 public:
  std::string format(std::chrono::system_clock::time_point time);

 private:
  std::time_t second_ = -1;
  std::string date_;    // "2026-12-07T14:03:22"
  std::string offset_;  // "+08:00"
};

// The name of the log that starts at this time: "2026-12-07_14-03-22.csv".
std::string LogFileName(std::chrono::system_clock::time_point time);

}  // namespace pump::runlog
