#include "runlog/row_order.h"

#include <cstdlib>
#include <utility>

namespace pump::runlog {

namespace {

constexpr char kEarlier[] = "时间早于上一行（elapsed_s 倒退了）";
constexpr char kClocksApart[] = "elapsed_s 与时间列不符";

// Both clocks of a row are read at the same moment, so between two rows they
// move together, give or take the wall clock's slow corrections.
constexpr std::int64_t kClocksApartMs = 60'000;

bool ClocksAgree(const LogRecord& before, const LogRecord& after) {
  const std::int64_t wall = after.wallMs - before.wallMs;
  const std::int64_t elapsed = after.elapsedMs - before.elapsedMs;
  return std::llabs(wall - elapsed) <= kClocksApartMs;
}

bool GoesOnFrom(const LogRecord& before, const LogRecord& after) {
  return after.elapsedMs >= before.elapsedMs && ClocksAgree(before, after);
}

}  // namespace

RowOrder::RowOrder(DamagedRows policy, Take take, Damaged damaged)
    : policy_(policy), take_(std::move(take)), damaged_(std::move(damaged)) {}

void RowOrder::add(const LogRecord& row, std::size_t line) {
  if (policy_ == DamagedRows::SkipAndCount) return addSkipping(row, line);
  if (anyTaken_ && row.elapsedMs < last_.elapsedMs) {
    damaged_(line, kEarlier);
    return;
  }
  take(row);
}

// A row whose clocks jump apart from the last row taken is held for one row:
// if the next goes on from the row before, the held row was damaged and is
// skipped; if not, the wall clock was set or the computer slept, and the
// held row counts.
void RowOrder::addSkipping(const LogRecord& row, std::size_t line) {
  if (held_) {
    if (GoesOnFrom(last_, row) && !GoesOnFrom(held_->row, row)) {
      damaged_(held_->line, kClocksApart);
    } else {
      take(held_->row);
    }
    held_.reset();
  }
  if (anyTaken_ && row.elapsedMs < last_.elapsedMs) {
    damaged_(line, kEarlier);
    return;
  }
  if (anyTaken_ && !ClocksAgree(last_, row)) return hold(row, line);
  take(row);
}

void RowOrder::hold(const LogRecord& row, std::size_t line) {
  held_.emplace(Held{row, std::string(row.detail), line});
  held_->row.detail = held_->detail;
}

void RowOrder::take(const LogRecord& row) {
  anyTaken_ = true;
  last_ = row;
  last_.detail = {};  // the view ends with the block it was read from
  take_(row);
}

void RowOrder::finish() {
  if (held_) damaged_(held_->line, kClocksApart);
  held_.reset();
}

}  // namespace pump::runlog
