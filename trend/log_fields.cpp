#include "trend/log_fields.h"

#include <charconv>

#include "runlog/log_columns.h"
#include "trend/session.h"

namespace pump::trend {

using runlog::kRunLogColumns;

std::string ShownField(std::string_view text) {
  std::string shown;
  for (char c : text.substr(0, 40)) shown += (c >= 0x20 && c < 0x7f) ? c : '?';
  if (text.size() > 40) shown += "...";
  return "\"" + shown + "\"";
}

bool ParseElapsedMs(std::string_view text, std::int64_t& ms) {
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  std::int64_t seconds = 0;
  auto [p, ec] = std::from_chars(text.data(), end, seconds);
  if (ec != std::errc{} || seconds < 0 || text.front() == '-' || text.front() == '+') return false;
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

bool ParseLogValue(std::string_view text, float& value) {
  if (text.empty()) return value = kNoValue, true;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-')) return false;
  }
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && p == text.data() + text.size();
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

std::string RunLogRefusal(const std::string& path, const FileResult& opened) {
  return path + "：" + FailureForOperator(opened) + "，不能作为运行日志打开。";
}

}  // namespace pump::trend
