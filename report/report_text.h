// The report's words and figures as lines of text: what the PDF draws, and
// what a reader gets back from it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/run_figures.h"

namespace pump::report {

// Who made the report, and for which pump.
struct ReportIdentity {
  std::string pumpId;
  std::string computer;
  std::string user;
};

// A label and its value, drawn side by side.
struct LabelledValue {
  std::string label;
  std::string value;
};

// "2026-12-07T14:03:22.517+08:00": local time with its offset.
std::string LocalTimeText(const LocalMoment& moment);
// "20.0 秒", and from a minute on "3725.0 秒（1:02:05）".
std::string DurationText(double seconds);

std::vector<LabelledValue> HeaderLines(const RunFigures& figures, const ReportIdentity& identity);
std::vector<LabelledValue> FigureLines(const RunFigures& figures, const LogReading& reading);
// The time (without the date on the run's first day), the kind in words, and the detail.
LabelledValue EventText(const EventLine& event, const LocalMoment& start);

// A bound of a range as typed: "2026-12-07T14:03:22" with optional
// milliseconds and UTC offset (without one, this machine's local time).
// UTC milliseconds, or nothing if the text is not such a time.
std::optional<std::int64_t> ParseRangeTime(std::string_view text);

}  // namespace pump::report
