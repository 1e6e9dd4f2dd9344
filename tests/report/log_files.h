// Hand-made run logs in a temporary folder, for the report's tests.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "runlog/log_columns.h"
#include "tests/support/scratch_folder.h"

namespace pump::report::testing {

// 2026-12-07T14:00:00.000+08:00
constexpr std::int64_t kStartWallMs = 1'796'623'200'000;

class LogFolder {
 public:
  std::string path(const std::string& name) const { return folder_.path(name); }

  // A log of the header and `rows`, each ended by CRLF.
  std::string write(const std::string& name, const std::string& rows) const {
    std::ofstream out(path(name), std::ios::binary);
    out << runlog::kRunLogHeader << "\r\n" << rows;
    return path(name);
  }

 private:
  pump::testing::ScratchFolder folder_;
};

// "14:00:SS.mmm" local time, `ms` after the start.
inline std::string TimeAt(std::int64_t ms) {
  char text[64];
  std::snprintf(text, sizeof text, "2026-12-07T14:%02lld:%02lld.%03lld+08:00",
                static_cast<long long>(ms / 60000), static_cast<long long>(ms / 1000 % 60),
                static_cast<long long>(ms % 1000));
  return text;
}

// One row: time and elapsed from `ms`, the rest as given.
inline std::string LogLine(std::int64_t ms, const std::string& event, const std::string& pressure,
                           const std::string& flow, const std::string& limit,
                           const std::string& pump, const std::string& detail) {
  char elapsed[32];
  std::snprintf(elapsed, sizeof elapsed, "%lld.%03lld", static_cast<long long>(ms / 1000),
                static_cast<long long>(ms % 1000));
  return TimeAt(ms) + "," + elapsed + "," + event + "," + pressure + "," + flow + "," + limit +
         "," + pump + "," + detail + "\r\n";
}

inline std::string ReadingLine(std::int64_t ms, const std::string& pressure,
                               const std::string& pump = "STOP", const std::string& flow = "10",
                               const std::string& limit = "5.0") {
  return LogLine(ms, "reading", pressure, flow, limit, pump, "Q" + pressure);
}

// `row` with its time column written for `ms` after the start instead.
inline std::string WithTimeAt(const std::string& row, std::int64_t ms) {
  return TimeAt(ms) + row.substr(row.find(','));
}

// `row` with `elapsed` in its elapsed_s column.
inline std::string WithElapsed(const std::string& row, const std::string& elapsed) {
  const std::size_t from = row.find(',') + 1;
  return row.substr(0, from) + elapsed + row.substr(row.find(',', from));
}

}  // namespace pump::report::testing
