#include "trend/session.h"

#include <algorithm>
#include <cmath>

#include "trend/session_chunk.h"

namespace pump::trend {

namespace {

bool SameValue(float a, float b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b;
}

}  // namespace

bool IsLinkLoss(std::string_view linkState) {
  return linkState == "no_answer" || linkState == "lost" || linkState == "reconnecting" ||
         linkState == "not_connected";
}

Session::Session(std::size_t memoryBudgetBytes) : budget_(memoryBudgetBytes) {}
Session::~Session() = default;

void Session::clear() {
  chunks_.clear();
  chunkStarts_.clear();
  size_ = 0;
  originMs_ = 0;
  details_.clear();
  detailIndex_.clear();
  farWallMs_.clear();
  limitByRow_.clear();
  flowByRow_.clear();
  offsetByRow_.clear();
  limitSteps_.clear();
  flowSteps_.clear();
  runPeriods_.clear();
  linkGaps_.clear();
  ++version_;
}

std::uint32_t Session::internDetail(std::string_view detail) {
  if (auto found = detailIndex_.find(detail); found != detailIndex_.end()) return found->second;
  const auto index = static_cast<std::uint32_t>(details_.size());
  // A deque never moves its strings, so the index may key views of them.
  detailIndex_.emplace(details_.emplace_back(detail), index);
  return index;
}

// A new chunk seals the one before, which may then be folded.
void Session::startChunk() {
  chunkStarts_.push_back(size_);
  chunks_.push_back(std::make_unique<Chunk>());
  chunks_.back()->reserve(kChunkRows);
  keepWithinBudget();
}

void Session::append(const Row& row) {
  if (size_ == 0) originMs_ = row.wallMs - row.elapsedMs;
  if (chunks_.empty() || chunks_.back()->size() == kChunkRows) startChunk();
  Chunk& chunk = *chunks_.back();
  const auto elapsed = static_cast<std::uint32_t>(
      std::clamp<std::int64_t>(row.elapsedMs, 0, std::numeric_limits<std::uint32_t>::max()));
  const std::int64_t skew = row.wallMs - (originMs_ + elapsed);
  const bool far = skew <= kFarWall || skew > std::numeric_limits<std::int32_t>::max();
  if (far) farWallMs_[size_] = row.wallMs;
  chunk.elapsedMs.push_back(elapsed);
  chunk.pressure.push_back(row.pressure);
  chunk.wallSkewMs.push_back(far ? kFarWall : static_cast<std::int32_t>(skew));
  chunk.detail.push_back(internDetail(row.detail));
  chunk.event.push_back(static_cast<std::uint8_t>(row.event));
  chunk.flags.push_back(row.pumpRunning ? kRunning : 0);
  chunk.noteExtremes(row.pressure, row.event == EventKind::Reading && !std::isnan(row.pressure));
  noteSteps(row, static_cast<double>(originMs_ + elapsed));
  ++size_;
  ++version_;
}

void Session::noteSteps(const Row& row, double axisMs) {
  const auto note = [&](std::vector<IndexedStep>& byRow, std::vector<Step>* steps, float value) {
    if (!byRow.empty() && SameValue(byRow.back().value, value)) return;
    byRow.push_back({size_, value});
    if (steps) steps->push_back({axisMs, value});
  };
  note(limitByRow_, &limitSteps_, row.pressureLimit);
  note(flowByRow_, &flowSteps_, row.flow);
  note(offsetByRow_, nullptr, static_cast<float>(row.utcOffsetMinutes));

  const bool runOpen = !runPeriods_.empty() && runPeriods_.back().open;
  if (row.pumpRunning && !runOpen) runPeriods_.push_back({axisMs, axisMs, true});
  if (!row.pumpRunning && runOpen) runPeriods_.back() = {runPeriods_.back().startMs, axisMs, false};

  if (row.event != EventKind::Link) return;
  const bool gapOpen = !linkGaps_.empty() && linkGaps_.back().open;
  const bool loss = IsLinkLoss(row.detail);
  if (loss && !gapOpen) linkGaps_.push_back({axisMs, axisMs, true});
  if (!loss && gapOpen) linkGaps_.back() = {linkGaps_.back().startMs, axisMs, false};
}

std::size_t Session::chunkIndexOf(std::size_t index) const {
  const auto after = std::upper_bound(chunkStarts_.begin(), chunkStarts_.end(), index);
  return static_cast<std::size_t>(after - chunkStarts_.begin()) - 1;
}

const Session::Chunk& Session::chunkOf(std::size_t index) const {
  return *chunks_[chunkIndexOf(index)];
}

float Session::stepValueAt(const std::vector<IndexedStep>& steps, std::size_t index) {
  auto after = std::upper_bound(steps.begin(), steps.end(), index,
                                [](std::size_t i, const IndexedStep& s) { return i < s.row; });
  return after == steps.begin() ? kNoValue : std::prev(after)->value;
}

Row Session::row(std::size_t index) const {
  const std::size_t c = chunkIndexOf(index);
  const Chunk& chunk = *chunks_[c];
  const std::size_t at = index - chunkStarts_[c];
  Row row;
  row.elapsedMs = chunk.elapsedMs[at];
  const std::int32_t skew = chunk.wallSkewMs[at];
  row.wallMs = skew == kFarWall ? farWallMs_.at(index) : originMs_ + row.elapsedMs + skew;
  row.utcOffsetMinutes = static_cast<int>(stepValueAt(offsetByRow_, index));
  row.event = static_cast<EventKind>(chunk.event[at]);
  row.pressure = chunk.pressure[at];
  row.flow = stepValueAt(flowByRow_, index);
  row.pressureLimit = stepValueAt(limitByRow_, index);
  row.pumpRunning = (chunk.flags[at] & kRunning) != 0;
  row.detail = details_[chunk.detail[at]];
  return row;
}

double Session::axisTimeMs(std::size_t index) const {
  const std::size_t c = chunkIndexOf(index);
  return static_cast<double>(originMs_ + chunks_[c]->elapsedMs[index - chunkStarts_[c]]);
}

double Session::firstTimeMs() const { return empty() ? 0 : axisTimeMs(0); }
double Session::lastTimeMs() const { return empty() ? 0 : axisTimeMs(size_ - 1); }

std::size_t Session::lowerBound(double axisMs) const {
  const double elapsed = axisMs - static_cast<double>(originMs_);
  if (empty() || elapsed <= chunks_.front()->elapsedMs.front()) return 0;
  auto chunk = std::lower_bound(
      chunks_.begin(), chunks_.end(), elapsed,
      [](const std::unique_ptr<Chunk>& c, double e) { return c->elapsedMs.back() < e; });
  if (chunk == chunks_.end()) return size_;
  const auto& times = (*chunk)->elapsedMs;
  const auto at = std::lower_bound(times.begin(), times.end(), elapsed,
                                   [](std::uint32_t t, double e) { return t < e; });
  return chunkStarts_[static_cast<std::size_t>(chunk - chunks_.begin())] +
         static_cast<std::size_t>(at - times.begin());
}

bool Session::isReading(std::size_t index) const {
  const std::size_t c = chunkIndexOf(index);
  const std::size_t at = index - chunkStarts_[c];
  return chunks_[c]->event[at] == static_cast<std::uint8_t>(EventKind::Reading) &&
         !std::isnan(chunks_[c]->pressure[at]);
}

float Session::pressure(std::size_t index) const {
  const std::size_t c = chunkIndexOf(index);
  return chunks_[c]->pressure[index - chunkStarts_[c]];
}

Summary Session::summary(std::size_t index) const {
  const std::size_t c = chunkIndexOf(index);
  const std::uint8_t flags = chunks_[c]->flags[index - chunkStarts_[c]];
  if (flags & kLowest) return Summary::Lowest;
  if (flags & kHighest) return Summary::Highest;
  return Summary::None;
}

namespace {
std::vector<Span> EndingAt(std::vector<Span> spans, double untilMs) {
  if (!spans.empty() && spans.back().open) {
    spans.back().endMs = std::max(spans.back().endMs, untilMs);
  }
  return spans;
}
}  // namespace

std::vector<Span> Session::runPeriods(double untilMs) const {
  return EndingAt(runPeriods_, std::max(untilMs, lastTimeMs()));
}

std::vector<Span> Session::linkGaps(double untilMs) const {
  return EndingAt(linkGaps_, std::max(untilMs, lastTimeMs()));
}

std::size_t Session::chunkBytes() const {
  std::size_t bytes =
      chunks_.capacity() * sizeof(chunks_[0]) + chunkStarts_.capacity() * sizeof(std::size_t);
  for (const auto& chunk : chunks_) bytes += chunk->bytes();
  return bytes;
}

std::size_t Session::memoryBytes() const {
  // Node-based containers: a node holds the entry and about two pointers more.
  constexpr std::size_t kNode = 2 * sizeof(void*);
  std::size_t bytes = sizeof(Session) + chunkBytes();
  for (const std::string& detail : details_) bytes += sizeof(std::string) + detail.capacity();
  bytes += detailIndex_.size() * (sizeof(std::string_view) + sizeof(std::uint32_t) + kNode) +
           detailIndex_.bucket_count() * sizeof(void*);
  bytes += farWallMs_.size() * (sizeof(std::size_t) + sizeof(std::int64_t) + 2 * kNode);
  for (const auto* steps : {&limitByRow_, &flowByRow_, &offsetByRow_}) {
    bytes += steps->capacity() * sizeof(IndexedStep);
  }
  bytes += (limitSteps_.capacity() + flowSteps_.capacity()) * sizeof(Step);
  bytes += (runPeriods_.capacity() + linkGaps_.capacity()) * sizeof(Span);
  return bytes;
}

std::size_t Session::blockOf(std::size_t index) const { return chunkIndexOf(index); }

Session::Columns Session::block(std::size_t blockIndex) const {
  const Chunk& chunk = *chunks_[blockIndex];
  return {chunk.elapsedMs.data(), chunk.pressure.data(),    chunk.event.data(),
          chunk.groups.data(),    chunkStarts_[blockIndex], chunk.size()};
}

}  // namespace pump::trend
