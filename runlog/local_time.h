// Wall-clock times as the run log writes and reads them: ISO 8601 local time
// with milliseconds and the UTC offset ("2026-12-07T14:03:22.517+08:00"), and
// the names of its files. The trend reads and exports logs through the same.
#pragma once

#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace pump::runlog {

struct CivilTime {
  int year, month, day, hour, minute, second, millisecond;
};

// The calendar fields of a local time given in milliseconds since the epoch
// shifted by the UTC offset.
CivilTime CivilFromLocalMs(std::int64_t localMs);

// The UTC offset of this machine's local time at a moment.
int LocalUtcOffsetMinutes(std::int64_t utcMs);

// The log's time of a moment, in this machine's local time.
std::string LocalTimestamp(std::chrono::system_clock::time_point time);

// The same, for a stream of times: the local date, time and offset of the
// last second are kept, so that rows within one second skip the time zone
// conversion.
class LocalTimestamps {
 public:
  std::string format(std::chrono::system_clock::time_point time);
  // The same, appended to the text.
  void appendTo(std::string& text, std::chrono::system_clock::time_point time);

 private:
  std::time_t second_ = -1;
  std::string text_;  // the last second's text, its milliseconds written over
};

// The log's time of a moment kept with the UTC offset it had.
std::string FormatLogTime(std::int64_t utcMs, int utcOffsetMinutes);

// Parses the log's time; false if the text is not exactly that shape.
bool ParseLogTime(std::string_view text, std::int64_t& utcMs, int& utcOffsetMinutes);

// The same for row after row: rows of one minute share their date, hour,
// minute and offset, which are then worked out once.
class LogTimeReader {
 public:
  bool parse(std::string_view text, std::int64_t& utcMs, int& utcOffsetMinutes);

 private:
  std::string minute_;  // "2026-12-07T14:03", and the zone after the milliseconds
  std::string zone_;
  std::int64_t minuteUtcMs_ = 0;
  int offset_ = 0;
};

// The name of the log that starts at this time: "2026-12-07_14-03-22.csv".
std::string LogFileName(std::chrono::system_clock::time_point time);
// The same for a moment kept with the UTC offset it had.
std::string LogFileName(std::int64_t utcMs, int utcOffsetMinutes);

}  // namespace pump::runlog
