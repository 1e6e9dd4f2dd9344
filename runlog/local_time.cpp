#include "runlog/local_time.h"

#include <cstdio>
#include <cstdlib>

namespace pump::runlog {

namespace {

struct LocalTime {
  std::time_t second = 0;
  std::tm fields{};
  int millisecond = 0;
};

LocalTime ToLocal(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  // floor, not truncation: times before 1970 would otherwise round up a second.
  const auto second = floor<seconds>(time);
  LocalTime local;
  local.millisecond = static_cast<int>(duration_cast<milliseconds>(time - second).count());
  local.second = system_clock::to_time_t(second);
  localtime_r(&local.second, &local.fields);
  return local;
}

std::string DateAndTime(const std::tm& f) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", f.tm_year + 1900, f.tm_mon + 1,
                f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec);
  return text;
}

std::string UtcOffset(const std::tm& f) {
  const long minutes = f.tm_gmtoff / 60;
  const long magnitude = std::labs(minutes);
  char text[48];
  std::snprintf(text, sizeof text, "%c%02ld:%02ld", minutes < 0 ? '-' : '+', magnitude / 60,
                magnitude % 60);
  return text;
}

// ".517"
void AppendMilliseconds(std::string& text, int millisecond) {
  text += '.';
  text += static_cast<char>('0' + millisecond / 100);
  text += static_cast<char>('0' + millisecond / 10 % 10);
  text += static_cast<char>('0' + millisecond % 10);
}

}  // namespace

std::string LocalTimestamp(std::chrono::system_clock::time_point time) {
  return LocalTimestamps().format(time);
}

std::string LocalTimestamps::format(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  const auto second = floor<seconds>(time);
  const int millisecond = static_cast<int>(duration_cast<milliseconds>(time - second).count());
  if (system_clock::to_time_t(second) != second_) {
    const LocalTime local = ToLocal(time);
    second_ = local.second;
    date_ = DateAndTime(local.fields);
    offset_ = UtcOffset(local.fields);
  }
  std::string text = date_;
  AppendMilliseconds(text, millisecond);
  text += offset_;
  return text;
}

std::string LogFileName(std::chrono::system_clock::time_point time) {
  const std::tm& f = ToLocal(time).fields;
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d-%02d.csv", f.tm_year + 1900,
                f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec);
  return text;
}

}  // namespace pump::runlog
