// Wall-clock times as the run log writes them: ISO 8601 local time with
// milliseconds and the UTC offset ("2026-12-07T14:03:22.517+08:00").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pump::trend {

struct CivilTime {
  int year, month, day, hour, minute, second, millisecond;
};

// The calendar fields of a local time given in milliseconds since the epoch
// shifted by the UTC offset.
CivilTime CivilFromLocalMs(std::int64_t localMs);

// Parses the run log's time; false if the text is not exactly that shape.
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
std::string FormatLogTime(std::int64_t utcMs, int utcOffsetMinutes);

// The UTC offset of this machine's local time at a moment.
int LocalUtcOffsetMinutes(std::int64_t utcMs);

}  // namespace pump::trend
