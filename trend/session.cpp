#include "trend/session.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pump::trend {

namespace {

constexpr std::size_t kChunkBits = 16;
constexpr std::size_t kChunkRows = std::size_t{1} << kChunkBits;
constexpr std::int32_t kFarWall = std::numeric_limits<std::int32_t>::min();

constexpr std::array<const char*, 9> kEventNames{"open", "reading", "reply", "command", "refused",
                                                 "link", "run",     "close", "log"};

bool SameValue(float a, float b) {
  if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
  return a == b;
}

}  // namespace

const char* RowEventName(RowEvent event) { return kEventNames[static_cast<std::size_t>(event)]; }

bool RowEventFromName(std::string_view name, RowEvent& event) {
  for (std::size_t i = 0; i < kEventNames.size(); ++i) {
    if (name == kEventNames[i]) {
      event = static_cast<RowEvent>(i);
      return true;
    }
  }
  return false;
}

bool IsLinkLoss(std::string_view linkState) {
  return linkState == "no_answer" || linkState == "lost" || linkState == "reconnecting" ||
         linkState == "not_connected";
}

// Column by column, so that drawing reads only times and pressures. The wall
// time is kept as its distance from the axis time, which is nearly always
// small; a chunk never moves once filled, so growth costs no copy.
struct Session::Chunk {
  std::vector<std::uint32_t> elapsedMs;
  std::vector<float> pressure;
  std::vector<std::int32_t> wallSkewMs;
  std::vector<std::uint32_t> detail;
  std::vector<std::uint8_t> event;
  std::vector<std::uint8_t> pump;
  std::vector<GroupExtremes> groups;

  void noteExtremes(float value, bool reading) {
    const std::size_t at = elapsedMs.size() - 1;
    if ((at & (kGroupRows - 1)) == 0) groups.emplace_back();
    if (!reading) return;
    GroupExtremes& group = groups.back();
    const auto row = static_cast<std::uint16_t>(at);
    if (!group.any || value < group.low) group.low = value, group.lowAt = row;
    if (!group.any || value > group.high) group.high = value, group.highAt = row;
    group.any = true;
  }

  Chunk() {
    elapsedMs.reserve(kChunkRows);
    pressure.reserve(kChunkRows);
    wallSkewMs.reserve(kChunkRows);
    detail.reserve(kChunkRows);
    event.reserve(kChunkRows);
    pump.reserve(kChunkRows);
  }
};

Session::Session() = default;
Session::~Session() = default;

void Session::clear() {
  chunks_.clear();
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

void Session::append(const Row& row) {
  if (size_ == 0) originMs_ = row.wallMs - row.elapsedMs;
  if (size_ % kChunkRows == 0) chunks_.push_back(std::make_unique<Chunk>());
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
  chunk.pump.push_back(row.pumpRunning ? 1 : 0);
  chunk.noteExtremes(row.pressure, row.event == RowEvent::Reading && !std::isnan(row.pressure));
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

  if (row.event != RowEvent::Link) return;
  const bool gapOpen = !linkGaps_.empty() && linkGaps_.back().open;
  const bool loss = IsLinkLoss(row.detail);
  if (loss && !gapOpen) linkGaps_.push_back({axisMs, axisMs, true});
  if (!loss && gapOpen) linkGaps_.back() = {linkGaps_.back().startMs, axisMs, false};
}

const Session::Chunk& Session::chunkOf(std::size_t index) const {
  return *chunks_[index >> kChunkBits];
}

float Session::stepValueAt(const std::vector<IndexedStep>& steps, std::size_t index) {
  auto after = std::upper_bound(steps.begin(), steps.end(), index,
                                [](std::size_t i, const IndexedStep& s) { return i < s.row; });
  return after == steps.begin() ? kNoValue : std::prev(after)->value;
}

Row Session::row(std::size_t index) const {
  const Chunk& chunk = chunkOf(index);
  const std::size_t at = index & (kChunkRows - 1);
  Row row;
  row.elapsedMs = chunk.elapsedMs[at];
  const std::int32_t skew = chunk.wallSkewMs[at];
  row.wallMs = skew == kFarWall ? farWallMs_.at(index) : originMs_ + row.elapsedMs + skew;
  row.utcOffsetMinutes = static_cast<int>(stepValueAt(offsetByRow_, index));
  row.event = static_cast<RowEvent>(chunk.event[at]);
  row.pressure = chunk.pressure[at];
  row.flow = stepValueAt(flowByRow_, index);
  row.pressureLimit = stepValueAt(limitByRow_, index);
  row.pumpRunning = chunk.pump[at] != 0;
  row.detail = details_[chunk.detail[at]];
  return row;
}

double Session::axisTimeMs(std::size_t index) const {
  return static_cast<double>(originMs_ + chunkOf(index).elapsedMs[index & (kChunkRows - 1)]);
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
  return static_cast<std::size_t>(chunk - chunks_.begin()) * kChunkRows +
         static_cast<std::size_t>(at - times.begin());
}

bool Session::isReading(std::size_t index) const {
  const Chunk& chunk = chunkOf(index);
  const std::size_t at = index & (kChunkRows - 1);
  return chunk.event[at] == static_cast<std::uint8_t>(RowEvent::Reading) &&
         !std::isnan(chunk.pressure[at]);
}

float Session::pressure(std::size_t index) const {
  return chunkOf(index).pressure[index & (kChunkRows - 1)];
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

std::size_t Session::blockOf(std::size_t index) const { return index >> kChunkBits; }

Session::Columns Session::block(std::size_t blockIndex) const {
  const Chunk& chunk = *chunks_[blockIndex];
  return {chunk.elapsedMs.data(), chunk.pressure.data(),    chunk.event.data(),
          chunk.groups.data(),    blockIndex << kChunkBits, chunk.elapsedMs.size()};
}

}  // namespace pump::trend
