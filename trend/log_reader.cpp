#include "trend/log_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>

#include "runlog/local_time.h"
#include "runlog/log_columns.h"
#include "trend/csv_records.h"

namespace pump::trend {

using runlog::kRunLogColumns;
using runlog::kRunLogHeader;

namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 20;

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
    if (!EventKindFromName(f[2], row.event)) return "事件 " + Shown(f[2]) + " 不是运行日志的事件";
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

// A regular file open for reading, or why not.
class LogFile {
 public:
  // Opened without waiting, as a FIFO with no writer would hold a plain open,
  // and checked on what was opened, so a path swapped meanwhile is no way round.
  explicit LogFile(const std::string& path)
      : fd_(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {
    struct stat status {};
    if (fd_ < 0 || ::fstat(fd_, &status) != 0) {
      error_ = "无法打开 " + path + "：" + std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
      error_ = path + " 不是普通文件（而是管道、设备或文件夹），不能作为运行日志打开。";
    } else {
      size_ = static_cast<std::uint64_t>(status.st_size);
    }
  }
  ~LogFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  const std::string& error() const { return error_; }
  std::uint64_t size() const { return size_; }

  // Up to `count` bytes at `into`; 0 at the end, -1 on an error (errno says which).
  ssize_t read(char* into, std::size_t count) {
    for (;;) {
      const ssize_t got = ::read(fd_, into, count);
      if (got >= 0 || errno != EINTR) return got;
    }
  }

 private:
  int fd_;
  std::string error_;
  std::uint64_t size_ = 0;
};

// Feeds the file's records, block by block, into a new session.
class LogLoader {
 public:
  explicit LogLoader(const LoadControl& control) : control_(control) {}

  LogLoad load(LogFile& file) {
    load_.session = std::make_unique<Session>();
    std::string text;
    std::uint64_t read = 0;
    for (bool atEnd = false; !atEnd && load_.error.empty();) {
      if (control_.cancel && control_.cancel->load(std::memory_order_relaxed)) return cancelled();
      const std::size_t kept = text.size();
      text.resize(kept + kReadBlock);
      const ssize_t got = file.read(text.data() + kept, kReadBlock);
      if (got < 0) return refuse(std::string("读取出错：") + std::strerror(errno));
      text.resize(kept + static_cast<std::size_t>(got));
      atEnd = got == 0;
      text.erase(0, consume(text, atEnd));
      read += static_cast<std::uint64_t>(got);
      if (control_.progress) control_.progress(read, file.size());
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

  LogLoad cancelled() {
    load_.session.reset();
    load_.cancelled = true;
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
      if (status == CsvStatus::NeedMore) {
        if (text.size() - position > kLongestLogLine) failLongLine();
        break;
      }
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

  // No run log has a line this long: the file is not one, and is not read on.
  void failLongLine() {
    fail(line_, sawHeader_ ? "这一行超过 64 KB 还没有结束，运行日志没有这么长的行"
                           : "前 64 KB 里没有一行结束，不是运行日志的表头");
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

  const LoadControl& control_;
  LogLoad load_;
  CsvSplitter splitter_;
  CsvRecord record_;
  RowReader rows_;
  std::size_t line_ = 1;
  bool sawHeader_ = false;
};

}  // namespace

LogLoad LoadRunLog(const std::string& path, const LoadControl& control) {
  LogFile file(path);
  if (!file.error().empty()) {
    LogLoad refused;
    refused.error = file.error();
    return refused;
  }
  return LogLoader(control).load(file);
}

}  // namespace pump::trend
