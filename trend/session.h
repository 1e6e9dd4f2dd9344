// One session's rows (a live connection or a loaded run log), kept compact so
// that an hour of a fast stream (millions of rows) fits in memory, together
// with what the trend draws besides the pressure line: limit and flow steps,
// RUN periods and link-loss gaps.
//
// The rows stay within a memory budget however long the session runs: past
// it, the oldest stretches are kept at a coarser resolution. Folding a
// stretch keeps, of each few readings, the lowest and the highest, so no
// spike is lost; rows that mark an event or change what the trend draws
// (open, close, link, run, command and refused rows, and any row where the
// pump's state, the limit or the flow changes) stay exact. Other replies in a
// folded stretch are dropped. The run log on disk keeps every row.
#pragma once

#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runlog/log_record.h"
#include "vocabulary/event_kind.h"

namespace pump::trend {

constexpr float kNoValue = runlog::kNoLogValue;

// One run-log row as it comes in, live or read back: the run log's own row
// (runlog/log_record.h). Values the display did not show are NaN.
using Row = runlog::LogRecord;

// A value that holds from `timeMs` on.
struct Step {
  double timeMs;
  float value;
};

// A time span on the axis, [startMs, endMs]; `open` while it has not ended.
struct Span {
  double startMs;
  double endMs;
  bool open;
};

// The link states that break the pressure line.
bool IsLinkLoss(std::string_view linkState);

// What a reading stands for: itself, or the lowest or highest reading of a
// stretch that was folded to save memory.
enum class Summary : std::uint8_t { None, Lowest, Highest };

class Session {
 public:
  // Enough for about seven million rows at full resolution: over an hour and a
  // half of a 115200-baud stream.
  static constexpr std::size_t kDefaultMemoryBudget = std::size_t{128} << 20;

  explicit Session(std::size_t memoryBudgetBytes = kDefaultMemoryBudget);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void clear();
  void append(const Row& row);

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  Row row(std::size_t index) const;

  // The axis runs on the monotonic clock, placed at the open's wall time, so
  // that a wall-clock adjustment never folds the line back on itself.
  double axisTimeMs(std::size_t index) const;
  double firstTimeMs() const;
  double lastTimeMs() const;
  // The first row at or after an axis time (size() if none).
  std::size_t lowerBound(double axisMs) const;

  bool isReading(std::size_t index) const;
  float pressure(std::size_t index) const;
  Summary summary(std::size_t index) const;

  // The bytes the rows and what derives from them hold.
  std::size_t memoryBytes() const;

  // The lowest and highest reading of each group of rows in a block, kept
  // as rows come, so that a wide view need not visit every row.
  static constexpr std::size_t kGroupBits = 8;
  static constexpr std::size_t kGroupRows = std::size_t{1} << kGroupBits;
  struct GroupExtremes {
    float low = 0, high = 0;
    std::uint32_t lowAt = 0, highAt = 0;  // rows within the block
    bool any = false;
  };

  // Raw columns of one stored block of rows, for scans over millions of rows.
  struct Columns {
    const std::uint32_t* elapsedMs;
    const float* pressure;
    const std::uint8_t* event;
    const GroupExtremes* groups;
    std::size_t firstRow;
    std::size_t count;
  };
  // Blocks differ in length once older ones have been folded.
  std::size_t blockCount() const { return chunks_.size(); }
  std::size_t blockOf(std::size_t index) const;
  Columns block(std::size_t blockIndex) const;
  std::int64_t originMs() const { return originMs_; }

  const std::vector<Step>& limitSteps() const { return limitSteps_; }
  const std::vector<Step>& flowSteps() const { return flowSteps_; }
  // Spans still open end at `untilMs`, or at the newest row if that is later.
  std::vector<Span> runPeriods(double untilMs = 0) const;
  std::vector<Span> linkGaps(double untilMs = 0) const;

  // Changes each time a row is added, rows are folded or the session is cleared.
  std::uint64_t version() const { return version_; }

 private:
  struct Chunk;
  struct IndexedStep {
    std::size_t row;
    float value;
  };
  class Folder;
  std::uint32_t internDetail(std::string_view detail);
  void noteSteps(const Row& row, double axisMs);
  const Chunk& chunkOf(std::size_t index) const;
  std::size_t chunkIndexOf(std::size_t index) const;
  static float stepValueAt(const std::vector<IndexedStep>& steps, std::size_t index);
  void startChunk();
  std::size_t chunkBytes() const;
  void keepWithinBudget();
  bool foldOldestPair();
  void foldPair(std::size_t first);
  void renumberRows(std::size_t firstRow, std::size_t endRow,
                    const std::vector<std::uint32_t>& keptRows);

  std::size_t budget_;
  std::vector<std::unique_ptr<Chunk>> chunks_;
  std::vector<std::size_t> chunkStarts_;  // the first row of each chunk
  std::size_t size_ = 0;
  std::int64_t originMs_ = 0;  // the wall time at elapsed zero
  std::deque<std::string> details_;
  std::unordered_map<std::string_view, std::uint32_t> detailIndex_;
  std::map<std::size_t, std::int64_t> farWallMs_;  // wall times too far off the axis to pack
  std::vector<IndexedStep> limitByRow_, flowByRow_, offsetByRow_;
  std::vector<Step> limitSteps_, flowSteps_;
  std::vector<Span> runPeriods_, linkGaps_;
  std::uint64_t version_ = 0;
};

}  // namespace pump::trend
