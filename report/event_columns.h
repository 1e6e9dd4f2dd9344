// Where each line of the report's event list goes: one column under the
// figures when the whole list fits there, else two columns a page, filled
// down the left column first, on the first page and on every page after it.
#pragma once

#include <cstddef>
#include <vector>

namespace pump::report {

struct EventPlace {
  int page = 1;    // from 1
  int column = 0;  // 0 left, 1 right
  double top = 0;  // millimetres from the top of the page
};

struct EventColumns {
  int columns = 1;
  int pages = 1;
  std::vector<EventPlace> places;  // one for each event, in order
};

// The heights of the events (millimetres) as one full-width column and as
// half-width columns; the list starts at `firstTop` on page 1 and at
// `nextTop` on later pages, and ends at `bottom` on every page.
struct EventHeights {
  std::vector<double> fullWidth;
  std::vector<double> halfWidth;
};
EventColumns PlaceEvents(const EventHeights& heights, double firstTop, double nextTop,
                         double bottom);

}  // namespace pump::report
