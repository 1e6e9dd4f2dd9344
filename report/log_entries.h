// Reads a run log row by row for a report, keeping what it can: a row that
// is cut short, damaged, earlier than the last row kept, or whose elapsed_s
// and time leap apart from the rows on both sides of it is skipped and
// counted, with the first few named by line. Only a file that is no run log
// at all (not a regular file, no run-log header, a line longer than any log
// writes) is refused.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pump::report {

// One whole, well-formed row. Times: `wallMs` since the epoch (UTC) with the
// local offset then, `elapsedMs` on the console's monotonic clock. Values not
// in the row are NaN. The views are valid during the call only.
struct LogEntry {
  std::int64_t wallMs = 0;
  int utcOffsetMinutes = 0;
  std::int64_t elapsedMs = 0;
  std::string_view event;  // the log's own name: reading, command, link, program, ...
  float pressure = 0;
  float flow = 0;
  float pressureLimit = 0;
  bool pumpRunning = false;
  std::string_view detail;
};

struct LogReading {
  std::string error;  // why the file was refused; empty if it was read
  std::uint64_t skippedRows = 0;
  std::vector<std::string> skippedWhy;  // "第 N 行：..." for the first few
  std::string sha256;                   // of every byte read, in hex
};

// How many skipped rows are named; the rest are only counted.
constexpr std::size_t kSkippedNamed = 8;

LogReading ReadLogEntries(const std::string& path,
                          const std::function<void(const LogEntry&)>& onEntry);

}  // namespace pump::report
