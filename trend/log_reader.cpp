#include "trend/log_reader.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "runlog/local_time.h"
#include "runlog/log_columns.h"
#include "trend/csv_records.h"

namespace pump::trend {

using runlog::kRunLogColumns;
using runlog::kRunLogHeader;

namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 22;

// A field quoted in a message: printable ASCII only, and not too long.
std::string Shown(std::string_view text) {
  std::string shown;
  for (char c : text.substr(0, 40)) shown += (c >= 0x20 && c < 0x7f) ? c : '?';
  if (text.size() > 40) shown += "...";
  return "\"" + shown + "\"";
}

bool ParseElapsed(std::string_view text, std::int64_t& ms) {
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

bool ParseValue(std::string_view text, float& value) {
  if (text.empty()) return value = kNoValue, true;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || c == '.' || c == '-')) return false;
  }
  auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && p == text.data() + text.size();
}

class RowReader {
 public:
  // Empty if the row is good, else what is wrong with it.
  std::string read(const CsvRecord& record, Row& row) {
    const auto& f = record.fields;
    if (f.size() != kRunLogColumns.size()) {
      return "有 " + std::to_string(f.size()) + " 个字段，运行日志每行应有 8 个";
    }
    if (!times_.parse(f[0], row.wallMs, row.utcOffsetMinutes)) {
      return "时间 " + Shown(f[0]) + " 不是 2026-12-07T14:03:22.517+08:00 这样的本地时间";
    }
    if (!ParseElapsed(f[1], row.elapsedMs)) return "elapsed_s " + Shown(f[1]) + " 不是秒数";
    if (row.elapsedMs < lastElapsedMs_) return "elapsed_s 比上一行小，时间倒退了";
    if (!RowEventFromName(f[2], row.event)) return "事件 " + Shown(f[2]) + " 不是运行日志的事件";
    for (std::size_t i = 3; i <= 5; ++i) {
      float& value = i == 3 ? row.pressure : i == 4 ? row.flow : row.pressureLimit;
      if (!ParseValue(f[i], value)) {
        return std::string(kRunLogColumns[i]) + " " + Shown(f[i]) + " 不是数字";
      }
    }
    if (f[6] != "RUN" && f[6] != "STOP") return "pump 应为 RUN 或 STOP，却是 " + Shown(f[6]);
    row.pumpRunning = f[6] == "RUN";
    row.detail = f[7];
    lastElapsedMs_ = row.elapsedMs;
    return {};
  }

 private:
  runlog::LogTimeReader times_;
  std::int64_t lastElapsedMs_ = 0;
};

bool IsHeader(const CsvRecord& record) {
  if (record.fields.size() != kRunLogColumns.size()) return false;
  for (std::size_t i = 0; i < kRunLogColumns.size(); ++i) {
    std::string_view field = record.fields[i];
    if (i == 0 && field.substr(0, 3) == "\xEF\xBB\xBF") field.remove_prefix(3);  // a BOM
    if (field != kRunLogColumns[i]) return false;
  }
  return true;
}

// Feeds the file's records, block by block, into a new session.
class LogLoader {
 public:
  LogLoad load(std::FILE* file) {
    load_.session = std::make_unique<Session>();
    std::string text;
    for (bool atEnd = false; !atEnd && load_.error.empty();) {
      const std::size_t kept = text.size();
      text.resize(kept + kReadBlock);
      text.resize(kept + std::fread(text.data() + kept, 1, kReadBlock, file));
      atEnd = std::feof(file) || std::ferror(file);
      if (std::ferror(file)) return refuse(std::string("读取出错：") + std::strerror(errno));
      text.erase(0, consume(text, atEnd));
    }
    if (load_.error.empty() && !sawHeader_) fail(1, "文件是空的，不是运行日志");
    if (!load_.error.empty()) load_.session.reset();
    return std::move(load_);
  }

 private:
  LogLoad refuse(std::string message) {
    load_.error = std::move(message);
    load_.session.reset();
    return std::move(load_);
  }

  void fail(std::size_t line, const std::string& what) {
    load_.error =
        "第 " + std::to_string(line) + " 行：" + what + "。这个文件不能作为运行日志打开。";
  }

  // Takes the whole records in `text`; returns how much of it was used.
  std::size_t consume(std::string_view text, bool atEnd) {
    std::size_t position = 0;
    while (position < text.size() && load_.error.empty()) {
      const CsvStatus status = splitter_.next(text, position, atEnd, record_);
      if (status == CsvStatus::NeedMore) break;
      if (status == CsvStatus::Unfinished) {
        // A quote left open by a cut-off last row, or by damage further up.
        if (text.find('\n', position) != std::string_view::npos) {
          fail(line_, "引号没有闭合");
          break;
        }
        load_.lastLineIncomplete = true;
        return text.size();
      }
      if (status == CsvStatus::Malformed) {
        fail(line_, "引号后面应是逗号或换行");
        break;
      }
      take(atEnd && position == text.size());
      line_ += record_.lineEnds;
    }
    return position;
  }

  void take(bool last) {
    if (last && !record_.terminated) {
      if (!sawHeader_ && !IsHeader(record_)) fail(line_, "不是运行日志的表头");
      load_.lastLineIncomplete = sawHeader_;
      sawHeader_ = true;
      return;
    }
    if (!sawHeader_) {
      if (!IsHeader(record_)) fail(line_, "不是运行日志的表头 " + std::string(kRunLogHeader));
      sawHeader_ = true;
      return;
    }
    if (record_.fields.size() == 1 && record_.fields[0].empty()) return;  // a blank line
    Row row;
    if (std::string what = rows_.read(record_, row); !what.empty()) return fail(line_, what);
    load_.session->append(row);
  }

  LogLoad load_;
  CsvSplitter splitter_;
  CsvRecord record_;
  RowReader rows_;
  std::size_t line_ = 1;
  bool sawHeader_ = false;
};

}  // namespace

LogLoad LoadRunLog(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                       &std::fclose);
  if (!file) {
    LogLoad refused;
    refused.error = "无法打开 " + path + "：" + std::strerror(errno);
    return refused;
  }
  return LogLoader().load(file.get());
}

}  // namespace pump::trend
