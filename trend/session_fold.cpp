// Keeping a session within its memory budget: the oldest chunks are folded
// pairwise into one of half the readings, each few readings giving way to
// their lowest and highest. Rows that mark an event stay as they were.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>

#include "trend/session.h"
#include "trend/session_chunk.h"

namespace pump::trend {

namespace {

// Readings are folded four at a time into two.
constexpr std::size_t kFoldedReadings = 4;

bool IsLineRow(std::uint8_t event) {
  return event == static_cast<std::uint8_t>(EventKind::Reading) ||
         event == static_cast<std::uint8_t>(EventKind::Reply);
}

}  // namespace

// Folds the rows of two neighbouring chunks into one new chunk.
class Session::Folder {
 public:
  Folder(const Session& session, std::size_t first)
      : session_(session), firstRow_(session.chunkStarts_[first]), out_(std::make_unique<Chunk>()) {
    collectStepRows(session_.chunkStarts_[first + 2]);
    if (firstRow_ > 0) {
      const Chunk& before = session.chunkOf(firstRow_ - 1);
      runningBefore_ = (before.flags[before.size() - 1] & kRunning) != 0;
    }
  }

  std::unique_ptr<Chunk> fold(const Chunk& older, const Chunk& newer) {
    std::size_t row = firstRow_;
    for (const Chunk* chunk : {&older, &newer}) {
      for (std::size_t at = 0; at < chunk->size(); ++at, ++row) visit(*chunk, at, row);
    }
    flushGroup();
    out_->shrink();
    return std::move(out_);
  }

  // The rows kept, as offsets from the first folded row, in order.
  const std::vector<std::uint32_t>& keptRows() const { return kept_; }

 private:
  struct Place {
    const Chunk* chunk;
    std::size_t at, row;
  };

  // Rows where the limit, the flow or the local offset changes stay, so the
  // steps drawn from them keep their place.
  void collectStepRows(std::size_t endRow) {
    for (const auto* steps :
         {&session_.limitByRow_, &session_.flowByRow_, &session_.offsetByRow_}) {
      for (const IndexedStep& step : *steps) {
        if (step.row >= firstRow_ && step.row < endRow) stepRows_.push_back(step.row);
      }
    }
    std::sort(stepRows_.begin(), stepRows_.end());
  }

  bool mustKeep(const Chunk& chunk, std::size_t at, std::size_t row) {
    const bool running = (chunk.flags[at] & kRunning) != 0;
    const bool runChanged = running != runningBefore_;
    runningBefore_ = running;
    while (nextStep_ < stepRows_.size() && stepRows_[nextStep_] < row) ++nextStep_;
    const bool step = nextStep_ < stepRows_.size() && stepRows_[nextStep_] == row;
    return row == 0 || runChanged || step || !IsLineRow(chunk.event[at]);
  }

  void visit(const Chunk& chunk, std::size_t at, std::size_t row) {
    if (mustKeep(chunk, at, row)) {
      flushGroup();
      take({&chunk, at, row}, chunk.flags[at]);
    } else if (IsPlainReading(chunk, at)) {
      group_[grouped_++] = {&chunk, at, row};
      if (grouped_ == kFoldedReadings) flushGroup();
    }
    // Any other reply changes nothing the trend draws: it goes.
  }

  // A few readings give way to the lowest (its first time) and the highest
  // (its last time), in the order they came.
  void flushGroup() {
    if (grouped_ <= 2) {
      for (std::size_t i = 0; i < grouped_; ++i)
        take(group_[i], group_[i].chunk->flags[group_[i].at]);
      grouped_ = 0;
      return;
    }
    std::size_t low = 0, high = 0;
    for (std::size_t i = 1; i < grouped_; ++i) {
      if (pressureOf(group_[i]) < pressureOf(group_[low])) low = i;
      if (pressureOf(group_[i]) >= pressureOf(group_[high])) high = i;
    }
    const auto flagged = [](const Place& p, std::uint8_t summary) {
      return static_cast<std::uint8_t>((p.chunk->flags[p.at] & kRunning) | summary);
    };
    if (low < high) {
      take(group_[low], flagged(group_[low], kLowest));
      take(group_[high], flagged(group_[high], kHighest));
    } else {
      take(group_[high], flagged(group_[high], kHighest));
      take(group_[low], flagged(group_[low], kLowest));
    }
    grouped_ = 0;
  }

  static float pressureOf(const Place& p) { return p.chunk->pressure[p.at]; }

  static bool IsPlainReading(const Chunk& chunk, std::size_t at) {
    return chunk.event[at] == static_cast<std::uint8_t>(EventKind::Reading) &&
           !std::isnan(chunk.pressure[at]);
  }

  void take(const Place& p, std::uint8_t flags) {
    const Chunk& from = *p.chunk;
    Chunk& to = *out_;
    to.elapsedMs.push_back(from.elapsedMs[p.at]);
    to.pressure.push_back(from.pressure[p.at]);
    to.wallSkewMs.push_back(from.wallSkewMs[p.at]);
    to.detail.push_back(from.detail[p.at]);
    to.event.push_back(from.event[p.at]);
    to.flags.push_back(flags);
    to.noteExtremes(from.pressure[p.at], IsPlainReading(from, p.at));
    kept_.push_back(static_cast<std::uint32_t>(p.row - firstRow_));
  }

  const Session& session_;
  std::size_t firstRow_;
  bool runningBefore_ = false;
  std::vector<std::size_t> stepRows_;
  std::size_t nextStep_ = 0;
  std::array<Place, kFoldedReadings> group_{};
  std::size_t grouped_ = 0;
  std::vector<std::uint32_t> kept_;
  std::unique_ptr<Chunk> out_;
};

void Session::keepWithinBudget() {
  while (memoryBytes() > budget_ && foldOldestPair()) {
  }
}

// The oldest two neighbours of equal level, so that older stretches are
// folded more often than newer ones; failing that, the newest two. The
// newest chunk is still filling and is left alone.
bool Session::foldOldestPair() {
  if (chunks_.size() < 3) return false;
  const std::size_t sealed = chunks_.size() - 1;
  for (std::size_t i = 0; i + 1 < sealed; ++i) {
    if (chunks_[i]->level == chunks_[i + 1]->level) {
      foldPair(i);
      return true;
    }
  }
  foldPair(sealed - 2);
  return true;
}

void Session::foldPair(std::size_t first) {
  const std::size_t firstRow = chunkStarts_[first];
  const std::size_t endRow = chunkStarts_[first + 2];
  Folder folder(*this, first);
  std::unique_ptr<Chunk> folded = folder.fold(*chunks_[first], *chunks_[first + 1]);
  folded->level = std::max(chunks_[first]->level, chunks_[first + 1]->level) + 1;
  chunks_[first] = std::move(folded);
  chunks_.erase(chunks_.begin() + static_cast<std::ptrdiff_t>(first) + 1);
  renumberRows(firstRow, endRow, folder.keptRows());
}

// Rows after the folded ones move up; references into the folded ones follow
// their rows, or go with them.
void Session::renumberRows(std::size_t firstRow, std::size_t endRow,
                           const std::vector<std::uint32_t>& keptRows) {
  const std::size_t removed = endRow - firstRow - keptRows.size();
  const auto renumbered = [&](std::size_t row) -> std::optional<std::size_t> {
    if (row < firstRow) return row;
    if (row >= endRow) return row - removed;
    const auto kept = std::lower_bound(keptRows.begin(), keptRows.end(), row - firstRow);
    if (kept == keptRows.end() || *kept != row - firstRow) return std::nullopt;
    return firstRow + static_cast<std::size_t>(kept - keptRows.begin());
  };
  for (auto* steps : {&limitByRow_, &flowByRow_, &offsetByRow_}) {
    for (IndexedStep& step : *steps) step.row = *renumbered(step.row);
  }
  std::map<std::size_t, std::int64_t> farWall;
  for (const auto& [row, wallMs] : farWallMs_) {
    if (const auto to = renumbered(row)) farWall.emplace_hint(farWall.end(), *to, wallMs);
  }
  farWallMs_ = std::move(farWall);
  size_ -= removed;
  chunkStarts_.clear();
  std::size_t start = 0;
  for (const auto& chunk : chunks_) chunkStarts_.push_back(start), start += chunk->size();
  ++version_;
}

}  // namespace pump::trend
