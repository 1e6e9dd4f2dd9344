#include "report/event_columns.h"

#include <numeric>

namespace pump::report {

namespace {

EventColumns OneColumn(const std::vector<double>& heights, double top) {
  EventColumns placed;
  for (double height : heights) {
    placed.places.push_back({1, 0, top});
    top += height;
  }
  return placed;
}

EventColumns TwoColumns(const std::vector<double>& heights, double firstTop, double nextTop,
                        double bottom) {
  EventColumns placed;
  placed.columns = 2;
  EventPlace at{1, 0, firstTop};
  double columnTop = firstTop;
  for (double height : heights) {
    // An event taller than a whole column still goes at a column's top.
    if (at.top + height > bottom && at.top > columnTop) {
      if (++at.column == 2) {
        at.column = 0;
        ++at.page;
        columnTop = nextTop;
      }
      at.top = columnTop;
    }
    placed.places.push_back(at);
    at.top += height;
  }
  placed.pages = at.page;
  return placed;
}

}  // namespace

EventColumns PlaceEvents(const EventHeights& heights, double firstTop, double nextTop,
                         double bottom) {
  const double oneColumn = std::accumulate(heights.fullWidth.begin(), heights.fullWidth.end(), 0.0);
  if (firstTop + oneColumn <= bottom) return OneColumn(heights.fullWidth, firstTop);
  return TwoColumns(heights.halfWidth, firstTop, nextTop, bottom);
}

}  // namespace pump::report
