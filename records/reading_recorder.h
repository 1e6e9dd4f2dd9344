// The chart and the record follow the session: every reply steps the chart
// with the current pressure, and every reading is recorded.
#pragma once

#include <functional>

#include "records/pressure_record.h"
#include "records/trend_chart.h"
#include "session/session_events.h"

namespace pump::records {

class ReadingRecorder {
 public:
  // `onFirstDropped` is told once, when the first reading finds the record full.
  ReadingRecorder(session::EventFeed& feed, TrendChart& chart, PressureRecord& record,
                  std::function<void()> onFirstDropped);

 private:
  void take(const session::SessionEvent& event);

  TrendChart& chart_;
  PressureRecord& record_;
  std::function<void()> onFirstDropped_;
  bool droppedTold_ = false;
};

}  // namespace pump::records
