#include "trend/log_reader.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/posix/named_file.h"
#include "runlog/local_time.h"
#include "runlog/log_columns.h"
#include "trend/csv_records.h"
#include "trend/log_fields.h"

namespace pump::trend {

using runlog::kRunLogColumns;
using runlog::kRunLogHeader;

namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 20;

class RowReader {
 public:
  // Empty if the row is good, else what is wrong with it.
  std::string read(const CsvRecord& record, Row& row) {
    const auto& f = record.fields;
    if (f.size() != kRunLogColumns.size()) {
      return "有 " + std::to_string(f.size()) + " 个字段，运行日志每行应有 8 个";
    }
    if (!times_.parse(f[0], row.wallMs, row.utcOffsetMinutes)) {
      return "时间 " + ShownField(f[0]) + " 不是 2026-12-07T14:03:22.517+08:00 这样的本地时间";
    }
    if (!ParseElapsedMs(f[1], row.elapsedMs)) return "elapsed_s " + ShownField(f[1]) + " 不是秒数";
    if (row.elapsedMs < lastElapsedMs_) return "elapsed_s 比上一行小，时间倒退了";
    if (!EventKindFromName(f[2], row.event))
      return "事件 " + ShownField(f[2]) + " 不是运行日志的事件";
    for (std::size_t i = 3; i <= 5; ++i) {
      float& value = i == 3 ? row.pressure : i == 4 ? row.flow : row.pressureLimit;
      if (!ParseLogValue(f[i], value)) {
        return std::string(kRunLogColumns[i]) + " " + ShownField(f[i]) + " 不是数字";
      }
    }
    if (f[6] != "RUN" && f[6] != "STOP") return "pump 应为 RUN 或 STOP，却是 " + ShownField(f[6]);
    row.pumpRunning = f[6] == "RUN";
    row.detail = f[7];
    lastElapsedMs_ = row.elapsedMs;
    return {};
  }

 private:
  runlog::LogTimeReader times_;
  std::int64_t lastElapsedMs_ = 0;
};

// Feeds the file's records, block by block, into a new session.
class LogLoader {
 public:
  explicit LogLoader(const LoadControl& control) : control_(control) {}

  LogLoad load(posix::NamedFile& file) {
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
      if (!sawHeader_ && !IsRunLogHeader(record_)) fail(line_, "不是运行日志的表头");
      load_.lastLineIncomplete = sawHeader_;
      sawHeader_ = true;
      return;
    }
    if (!sawHeader_) {
      if (!IsRunLogHeader(record_)) fail(line_, "不是运行日志的表头 " + std::string(kRunLogHeader));
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
  posix::NamedFile file(path, runlog::kLargestRunLogBytes);
  if (!file.opened().ok) {
    LogLoad refused;
    refused.error = RunLogRefusal(path, file.opened());
    return refused;
  }
  return LogLoader(control).load(file);
}

}  // namespace pump::trend
