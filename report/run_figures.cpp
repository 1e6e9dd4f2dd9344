#include "report/run_figures.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace pump::report {

namespace {

bool IsListedEvent(EventKind event) {
  return event != EventKind::Reading && event != EventKind::Reply;
}

bool IsLinkLoss(std::string_view state) {
  return state == "no_answer" || state == "lost" || state == "reconnecting" ||
         state == "not_connected";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The log writes every byte outside printable ASCII (and the backslash) as
// "\xHH": those bytes back.
std::string Unescaped(std::string_view detail) {
  std::string bytes;
  for (std::size_t i = 0; i < detail.size(); ++i) {
    const int high = i + 3 < detail.size() && detail[i] == '\\' && detail[i + 1] == 'x'
                         ? HexDigit(detail[i + 2])
                         : -1;
    const int low = high >= 0 ? HexDigit(detail[i + 3]) : -1;
    if (low < 0) {
      bytes += detail[i];
      continue;
    }
    bytes += static_cast<char>(high * 16 + low);
    i += 3;
  }
  return bytes;
}

// The length of the UTF-8 character `lead` starts, or 0 if it starts none.
std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Whole UTF-8 characters of `bytes`, at most `most` bytes of them; nothing
// if `bytes` is not UTF-8.
std::optional<std::string> Utf8Prefix(const std::string& bytes, std::size_t most) {
  std::size_t end = 0;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = Utf8Length(static_cast<unsigned char>(bytes[i]));
    if (length == 0 || i + length > bytes.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return std::nullopt;
    }
    i += length;
    if (i <= most) end = i;
  }
  return bytes.substr(0, end);
}

// A detail as the report shows it: escaped text such as a program's Chinese
// name read back, control bytes as '?', cut to 200 bytes.
std::string Printable(std::string_view detail) {
  constexpr std::size_t kMost = 200;
  std::string text =
      Utf8Prefix(Unescaped(detail), kMost).value_or(std::string(detail.substr(0, kMost)));
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
  }
  return text;
}

void NoteStep(std::vector<ChartStep>& steps, double seconds, float value) {
  if (std::isnan(value)) return;
  if (!steps.empty() && steps.back().value == value) return;
  steps.push_back({seconds, value});
}

// The lowest and highest point of each column, in the order they came.
std::vector<ChartStep> Thinned(const std::vector<float>& times, const std::vector<float>& values,
                               std::size_t begin, std::size_t end, double secondsPerColumn) {
  std::vector<ChartStep> points;
  for (std::size_t i = begin; i < end;) {
    const auto column = static_cast<std::int64_t>(times[i] / secondsPerColumn);
    std::size_t low = i, high = i;
    for (; i < end && static_cast<std::int64_t>(times[i] / secondsPerColumn) == column; ++i) {
      if (values[i] < values[low]) low = i;
      if (values[i] > values[high]) high = i;
    }
    points.push_back({times[std::min(low, high)], values[std::min(low, high)]});
    if (low != high) points.push_back({times[std::max(low, high)], values[std::max(low, high)]});
  }
  return points;
}

}  // namespace

struct FigureBuilder::Tally {
  bool anyRow = false;
  std::int64_t firstElapsedMs = 0, lastElapsedMs = 0;
  bool lastRunning = false;
  float lastFlow = 0;
  bool anyReading = false;
  std::int64_t readingElapsedMs = 0;
  float readingPressure = 0, readingLimit = 0;
  bool closedSinceReading = false, lossSinceReading = false;
  float limitInForce = std::nanf("");
  double pressureSum = 0;
  std::vector<float> times, pressures;
  std::vector<std::size_t> pieceStarts;
};

FigureBuilder::FigureBuilder(TimeRange range) : range_(range), tally_(std::make_unique<Tally>()) {}
FigureBuilder::~FigureBuilder() = default;

void FigureBuilder::add(const LogEntry& entry) {
  if (range_.fromMs && entry.wallMs < *range_.fromMs) return;
  if (range_.toMs && entry.wallMs > *range_.toMs) return;
  Tally& t = *tally_;
  if (!t.anyRow) {
    t.anyRow = figures_.anyRow = true;
    t.firstElapsedMs = entry.elapsedMs;
    figures_.start = {entry.wallMs, entry.utcOffsetMinutes};
  } else {
    addInterval(entry);
  }
  ++figures_.rows;
  figures_.end = {entry.wallMs, entry.utcOffsetMinutes};
  const double seconds = static_cast<double>(entry.elapsedMs - t.firstElapsedMs) / 1000.0;
  if (!std::isnan(entry.pressureLimit)) t.limitInForce = entry.pressureLimit;
  noteSteps(entry, seconds);
  if (entry.event == EventKind::Reading && !std::isnan(entry.pressure)) addReading(entry, seconds);
  if (IsListedEvent(entry.event)) noteEvent(entry);
  t.lastElapsedMs = entry.elapsedMs;
  t.lastRunning = entry.pumpRunning;
  t.lastFlow = entry.flow;
}

void FigureBuilder::addInterval(const LogEntry& entry) {
  const Tally& t = *tally_;
  const double seconds = static_cast<double>(entry.elapsedMs - t.lastElapsedMs) / 1000.0;
  if (!t.lastRunning) return;
  figures_.runningSeconds += seconds;
  if (!std::isnan(t.lastFlow)) figures_.volumeMl += t.lastFlow * seconds / 60.0;
}

void FigureBuilder::addReading(const LogEntry& entry, double seconds) {
  Tally& t = *tally_;
  if (t.anyReading) {
    const std::int64_t spaceMs = entry.elapsedMs - t.readingElapsedMs;
    const double space = static_cast<double>(spaceMs) / 1000.0;
    if (spaceMs > kNoAnswerGapMs) {
      if (!t.closedSinceReading) figures_.noAnswerSeconds += space;
      t.pieceStarts.push_back(t.times.size());
    } else if (!std::isnan(t.readingLimit) && t.readingPressure >= t.readingLimit) {
      figures_.overLimitSeconds += space;
    }
  } else {
    t.pieceStarts.push_back(0);
  }
  t.anyReading = true;
  t.readingElapsedMs = entry.elapsedMs;
  t.readingPressure = entry.pressure;
  t.readingLimit = t.limitInForce;
  t.closedSinceReading = t.lossSinceReading = false;
  ++figures_.readings;
  t.pressureSum += entry.pressure;
  t.times.push_back(static_cast<float>(seconds));
  t.pressures.push_back(entry.pressure);
}

void FigureBuilder::noteEvent(const LogEntry& entry) {
  Tally& t = *tally_;
  if (entry.event == EventKind::Close) t.closedSinceReading = true;
  if (entry.event == EventKind::Link && IsLinkLoss(entry.detail)) t.lossSinceReading = true;
  if (entry.event == EventKind::Open && figures_.port.empty())
    figures_.port = Printable(entry.detail);
  if (entry.event == EventKind::Program && figures_.programName.empty() &&
      entry.detail.substr(0, 6) == "start ") {
    figures_.programName = Printable(entry.detail.substr(6));
  }
  if (entry.event == EventKind::Program && figures_.group.empty() &&
      entry.detail.substr(0, 6) == "group ") {
    figures_.group = Printable(entry.detail.substr(6));
  }
  if (figures_.events.size() >= kMostEvents) {
    ++figures_.eventsLeftOut;
    return;
  }
  figures_.events.push_back({{entry.wallMs, entry.utcOffsetMinutes},
                             EventKindName(entry.event),
                             Printable(entry.detail)});
}

void FigureBuilder::noteSteps(const LogEntry& entry, double seconds) {
  NoteStep(figures_.chart.limit, seconds, entry.pressureLimit);
  NoteStep(figures_.chart.flow, seconds, entry.flow);
}

void FigureBuilder::finishPressure() {
  Tally& t = *tally_;
  if (t.times.empty()) return;
  const double secondsPerColumn =
      std::max(figures_.chart.spanSeconds, 1.0) / static_cast<double>(kChartColumns);
  t.pieceStarts.push_back(t.times.size());
  for (std::size_t i = 0; i + 1 < t.pieceStarts.size(); ++i) {
    figures_.chart.pressurePieces.push_back(
        Thinned(t.times, t.pressures, t.pieceStarts[i], t.pieceStarts[i + 1], secondsPerColumn));
  }
  figures_.pressureMean = static_cast<float>(t.pressureSum / static_cast<double>(t.times.size()));
  auto& p = t.pressures;
  const auto [low, high] = std::minmax_element(p.begin(), p.end());
  figures_.pressureMin = *low;
  figures_.pressureMax = *high;
  const auto rank = static_cast<std::size_t>(std::ceil(0.95 * static_cast<double>(p.size())));
  const auto at = p.begin() + static_cast<std::ptrdiff_t>(std::max<std::size_t>(rank, 1) - 1);
  std::nth_element(p.begin(), at, p.end());
  figures_.pressureP95 = *at;
}

RunFigures FigureBuilder::finish() {
  Tally& t = *tally_;
  figures_.durationMs = t.lastElapsedMs - t.firstElapsedMs;
  figures_.chart.spanSeconds = static_cast<double>(figures_.durationMs) / 1000.0;
  if (t.anyReading && t.lossSinceReading && !t.closedSinceReading) {
    figures_.noAnswerSeconds += static_cast<double>(t.lastElapsedMs - t.readingElapsedMs) / 1000.0;
  }
  finishPressure();
  return std::move(figures_);
}

LogFigures FiguresOfLog(const std::string& path, TimeRange range) {
  FigureBuilder builder(range);
  LogFigures result;
  result.reading = ReadLogEntries(path, [&builder](const LogEntry& entry) { builder.add(entry); });
  if (result.reading.error.empty()) result.figures = builder.finish();
  return result;
}

}  // namespace pump::report
