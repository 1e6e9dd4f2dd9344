// Where the event list's lines go: one column when they fit under the
// figures, else two columns a page, left column first.
#include "report/event_columns.h"

#include <gtest/gtest.h>

namespace pump::report {
namespace {

EventHeights Even(std::size_t events, double full, double half) {
  return {std::vector<double>(events, full), std::vector<double>(events, half)};
}

TEST(EventColumns, AListThatFitsUnderTheFiguresStaysOneColumnOnOnePage) {
  const EventColumns placed = PlaceEvents(Even(10, 4, 8), 200, 16, 240);
  EXPECT_EQ(placed.columns, 1);
  EXPECT_EQ(placed.pages, 1);
  EXPECT_EQ(placed.places.back().top, 236);
  EXPECT_EQ(placed.places.back().column, 0);
}

TEST(EventColumns, AListThatWouldSpillFillsTheLeftColumnThenTheRightOnPageOne) {
  // Room for 10 a column: 11 go into two columns, the 11th atop the right one.
  const EventColumns placed = PlaceEvents(Even(11, 4, 4), 200, 16, 240);
  EXPECT_EQ(placed.columns, 2);
  EXPECT_EQ(placed.pages, 1);
  EXPECT_EQ(placed.places[9].column, 0);
  EXPECT_EQ(placed.places[9].top, 236);
  EXPECT_EQ(placed.places[10].column, 1);
  EXPECT_EQ(placed.places[10].top, 200);
}

TEST(EventColumns, LaterPagesStartAtTheirTopInTwoColumnsAndAreCounted) {
  // Page 1 holds 2 x 10; later pages 2 x 56.
  const EventColumns placed = PlaceEvents(Even(20 + 112 + 1, 4, 4), 200, 16, 240);
  EXPECT_EQ(placed.pages, 3);
  EXPECT_EQ(placed.places[20].page, 2);
  EXPECT_EQ(placed.places[20].top, 16);
  EXPECT_EQ(placed.places[20 + 56].column, 1);
  EXPECT_EQ(placed.places.back().page, 3);
  EXPECT_EQ(placed.places.back().column, 0);
}

TEST(EventColumns, AWrappedEventMovesWholeToTheNextColumn) {
  EventHeights heights = Even(10, 4, 4);
  heights.fullWidth.push_back(4);
  heights.halfWidth[9] = 8;  // wraps to two lines in a half column: no longer fits at 236
  heights.halfWidth.push_back(4);
  const EventColumns placed = PlaceEvents(heights, 200, 16, 240);
  EXPECT_EQ(placed.places[9].column, 1);
  EXPECT_EQ(placed.places[9].top, 200);
  EXPECT_EQ(placed.places[10].top, 208);
}

}  // namespace
}  // namespace pump::report
