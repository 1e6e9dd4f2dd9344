#include "report/log_entries.h"

#include <openssl/evp.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

#include "platform/posix/named_file.h"
#include "runlog/local_time.h"
#include "runlog/log_columns.h"
#include "trend/csv_records.h"
#include "trend/log_fields.h"
#include "vocabulary/event_kind.h"

namespace pump::report {

namespace {

using trend::CsvRecord;
using trend::CsvStatus;

constexpr std::size_t kReadBlock = std::size_t{1} << 20;
constexpr std::size_t kLongestLine = 64 * 1024;

bool IsLogEvent(std::string_view name) {
  EventKind kind;
  return EventKindFromName(name, kind);
}

// A row's fields as an entry; empty if they make one, else what is wrong.
class EntryReader {
 public:
  std::string read(const CsvRecord& record, LogEntry& entry) {
    const auto& f = record.fields;
    if (f.size() != runlog::kRunLogColumns.size()) {
      return "有 " + std::to_string(f.size()) + " 个字段，应有 8 个";
    }
    if (!times_.parse(f[0], entry.wallMs, entry.utcOffsetMinutes)) return "时间不可读";
    if (!trend::ParseElapsedMs(f[1], entry.elapsedMs)) return "elapsed_s 不是秒数";
    if (!IsLogEvent(f[2])) return "事件 " + trend::ShownField(f[2]) + " 不是运行日志的事件";
    if (!trend::ParseLogValue(f[3], entry.pressure) || !trend::ParseLogValue(f[4], entry.flow) ||
        !trend::ParseLogValue(f[5], entry.pressureLimit)) {
      return "数值不可读";
    }
    if (f[6] != "RUN" && f[6] != "STOP") return "pump 列不是 RUN 或 STOP";
    entry.event = f[2];
    entry.pumpRunning = f[6] == "RUN";
    entry.detail = f[7];
    return {};
  }

 private:
  runlog::LogTimeReader times_;
};

// Both clocks of a row are read at the same moment, so between two rows they
// move together, give or take the wall clock's slow corrections.
constexpr std::int64_t kClocksApartMs = 60'000;

struct RowClocks {
  std::int64_t wallMs = 0, elapsedMs = 0;
};

RowClocks ClocksOf(const LogEntry& entry) { return {entry.wallMs, entry.elapsedMs}; }

bool ClocksAgree(const RowClocks& before, const RowClocks& after) {
  const std::int64_t wall = after.wallMs - before.wallMs;
  const std::int64_t elapsed = after.elapsedMs - before.elapsedMs;
  return std::llabs(wall - elapsed) <= kClocksApartMs;
}

bool GoesOnFrom(const RowClocks& before, const RowClocks& after) {
  return after.elapsedMs >= before.elapsedMs && ClocksAgree(before, after);
}

// A row whose clocks do not go on together from the last row taken, kept
// with its own copy of the texts until the next row says what it is.
struct HeldEntry {
  LogEntry entry;
  std::string event, detail;
  std::size_t line = 0;
};

struct DigestFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};

class Sha256 {
 public:
  Sha256() : context_(EVP_MD_CTX_new()) {
    EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr);
  }
  void add(const char* bytes, std::size_t count) { EVP_DigestUpdate(context_.get(), bytes, count); }
  std::string hex() {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_.get(), digest, &length);
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
      text += kDigits[digest[i] >> 4];
      text += kDigits[digest[i] & 15];
    }
    return text;
  }

 private:
  std::unique_ptr<EVP_MD_CTX, DigestFree> context_;
};

class EntryFeed {
 public:
  explicit EntryFeed(const std::function<void(const LogEntry&)>& onEntry) : onEntry_(onEntry) {}

  LogReading read(posix::NamedFile& file) {
    std::string text;
    Sha256 digest;
    for (bool atEnd = false; !atEnd && reading_.error.empty();) {
      const std::size_t kept = text.size();
      text.resize(kept + kReadBlock);
      const ssize_t got = file.read(text.data() + kept, kReadBlock);
      if (got < 0) {
        reading_.error = std::string("读取出错：") + std::strerror(errno);
        break;
      }
      digest.add(text.data() + kept, static_cast<std::size_t>(got));
      text.resize(kept + static_cast<std::size_t>(got));
      atEnd = got == 0;
      text.erase(0, consume(text, atEnd));
    }
    finishOrder();
    if (reading_.error.empty() && !sawHeader_) reading_.error = "文件中没有运行日志的表头";
    reading_.sha256 = digest.hex();
    return std::move(reading_);
  }

 private:
  std::size_t consume(std::string_view text, bool atEnd) {
    std::size_t position = 0;
    while (position < text.size() && reading_.error.empty()) {
      const std::size_t start = position;
      const CsvStatus status = splitter_.next(text, position, atEnd, record_);
      if (status == CsvStatus::NeedMore) {
        if (text.size() - position > kLongestLine) refuseLongLine();
        return position;
      }
      if (status == CsvStatus::Record) {
        take();
        line_ += record_.lineEnds;
        continue;
      }
      // A quote left open or misplaced: the row is skipped up to its line end.
      const std::size_t lineEnd = text.find('\n', start);
      if (lineEnd == std::string_view::npos && !atEnd) return start;
      skip("引号不成对");
      ++line_;
      position = lineEnd == std::string_view::npos ? text.size() : lineEnd + 1;
    }
    return position;
  }

  void refuseLongLine() {
    reading_.error = "第 " + std::to_string(line_) + " 行超过 64 KB 还没有结束，不是运行日志";
  }

  void take() {
    if (!sawHeader_) {
      if (!trend::IsRunLogHeader(record_)) {
        reading_.error = "第 " + std::to_string(line_) + " 行不是运行日志的表头";
      }
      sawHeader_ = true;
      return;
    }
    if (record_.fields.size() == 1 && record_.fields[0].empty()) return;  // a blank line
    if (!record_.terminated) return skip("最后一行不完整");
    LogEntry entry;
    if (std::string why = entries_.read(record_, entry); !why.empty()) return skip(why);
    putInOrder(entry);
  }

  // Time order is judged against the last row taken, never a skipped one. A
  // row whose clocks jump apart from it is held for one row: if the next goes
  // on from the row before, the held row was damaged (one elapsed_s of
  // 99999999 must not push every later row out of order) and is skipped; if
  // not, the wall clock was set or the computer slept, and the held row counts.
  void putInOrder(const LogEntry& entry) {
    if (held_) {
      const RowClocks next = ClocksOf(entry);
      if (GoesOnFrom(last_, next) && !GoesOnFrom(ClocksOf(held_->entry), next)) {
        skip(kClocksApart, held_->line);
      } else {
        takeEntry(held_->entry);
      }
      held_.reset();
    }
    if (anyTaken_ && entry.elapsedMs < last_.elapsedMs) return skip("时间早于上一行");
    if (anyTaken_ && !ClocksAgree(last_, ClocksOf(entry))) return hold(entry);
    takeEntry(entry);
  }

  void hold(const LogEntry& entry) {
    held_.emplace(HeldEntry{entry, std::string(entry.event), std::string(entry.detail), line_});
    held_->entry.event = held_->event;
    held_->entry.detail = held_->detail;
  }

  void takeEntry(const LogEntry& entry) {
    anyTaken_ = true;
    last_ = ClocksOf(entry);
    onEntry_(entry);
  }

  // A row held at the end has nothing after it to vouch for it.
  void finishOrder() {
    if (held_) skip(kClocksApart, held_->line);
    held_.reset();
  }

  void skip(const std::string& why) { skip(why, line_); }
  void skip(const std::string& why, std::size_t line) {
    ++reading_.skippedRows;
    if (reading_.skippedWhy.size() < kSkippedNamed) {
      reading_.skippedWhy.push_back("第 " + std::to_string(line) + " 行：" + why);
    }
  }

  static constexpr char kClocksApart[] = "elapsed_s 与时间列不符";

  const std::function<void(const LogEntry&)>& onEntry_;
  LogReading reading_;
  trend::CsvSplitter splitter_;
  CsvRecord record_;
  EntryReader entries_;
  std::optional<HeldEntry> held_;
  RowClocks last_;  // of the last row taken
  bool anyTaken_ = false;
  std::size_t line_ = 1;
  bool sawHeader_ = false;
};

}  // namespace

LogReading ReadLogEntries(const std::string& path,
                          const std::function<void(const LogEntry&)>& onEntry) {
  posix::NamedFile file(path, runlog::kLargestRunLogBytes);
  if (!file.opened().ok) {
    LogReading refused;
    refused.error = trend::RunLogRefusal(path, file.opened());
    return refused;
  }
  return EntryFeed(onEntry).read(file);
}

}  // namespace pump::report
