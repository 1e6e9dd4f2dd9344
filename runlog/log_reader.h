// Reads a run log back from disk, for every reader of run logs: block by
// block, so a log of gigabytes is never held whole, row by row through the
// one row reader (log_record.h), in time order.
//
// What counts as damage is the same for every reader; what happens to a
// damaged row is the reader's choice:
// - the trend refuses the whole file at the first damaged row, naming its line;
// - the report skips the row and counts it, naming the first few by line.
// A row is damaged if its fields are not a run log's, if a quote is left open
// or misplaced, or if it is earlier than the row before it. When skipping, a
// row whose elapsed_s and time leap apart from the rows on both sides of it
// is damaged too (one elapsed_s of 99999999 must not put every later row out
// of order); refusing, such a leap is taken as the wall clock being set.
//
// A file that is no run log at all is refused whatever the choice: not a
// regular file, no run-log header, or a line longer than any log writes (so
// a file with no line break is never read whole). A last row with no line
// end after it, as a log still being written may have, is left out and said
// so; skipping, it is also counted.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runlog/log_record.h"

namespace pump::runlog {

enum class DamagedRows { RefuseFile, SkipAndCount };

constexpr std::size_t kLongestLogLine = 64 * 1024;
// How many skipped rows are named; the rest are only counted.
constexpr std::size_t kSkippedNamed = 8;

struct LogReadOptions {
  DamagedRows damagedRows = DamagedRows::RefuseFile;
  // Called after each block with the bytes read so far and the file's size.
  std::function<void(std::uint64_t read, std::uint64_t size)> progress;
  // Set from any thread to stop the read at the next block.
  const std::atomic<bool>* cancel = nullptr;
  // Every byte of the file, in order, as it is read.
  std::function<void(std::string_view bytes)> onBytes;
};

struct LogRead {
  std::string error;  // why the file was refused, in the operator's words; empty if read
  bool cancelled = false;
  bool lastLineIncomplete = false;      // a cut-off last row was left out
  std::uint64_t skippedRows = 0;        // skipping: damaged rows left out
  std::vector<std::string> skippedWhy;  // "第 N 行：..." for the first kSkippedNamed
};

// Hands each row taken to `onRow`, in file order. Rows already handed on stay
// handed on if the file is refused later: a reader that wants all or nothing
// drops what it gathered when `error` is set.
LogRead ReadRunLog(const std::string& path, const LogReadOptions& options,
                   const std::function<void(const LogRecord&)>& onRow);

}  // namespace pump::runlog
