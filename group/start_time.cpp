#include "group/start_time.h"

#include <chrono>
#include <cstdio>

namespace pump::group {

namespace {

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

std::optional<std::int64_t> ParseUtcTime(std::string_view text) {
  // 2026-12-08T12:00:02.000Z
  if (text.size() != 24 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':' || text[19] != '.' || text[23] != 'Z')
    return std::nullopt;
  int year, month, day, hour, minute, second, ms;
  if (!Digits(text, 0, 4, year) || !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day) ||
      !Digits(text, 11, 2, hour) || !Digits(text, 14, 2, minute) || !Digits(text, 17, 2, second) ||
      !Digits(text, 20, 3, ms))
    return std::nullopt;
  using namespace std::chrono;
  const year_month_day date{std::chrono::year{year},
                            std::chrono::month{static_cast<unsigned>(month)},
                            std::chrono::day{static_cast<unsigned>(day)}};
  if (!date.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  const auto time =
      sys_days{date} + hours{hour} + minutes{minute} + seconds{second} + milliseconds{ms};
  return duration_cast<milliseconds>(time.time_since_epoch()).count();
}

std::string UtcTimeText(std::int64_t utcMs) {
  using namespace std::chrono;
  const sys_time<milliseconds> time{milliseconds{utcMs}};
  const auto days = floor<std::chrono::days>(time);
  const year_month_day date{days};
  const hh_mm_ss clock{time - days};
  char text[32];
  std::snprintf(
      text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d.%03dZ", static_cast<int>(date.year()),
      static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
      static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
      static_cast<int>(clock.seconds().count()), static_cast<int>(clock.subseconds().count()));
  return text;
}

StartVerdict JudgeStart(std::int64_t startUtcMs, std::int64_t nowUtcMs) {
  if (startUtcMs < nowUtcMs) return StartVerdict::InThePast;
  if (startUtcMs - nowUtcMs > kLatestStartAheadMs) return StartVerdict::TooFarAhead;
  return StartVerdict::Accepted;
}

}  // namespace pump::group
