#include "trend/decimate.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pump::trend {

namespace {

constexpr auto kReading = static_cast<std::uint8_t>(EventKind::Reading);

bool IsReadingAt(const Session::Columns& c, std::size_t at) {
  return c.event[at] == kReading && !std::isnan(c.pressure[at]);
}

// Where the line may run without crossing a gap: [startMs, endMs].
struct Stretch {
  double startMs;
  double endMs;
};

std::vector<Stretch> StretchesBetween(const std::vector<Span>& gaps) {
  std::vector<Stretch> stretches;
  double from = -std::numeric_limits<double>::infinity();
  for (const Span& gap : gaps) {
    stretches.push_back({from, gap.startMs});
    from = gap.endMs;
  }
  stretches.push_back({from, std::numeric_limits<double>::infinity()});
  return stretches;
}

// Lowest and highest reading of one column, by row.
struct ColumnExtremes {
  std::size_t minRow = 0, maxRow = 0;
  float minValue = 0, maxValue = 0;
  bool any = false;

  void take(std::size_t row, float value) {
    if (!any || value < minValue) minRow = row, minValue = value;
    if (!any || value > maxValue) maxRow = row, maxValue = value;
    any = true;
  }
};

class ColumnBinner {
 public:
  ColumnBinner(const Session& session, double startMs, double endMs, int columns, Polyline& out)
      : session_(session),
        startMs_(startMs),
        width_((endMs - startMs) / std::max(columns, 1)),
        out_(out) {}

  // Rows [from, to), all inside one stretch.
  void scan(std::size_t from, std::size_t to) {
    if (from >= to) return;
    const double origin = static_cast<double>(session_.originMs());
    for (std::size_t b = session_.blockOf(from); b <= session_.blockOf(to - 1); ++b) {
      const Session::Columns c = session_.block(b);
      const std::size_t first = std::max(from, c.firstRow) - c.firstRow;
      const std::size_t last = std::min(to, c.firstRow + c.count) - c.firstRow;
      for (std::size_t at = first; at < last;) {
        if (takeGroup(c, at, last, origin)) {
          at += Session::kGroupRows;
          continue;
        }
        if (IsReadingAt(c, at)) {
          const double t = origin + c.elapsedMs[at];
          if (t >= columnEnd_) startColumnAt(t);
          extremes_.take(c.firstRow + at, c.pressure[at]);
        }
        ++at;
      }
    }
  }

  void finish() { flush(); }

 private:
  // A whole group of rows that falls inside one column counts by its
  // extremes alone.
  bool takeGroup(const Session::Columns& c, std::size_t at, std::size_t last, double origin) {
    if ((at & (Session::kGroupRows - 1)) != 0 || at + Session::kGroupRows > last) return false;
    const double first = origin + c.elapsedMs[at];
    if (first >= columnEnd_) startColumnAt(first);
    if (origin + c.elapsedMs[at + Session::kGroupRows - 1] >= columnEnd_) return false;
    const Session::GroupExtremes& group = c.groups[at >> Session::kGroupBits];
    if (group.any) {
      extremes_.take(c.firstRow + group.lowAt, group.low);
      extremes_.take(c.firstRow + group.highAt, group.high);
    }
    return true;
  }

  void startColumnAt(double t) {
    flush();
    const double column = std::floor((t - startMs_) / width_);
    columnEnd_ = startMs_ + (column + 1) * width_;
  }

  void flush() {
    if (!extremes_.any) return;
    const std::size_t a = std::min(extremes_.minRow, extremes_.maxRow);
    const std::size_t b = std::max(extremes_.minRow, extremes_.maxRow);
    out_.push_back({session_.axisTimeMs(a), session_.pressure(a)});
    if (b != a) out_.push_back({session_.axisTimeMs(b), session_.pressure(b)});
    extremes_ = {};
  }

  const Session& session_;
  double startMs_, width_;
  double columnEnd_ = -std::numeric_limits<double>::infinity();
  ColumnExtremes extremes_;
  Polyline& out_;
};

// The nearest reading before `row` that is not before `limitMs`, if any.
bool ReadingBefore(const Session& s, std::size_t row, double limitMs, std::size_t& found) {
  for (std::size_t i = row; i-- > 0;) {
    if (s.axisTimeMs(i) < limitMs) return false;
    if (s.isReading(i)) return found = i, true;
  }
  return false;
}

bool ReadingFrom(const Session& s, std::size_t row, double limitMs, std::size_t& found) {
  for (std::size_t i = row; i < s.size(); ++i) {
    if (s.axisTimeMs(i) > limitMs) return false;
    if (s.isReading(i)) return found = i, true;
  }
  return false;
}

Polyline DecimateStretch(const Session& s, Stretch stretch, double startMs, double endMs,
                         int columns) {
  Polyline line;
  const double from = std::max(stretch.startMs, startMs);
  const double to = std::min(stretch.endMs, endMs);
  const std::size_t first = s.lowerBound(from);
  std::size_t last = s.lowerBound(std::nextafter(to, std::numeric_limits<double>::infinity()));
  std::size_t edge = 0;
  if (ReadingBefore(s, first, stretch.startMs, edge)) {
    line.push_back({s.axisTimeMs(edge), s.pressure(edge)});
  }
  ColumnBinner binner(s, startMs, endMs, columns, line);
  binner.scan(first, last);
  binner.finish();
  if (ReadingFrom(s, last, stretch.endMs, edge)) {
    line.push_back({s.axisTimeMs(edge), s.pressure(edge)});
  }
  return line;
}

}  // namespace

std::vector<Polyline> DecimatePressure(const Session& session, double startMs, double endMs,
                                       int columns, const std::vector<Span>& gaps) {
  std::vector<Polyline> lines;
  if (session.empty() || !(endMs > startMs)) return lines;
  for (const Stretch& stretch : StretchesBetween(gaps)) {
    if (stretch.endMs < startMs || stretch.startMs > endMs) continue;
    Polyline line = DecimateStretch(session, stretch, startMs, endMs, columns);
    if (!line.empty()) lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace pump::trend
