#include "trend/time_view.h"

#include <algorithm>

namespace pump::trend {

void TimeView::show(double startMs, double endMs) {
  if (endMs - startMs < kShortestSpanMs) {
    const double middle = (startMs + endMs) / 2;
    startMs = middle - kShortestSpanMs / 2;
    endMs = middle + kShortestSpanMs / 2;
  }
  startMs_ = startMs;
  endMs_ = endMs;
}

void TimeView::zoomAround(double anchorMs, double factor) {
  if (!(factor > 0)) return;
  following_ = false;
  const double span = std::max(spanMs() * factor, kShortestSpanMs);
  const double share = spanMs() > 0 ? (anchorMs - startMs_) / spanMs() : 0.5;
  show(anchorMs - share * span, anchorMs - share * span + span);
}

void TimeView::zoomTo(double aMs, double bMs) {
  following_ = false;
  show(std::min(aMs, bMs), std::max(aMs, bMs));
}

void TimeView::panBy(double deltaMs) {
  following_ = false;
  show(startMs_ + deltaMs, endMs_ + deltaMs);
}

void TimeView::fitAll(double firstMs, double lastMs) {
  following_ = false;
  if (lastMs <= firstMs) {
    show(firstMs - kEmptySpanMs / 2, firstMs + kEmptySpanMs / 2);
    return;
  }
  const double room = (lastMs - firstMs) * 0.02;
  show(firstMs - room, lastMs + room);
}

void TimeView::follow(double newestMs) {
  following_ = true;
  advance(newestMs);
}

void TimeView::advance(double newestMs) {
  if (!following_) return;
  // A little room after the newest point, so it is not on the border.
  const double room = kFollowSpanMs * 0.02;
  show(newestMs + room - kFollowSpanMs, newestMs + room);
}

}  // namespace pump::trend
