// Time order among a run log's rows, judged for the log reader against the
// last row taken, never a damaged one.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "runlog/log_reader.h"

namespace pump::runlog {

class RowOrder {
 public:
  // `damaged(line, what)` tells the reader of a row out of order; it returns
  // false once the file is refused.
  using Damaged = std::function<bool(std::size_t line, const std::string& what)>;
  using Take = std::function<void(const LogRecord&)>;

  RowOrder(DamagedRows policy, Take take, Damaged damaged);

  // A row whose fields are good, read at `line`.
  void add(const LogRecord& row, std::size_t line);
  // No more rows: a row still held has nothing after it to vouch for it.
  void finish();

 private:
  struct Held {
    LogRecord row;
    std::string detail;
    std::size_t line = 0;
  };

  void addSkipping(const LogRecord& row, std::size_t line);
  void hold(const LogRecord& row, std::size_t line);
  void take(const LogRecord& row);

  DamagedRows policy_;
  Take take_;
  Damaged damaged_;
  std::optional<Held> held_;
  LogRecord last_;  // the last row taken
  bool anyTaken_ = false;
};

}  // namespace pump::runlog
