#include "runlog/log_reader.h"

#include <cerrno>
#include <cstring>

#include "platform/posix/named_file.h"
#include "runlog/log_columns.h"
#include "runlog/row_order.h"

namespace pump::runlog {

namespace {

constexpr std::size_t kReadBlock = std::size_t{1} << 20;

std::string AtLine(std::size_t line, const std::string& what) {
  return "第 " + std::to_string(line) + " 行：" + what;
}

// Feeds a file's records, block by block, through the row reader and the
// time order to the caller.
class LogScan {
 public:
  LogScan(const LogReadOptions& options, const std::function<void(const LogRecord&)>& onRow)
      : options_(options),
        order_(options.damagedRows, onRow,
               [this](std::size_t line, const std::string& what) { return damaged(line, what); }) {}

  LogRead read(posix::NamedFile& file) {
    std::string text;
    std::uint64_t read = 0;
    for (bool atEnd = false; !atEnd && result_.error.empty();) {
      if (options_.cancel && options_.cancel->load(std::memory_order_relaxed)) {
        result_.cancelled = true;
        return std::move(result_);
      }
      const std::size_t kept = text.size();
      text.resize(kept + kReadBlock);
      const ssize_t got = file.read(text.data() + kept, kReadBlock);
      if (got < 0) return refuse(std::string("读取出错：") + std::strerror(errno));
      text.resize(kept + static_cast<std::size_t>(got));
      if (options_.onBytes) options_.onBytes(std::string_view(text).substr(kept));
      atEnd = got == 0;
      text.erase(0, consume(text, atEnd));
      read += static_cast<std::uint64_t>(got);
      if (options_.progress) options_.progress(read, file.size());
    }
    if (result_.error.empty()) order_.finish();
    if (result_.error.empty() && !sawHeader_) refuseAt(1, "文件是空的，不是运行日志");
    return std::move(result_);
  }

 private:
  LogRead refuse(std::string message) {
    result_.error = std::move(message);
    return std::move(result_);
  }

  void refuseAt(std::size_t line, const std::string& what) {
    result_.error = AtLine(line, what) + "。这个文件不能作为运行日志打开。";
  }

  // A damaged row: refuses the file or skips the row. False once refused.
  bool damaged(std::size_t line, const std::string& what) {
    if (options_.damagedRows == DamagedRows::RefuseFile) {
      refuseAt(line, what);
      return false;
    }
    ++result_.skippedRows;
    if (result_.skippedWhy.size() < kSkippedNamed) result_.skippedWhy.push_back(AtLine(line, what));
    return true;
  }

  // Takes the whole records in `text`; returns how much of it was used.
  std::size_t consume(std::string_view text, bool atEnd) {
    std::size_t position = 0;
    while (position < text.size() && result_.error.empty()) {
      const std::size_t start = position;
      const CsvStatus status = splitter_.next(text, position, atEnd, record_);
      if (status == CsvStatus::NeedMore) {
        if (text.size() - position > kLongestLogLine) refuseLongLine();
        return position;
      }
      if (status == CsvStatus::Record) {
        take();
        line_ += record_.lineEnds;
        continue;
      }
      // A quote left open or misplaced: damage up to the line end, or a
      // last row cut off inside a quoted field.
      const std::size_t lineEnd = text.find('\n', start);
      if (lineEnd == std::string_view::npos && !atEnd) {
        if (text.size() - start > kLongestLogLine) refuseLongLine();
        return start;
      }
      if (lineEnd == std::string_view::npos && status == CsvStatus::Unfinished && sawHeader_) {
        cutOffLastRow();
        return text.size();
      }
      if (!damaged(line_,
                   status == CsvStatus::Unfinished ? "引号没有闭合" : "引号后面应是逗号或换行"))
        break;
      ++line_;
      position = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
    }
    return position;
  }

  // No run log has a line this long: the file is not one, and is not read on.
  void refuseLongLine() {
    refuseAt(line_, sawHeader_ ? "这一行超过 64 KB 还没有结束，运行日志没有这么长的行"
                               : "前 64 KB 里没有一行结束，不是运行日志的表头");
  }

  void take() {
    if (!sawHeader_) {
      if (!IsRunLogHeader(record_))
        refuseAt(line_, "不是运行日志的表头 " + std::string(kRunLogHeader));
      sawHeader_ = true;
      return;
    }
    if (record_.fields.size() == 1 && record_.fields[0].empty()) return;  // a blank line
    if (!record_.terminated) return cutOffLastRow();
    LogRecord row;
    if (std::string what = rows_.read(record_, row); !what.empty()) {
      damaged(line_, what);
      return;
    }
    order_.add(row, line_);
  }

  void cutOffLastRow() {
    result_.lastLineIncomplete = true;
    if (options_.damagedRows == DamagedRows::SkipAndCount) damaged(line_, "最后一行不完整");
  }

  const LogReadOptions& options_;
  LogRead result_;
  CsvSplitter splitter_;
  CsvRecord record_;
  LogRecordReader rows_;
  RowOrder order_;
  std::size_t line_ = 1;
  bool sawHeader_ = false;
};

}  // namespace

LogRead ReadRunLog(const std::string& path, const LogReadOptions& options,
                   const std::function<void(const LogRecord&)>& onRow) {
  posix::NamedFile file(path, kLargestRunLogBytes);
  if (!file.opened().ok) {
    LogRead refused;
    refused.error = path + "：" + FailureForOperator(file.opened()) + "，不能作为运行日志打开。";
    return refused;
  }
  return LogScan(options, onRow).read(file);
}

}  // namespace pump::runlog
