// The figures of a run, worked out from a run log's rows as they are read,
// over the whole log or a time range of it.
//
// Rules, as the report states them:
// - A reading answers for the pump until the next one. Two readings more
//   than kNoAnswerGapMs apart (three poll periods, when the console itself
//   calls the link lost) leave the whole space between them with no answer,
//   unless the operator closed the port in between; so does the time from
//   the last reading to the end of the range when the link was lost after it.
//   The chart breaks its lines at the same places.
// - Time at or over the limit: the spaces between readings (not a gap) that
//   start with a pressure at or over the limit in force.
// - Running time: the spaces between consecutive rows that start with the
//   pump running. Volume: the flow setpoint of each such space's first row
//   times its length, added up (the pump holds a setpoint until the next).
// - The 95th percentile is the nearest-rank one: the smallest reading with
//   at least 95 % of the readings at or below it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "report/log_entries.h"

namespace pump::report {

constexpr std::int64_t kNoAnswerGapMs = 4500;

// Wall times (UTC milliseconds); a bound not given is open.
struct TimeRange {
  std::optional<std::int64_t> fromMs, toMs;
};

struct LocalMoment {
  std::int64_t wallMs = 0;
  int utcOffsetMinutes = 0;
};

struct EventLine {
  LocalMoment at;
  std::string kind;    // the log's event name
  std::string detail;  // as logged, control bytes replaced
};

// A value holding from `seconds` (since the range's first row) on.
struct ChartStep {
  double seconds;
  float value;
};

// The chart's lines, already thinned for a page: each pressure piece is a
// line of its own, with the gaps between them left empty.
struct ChartLines {
  double spanSeconds = 0;
  std::vector<std::vector<ChartStep>> pressurePieces;
  std::vector<ChartStep> limit, flow;
};

struct RunFigures {
  bool anyRow = false;
  LocalMoment start, end;
  std::int64_t durationMs = 0;
  std::string port;  // from the first open row
  std::string programName;
  std::string group;  // the group the program ran in and its members: "g1 P01 P02"
  std::uint64_t rows = 0, readings = 0;
  float pressureMin = 0, pressureMean = 0, pressureMax = 0, pressureP95 = 0;
  double overLimitSeconds = 0, noAnswerSeconds = 0, runningSeconds = 0;
  double volumeMl = 0;
  std::vector<EventLine> events;
  std::uint64_t eventsLeftOut = 0;  // past kMostEvents
  ChartLines chart;
};

constexpr std::size_t kMostEvents = 20000;
// Points the chart's pressure line is thinned to: a lowest and a highest per column.
constexpr std::size_t kChartColumns = 1000;

class FigureBuilder {
 public:
  explicit FigureBuilder(TimeRange range = {});
  ~FigureBuilder();
  FigureBuilder(const FigureBuilder&) = delete;
  FigureBuilder& operator=(const FigureBuilder&) = delete;

  void add(const LogEntry& entry);
  RunFigures finish();

 private:
  struct Tally;
  void addReading(const LogEntry& entry, double seconds);
  void addInterval(const LogEntry& entry);
  void noteEvent(const LogEntry& entry);
  void noteSteps(const LogEntry& entry, double seconds);
  void finishPressure();

  TimeRange range_;
  RunFigures figures_;
  std::unique_ptr<Tally> tally_;
};

// Reads a log and works out its figures: the reading tells of a refusal or
// of skipped rows.
struct LogFigures {
  LogReading reading;
  RunFigures figures;
};
LogFigures FiguresOfLog(const std::string& path, TimeRange range = {});

}  // namespace pump::report
