// The pieces of reading a run log that the trend's loader and the run report
// share: the file opened without waiting, the header, and the fields whose
// shape the log fixes.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "trend/csv_records.h"

namespace pump::trend {

// A field quoted in a message: printable ASCII only, and not too long.
std::string ShownField(std::string_view text);

// "12.345" seconds as milliseconds; false for anything else.
bool ParseElapsedMs(std::string_view text, std::int64_t& ms);

// A value column: a plain decimal number, or empty for NaN.
bool ParseLogValue(std::string_view text, float& value);

// The run log's header row, a byte-order mark before it allowed.
bool IsRunLogHeader(const CsvRecord& record);

// A regular file open for reading, or why not.
class LogFile {
 public:
  // Opened without waiting, as a FIFO with no writer would hold a plain open,
  // and checked on what was opened, so a path swapped meanwhile is no way round.
  explicit LogFile(const std::string& path);
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  const std::string& error() const { return error_; }
  std::uint64_t size() const { return size_; }

  // Up to `count` bytes at `into`; 0 at the end, -1 on an error (errno says which).
  ssize_t read(char* into, std::size_t count);

 private:
  int fd_;
  std::string error_;
  std::uint64_t size_ = 0;
};

}  // namespace pump::trend
