// One run-log row read back: its fields checked and turned into typed values,
// or what is wrong with them named in the operator's words. Every reader of
// run logs reads rows here; what it does with a damaged row is its own
// choice (see log_reader.h).
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "runlog/csv_records.h"
#include "runlog/local_time.h"
#include "vocabulary/event_kind.h"

namespace pump::runlog {

constexpr float kNoLogValue = std::numeric_limits<float>::quiet_NaN();

// Times are milliseconds: `wallMs` since the Unix epoch (UTC) with the local
// offset then, `elapsedMs` on the console's monotonic clock since the open.
// A value column left empty is NaN. `detail` views the record it was read from.
struct LogRecord {
  std::int64_t wallMs = 0;
  int utcOffsetMinutes = 0;
  std::int64_t elapsedMs = 0;
  EventKind event = EventKind::Reading;
  float pressure = kNoLogValue;
  float flow = kNoLogValue;
  float pressureLimit = kNoLogValue;
  bool pumpRunning = false;
  std::string_view detail;
};

class LogRecordReader {
 public:
  // Empty if the fields make a row, else what is wrong with the first bad one.
  // Time order is not judged here: which row counts as the last one is the
  // caller's to say.
  std::string read(const CsvRecord& record, LogRecord& row);

 private:
  LogTimeReader times_;
};

// The run log's header row, a byte-order mark before it allowed.
bool IsRunLogHeader(const CsvRecord& record);

// A field quoted in a message: printable ASCII only, and not too long.
std::string ShownField(std::string_view text);

}  // namespace pump::runlog
