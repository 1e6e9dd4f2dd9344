#include "runlog/local_time.h"

#include <cstdio>

namespace pump::runlog {

namespace {

constexpr std::int64_t kDayMs = 86'400'000;
constexpr std::size_t kMillisecondsAt = 20;  // in "YYYY-MM-DDTHH:MM:SS.mmm+HH:MM"

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - (a % b < 0 ? 1 : 0); }

std::tm LocalFields(std::time_t second) {
  std::tm fields{};
  localtime_r(&second, &fields);
  return fields;
}

CivilTime CivilFromFields(const std::tm& f, int millisecond) {
  return {f.tm_year + 1900, f.tm_mon + 1, f.tm_mday, f.tm_hour, f.tm_min, f.tm_sec, millisecond};
}

// Writes the value's last `width` digits over the text at `at`.
void PutDigits(std::string& text, std::size_t at, std::size_t width, int value) {
  for (std::size_t i = at + width; i-- > at; value /= 10) {
    text[i] = static_cast<char>('0' + value % 10);
  }
}

// Written digit by digit: exports write millions of these.
std::string LogTimeText(const CivilTime& c, int utcOffsetMinutes) {
  const int offset = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
  std::string text = "0000-00-00T00:00:00.000+00:00";
  PutDigits(text, 0, 4, c.year);
  PutDigits(text, 5, 2, c.month);
  PutDigits(text, 8, 2, c.day);
  PutDigits(text, 11, 2, c.hour);
  PutDigits(text, 14, 2, c.minute);
  PutDigits(text, 17, 2, c.second);
  PutDigits(text, kMillisecondsAt, 3, c.millisecond);
  text[23] = utcOffsetMinutes < 0 ? '-' : '+';
  PutDigits(text, 24, 2, offset / 60);
  PutDigits(text, 27, 2, offset % 60);
  return text;
}

std::string FileName(const CivilTime& c) {
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d_%02d-%02d-%02d.csv", c.year, c.month, c.day,
                c.hour, c.minute, c.second);
  return text;
}

// Reads exactly `width` digits at `at`.
bool Digits(std::string_view text, std::size_t at, std::size_t width, int& value) {
  if (at + width > text.size()) return false;
  value = 0;
  for (std::size_t i = at; i < at + width; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

bool Punctuation(std::string_view text, std::string_view marks) {
  // Positions of '-', '-', 'T', ':', ':', '.' in "YYYY-MM-DDTHH:MM:SS.mmm".
  constexpr std::size_t kAt[] = {4, 7, 10, 13, 16, 19};
  for (std::size_t i = 0; i < marks.size(); ++i) {
    if (text[kAt[i]] != marks[i]) return false;
  }
  return true;
}

bool ParseOffset(std::string_view zone, int& minutes) {
  if (zone == "Z") return minutes = 0, true;
  int hours = 0, mins = 0;
  if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':') return false;
  if (!Digits(zone, 1, 2, hours) || !Digits(zone, 4, 2, mins) || hours > 23 || mins > 59) {
    return false;
  }
  minutes = (zone[0] == '-' ? -1 : 1) * (hours * 60 + mins);
  return true;
}

}  // namespace

CivilTime CivilFromLocalMs(std::int64_t localMs) {
  using namespace std::chrono;
  const std::int64_t days = FloorDiv(localMs, kDayMs);
  const std::int64_t inDay = localMs - days * kDayMs;
  const year_month_day date{sys_days{std::chrono::days{days}}};
  return {static_cast<int>(date.year()),
          static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day())),
          static_cast<int>(inDay / 3'600'000),
          static_cast<int>(inDay / 60'000 % 60),
          static_cast<int>(inDay / 1000 % 60),
          static_cast<int>(inDay % 1000)};
}

int LocalUtcOffsetMinutes(std::int64_t utcMs) {
  const auto fields = LocalFields(static_cast<std::time_t>(FloorDiv(utcMs, 1000)));
  return static_cast<int>(fields.tm_gmtoff / 60);
}

std::string LocalTimestamp(std::chrono::system_clock::time_point time) {
  return LocalTimestamps().format(time);
}

std::string LocalTimestamps::format(std::chrono::system_clock::time_point time) {
  std::string text;
  appendTo(text, time);
  return text;
}

void LocalTimestamps::appendTo(std::string& text, std::chrono::system_clock::time_point time) {
  using namespace std::chrono;
  // floor, not truncation: times before 1970 would otherwise round up a second.
  const auto second = floor<seconds>(time);
  const int millisecond = static_cast<int>(duration_cast<milliseconds>(time - second).count());
  if (text_.empty() || system_clock::to_time_t(second) != second_) {
    second_ = system_clock::to_time_t(second);
    const std::tm fields = LocalFields(second_);
    text_ = LogTimeText(CivilFromFields(fields, 0), static_cast<int>(fields.tm_gmtoff / 60));
  }
  PutDigits(text_, kMillisecondsAt, 3, millisecond);
  text += text_;
}

std::string FormatLogTime(std::int64_t utcMs, int utcOffsetMinutes) {
  return LogTimeText(CivilFromLocalMs(utcMs + utcOffsetMinutes * 60'000LL), utcOffsetMinutes);
}

bool ParseLogTime(std::string_view text, std::int64_t& utcMs, int& utcOffsetMinutes) {
  if (text.size() < 24 || !Punctuation(text, "--T::.")) return false;
  int y, mo, d, h, mi, s, ms;
  if (!Digits(text, 0, 4, y) || !Digits(text, 5, 2, mo) || !Digits(text, 8, 2, d) ||
      !Digits(text, 11, 2, h) || !Digits(text, 14, 2, mi) || !Digits(text, 17, 2, s) ||
      !Digits(text, 20, 3, ms) || !ParseOffset(text.substr(23), utcOffsetMinutes)) {
    return false;
  }
  using namespace std::chrono;
  const year_month_day date{year{y}, month{static_cast<unsigned>(mo)},
                            day{static_cast<unsigned>(d)}};
  if (!date.ok() || h > 23 || mi > 59 || s > 60) return false;
  const std::int64_t days = sys_days{date}.time_since_epoch().count();
  const std::int64_t local = days * kDayMs + ((h * 60 + mi) * 60 + s) * 1000LL + ms;
  utcMs = local - utcOffsetMinutes * 60'000LL;
  return true;
}

bool LogTimeReader::parse(std::string_view text, std::int64_t& utcMs, int& utcOffsetMinutes) {
  int s = 0, ms = 0;
  if (text.size() >= 24 && text.substr(0, 16) == minute_ && text.substr(23) == zone_ &&
      text[16] == ':' && text[19] == '.' && Digits(text, 17, 2, s) && Digits(text, 20, 3, ms) &&
      s <= 60) {
    utcMs = minuteUtcMs_ + s * 1000 + ms;
    utcOffsetMinutes = offset_;
    return true;
  }
  if (!ParseLogTime(text, utcMs, utcOffsetMinutes)) return false;
  Digits(text, 17, 2, s);
  Digits(text, 20, 3, ms);
  minute_ = text.substr(0, 16);
  zone_ = text.substr(23);
  minuteUtcMs_ = utcMs - s * 1000 - ms;
  offset_ = utcOffsetMinutes;
  return true;
}

std::string LogFileName(std::chrono::system_clock::time_point time) {
  const auto second = std::chrono::floor<std::chrono::seconds>(time);
  return FileName(CivilFromFields(LocalFields(std::chrono::system_clock::to_time_t(second)), 0));
}

std::string LogFileName(std::int64_t utcMs, int utcOffsetMinutes) {
  return FileName(CivilFromLocalMs(utcMs + utcOffsetMinutes * 60'000LL));
}

}  // namespace pump::runlog
