// Wall-clock times as the machine's local time, for people reading a log.
#pragma once

#include <chrono>
#include <string>

namespace pump::runlog {

// ISO 8601 with milliseconds and the UTC offset: "2026-12-07T14:03:22.517+08:00".
std::string LocalTimestamp(std::chrono::system_clock::time_point time);

// The name of the log that starts at this time: "2026-12-07_14-03-22.csv".
std::string LogFileName(std::chrono::system_clock::time_point time);

}  // namespace pump::runlog
