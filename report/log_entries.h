// Reads a run log row by row for a report, keeping what it can: the run
// log's own reader (runlog/log_reader.h) skips and counts each damaged row,
// naming the first few by line, and refuses only a file that is no run log
// at all. The report also keeps the file's SHA-256, of every byte read.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runlog/log_record.h"

namespace pump::report {

// One whole, well-formed row, in time order; its detail is valid during the call only.
using LogEntry = runlog::LogRecord;

struct LogReading {
  std::string error;  // why the file was refused; empty if it was read
  std::uint64_t skippedRows = 0;
  std::vector<std::string> skippedWhy;  // "第 N 行：..." for the first few
  std::string sha256;                   // of every byte read, in hex
};

LogReading ReadLogEntries(const std::string& path,
                          const std::function<void(const LogEntry&)>& onEntry);

}  // namespace pump::report
