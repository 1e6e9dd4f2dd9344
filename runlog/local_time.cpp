#include "runlog/local_time.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace pump::runlog {

namespace {

struct LocalTime {
  std::tm fields{};
  int millisecond = 0;
};

LocalTime ToLocal(std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  // floor, not truncation: times before 1970 would otherwise round up a second.
  const auto second = floor<seconds>(time);
  LocalTime local;
  local.millisecond = static_cast<int>(duration_cast<milliseconds>(time - second).count());
  const std::time_t epochSecond = system_clock::to_time_t(second);
  localtime_r(&epochSecond, &local.fields);
  return local;
}

}  // namespace

std::string LocalTimestamp(std::chrono::system_clock::time_point time) {
  const LocalTime local = ToLocal(time);
  const std::tm& f = local.fields;
  const long offsetMinutes = f.tm_gmtoff / 60;
  const long offsetAbs = std::labs(offsetMinutes);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02ld:%02ld",
                f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec,
                local.millisecond, offsetMinutes < 0 ? '-' : '+', offsetAbs / 60, offsetAbs % 60);
  return text;
}

std::string LogFileName(std::chrono::system_clock::time_point time) {
  const std::tm& f = ToLocal(time).fields;
  char text[48];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d-%02d.csv", f.tm_year + 1900,
                f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec);
  return text;
}

}  // namespace pump::runlog
