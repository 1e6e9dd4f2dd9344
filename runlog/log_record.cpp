#include "runlog/log_record.h"

#include <charconv>

#include "runlog/log_columns.h"

namespace pump::runlog {

namespace {

// "12.345" seconds as milliseconds; false for anything else.
bool ParseElapsedMs(std::string_view text, std::int64_t& ms) {
  if (text.empty() || text.front() == '-' || text.front() == '+') return false;
  const char* end = text.data() + text.size();
  std::int64_t seconds = 0;
  auto [p, ec] = std::from_chars(text.data(), end, seconds);
  if (ec != std::errc{} || seconds < 0) return false;
  int fraction = 0, digits = 0;
  if (p != end) {
    if (*p++ != '.' || p == end) return false;
    for (; p != end; ++p, ++digits) {
      if (*p < '0' || *p > '9') return false;
      if (digits < 3) fraction = fraction * 10 + (*p - '0');
    }
  }
  for (; digits < 3; ++digits) fraction *= 10;
  ms = seconds * 1000 + fraction;
  return true;
}

// A value column: a plain decimal number, or empty for NaN.
bool ParseLogValue(std::string_view text, float& value) {
  if (text.empty()) return value = kNoLogValue, true;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-')) return false;
  }
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && p == text.data() + text.size();
}

}  // namespace

std::string LogRecordReader::read(const CsvRecord& record, LogRecord& row) {
  const auto& f = record.fields;
  if (f.size() != kRunLogColumns.size()) {
    return "有 " + std::to_string(f.size()) + " 个字段，运行日志每行应有 8 个";
  }
  if (!times_.parse(f[0], row.wallMs, row.utcOffsetMinutes)) {
    return "时间 " + ShownField(f[0]) + " 不是 2026-12-07T14:03:22.517+08:00 这样的本地时间";
  }
  if (!ParseElapsedMs(f[1], row.elapsedMs)) return "elapsed_s " + ShownField(f[1]) + " 不是秒数";
  if (!EventKindFromName(f[2], row.event))
    return "事件 " + ShownField(f[2]) + " 不是运行日志的事件";
  float* const values[] = {&row.pressure, &row.flow, &row.pressureLimit};
  for (std::size_t i = 3; i <= 5; ++i) {
    if (!ParseLogValue(f[i], *values[i - 3])) {
      return std::string(kRunLogColumns[i]) + " " + ShownField(f[i]) + " 不是数字";
    }
  }
  if (f[6] != "RUN" && f[6] != "STOP") return "pump 应为 RUN 或 STOP，却是 " + ShownField(f[6]);
  row.pumpRunning = f[6] == "RUN";
  row.detail = f[7];
  return {};
}

bool IsRunLogHeader(const CsvRecord& record) {
  if (record.fields.size() != kRunLogColumns.size()) return false;
  for (std::size_t i = 0; i < kRunLogColumns.size(); ++i) {
    std::string_view field = record.fields[i];
    if (i == 0 && field.substr(0, 3) == "\xEF\xBB\xBF") field.remove_prefix(3);  // a BOM
    if (field != kRunLogColumns[i]) return false;
  }
  return true;
}

std::string ShownField(std::string_view text) {
  std::string shown;
  for (char c : text.substr(0, 40)) shown += (c >= 0x20 && c < 0x7f) ? c : '?';
  if (text.size() > 40) shown += "...";
  return "\"" + shown + "\"";
}

}  // namespace pump::runlog
