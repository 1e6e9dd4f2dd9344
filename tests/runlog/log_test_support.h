// Shared by the run log tests: rows, time zones and waiting with a deadline,
// beside the scratch folder and whole-file reads of tests/support.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/scoped_variable.h"
#include "tests/support/scratch_folder.h"

namespace pump::runlog::testing {

using pump::testing::ReadFile;
using pump::testing::ScratchFolder;

// The CRLF-ended lines of a file; a last line without its end comes last as is.
inline std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(bytes.substr(start, end - start));
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

// A row split on its commas; a field with a quoted comma is split too, so
// such rows are compared whole.
inline std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos; start = comma + 1) {
    fields.push_back(line.substr(start, comma - start));
  }
  fields.push_back(line.substr(start));
  return fields;
}

// The names of the files in a folder, sorted.
inline std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// The machine's time zone set to a POSIX TZ rule for the test's lifetime
// ("UTC-8" is eight hours east of UTC), restored afterwards.
class TimeZone {
 public:
  explicit TimeZone(const char* rule) : rule_(std::in_place, "TZ", rule) { ::tzset(); }
  ~TimeZone() {
    rule_.reset();
    ::tzset();
  }

 private:
  std::optional<pump::testing::ScopedVariable> rule_;
};

}  // namespace pump::runlog::testing
