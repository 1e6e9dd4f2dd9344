#include "records/reading_recorder.h"

namespace pump::records {

ReadingRecorder::ReadingRecorder(session::EventFeed& feed, TrendChart& chart,
                                 PressureRecord& record, std::function<void()> onFirstDropped)
    : chart_(chart), record_(record), onFirstDropped_(std::move(onFirstDropped)) {
  feed.subscribe([this](const session::SessionEvent& event) { take(event); });
}

// A reply that is no reading still steps the chart, with the pressure shown.
// A full record keeps its readings and drops later ones.
void ReadingRecorder::take(const session::SessionEvent& event) {
  if (event.kind != EventKind::Reading && event.kind != EventKind::Reply) return;
  const auto pressure = event.state.currentPressure.value();
  if (event.kind == EventKind::Reading && pressure && !record_.add(*pressure) && !droppedTold_) {
    droppedTold_ = true;
    if (onFirstDropped_) onFirstDropped_();
  }
  chart_.update(pressure);
}

}  // namespace pump::records
