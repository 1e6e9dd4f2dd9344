// Moving the trend's time span: zoom, rubber band, pan, fit all, follow.
#include "trend/time_view.h"

#include <gtest/gtest.h>

namespace pump::trend {
namespace {

TimeView Showing(double start, double end) {
  TimeView view;
  view.zoomTo(start, end);
  return view;
}

TEST(TimeView, ZoomKeepsThePointUnderThePointerWhereItWas) {
  TimeView view = Showing(0, 100'000);
  view.zoomAround(25'000, 0.5);
  EXPECT_DOUBLE_EQ(view.startMs(), 12'500);
  EXPECT_DOUBLE_EQ(view.endMs(), 62'500);
  view.zoomAround(25'000, 2);
  EXPECT_DOUBLE_EQ(view.startMs(), 0);
  EXPECT_DOUBLE_EQ(view.endMs(), 100'000);
}

TEST(TimeView, ZoomStopsAtOneSecond) {
  TimeView view = Showing(0, 10'000);
  for (int i = 0; i < 20; ++i) view.zoomAround(4'000, 0.5);
  EXPECT_DOUBLE_EQ(view.spanMs(), TimeView::kShortestSpanMs);
  EXPECT_LE(view.startMs(), 4'000);
  EXPECT_GE(view.endMs(), 4'000);
}

TEST(TimeView, RubberBandShowsItsSpanWhicheverWayItWasDragged) {
  TimeView view = Showing(0, 100'000);
  view.zoomTo(70'000, 40'000);
  EXPECT_DOUBLE_EQ(view.startMs(), 40'000);
  EXPECT_DOUBLE_EQ(view.endMs(), 70'000);
  view.zoomTo(50'000, 50'200);  // a click, not a drag: one second around it
  EXPECT_DOUBLE_EQ(view.startMs(), 49'600);
  EXPECT_DOUBLE_EQ(view.endMs(), 50'600);
}

TEST(TimeView, PanMovesBothEnds) {
  TimeView view = Showing(0, 60'000);
  view.panBy(-15'000);
  EXPECT_DOUBLE_EQ(view.startMs(), -15'000);
  EXPECT_DOUBLE_EQ(view.endMs(), 45'000);
}

TEST(TimeView, FitAllShowsEverythingWithALittleRoom) {
  TimeView view;
  view.fitAll(1'000'000, 1'100'000);
  EXPECT_DOUBLE_EQ(view.startMs(), 998'000);
  EXPECT_DOUBLE_EQ(view.endMs(), 1'102'000);
  view.fitAll(5'000, 5'000);  // one row: a minute around it
  EXPECT_DOUBLE_EQ(view.startMs(), -25'000);
  EXPECT_DOUBLE_EQ(view.endMs(), 35'000);
}

TEST(TimeView, FollowShowsTheNewestMinuteUntilTheOperatorMovesTheView) {
  TimeView view;
  view.follow(600'000);
  EXPECT_TRUE(view.following());
  EXPECT_DOUBLE_EQ(view.spanMs(), 60'000);
  EXPECT_GT(view.endMs(), 600'000);
  EXPECT_LT(view.endMs() - 600'000, 5'000);

  view.advance(660'000);
  EXPECT_GT(view.endMs(), 660'000);
  EXPECT_LT(view.startMs(), 660'000 - 55'000);

  view.panBy(-1000);
  EXPECT_FALSE(view.following());
  const double end = view.endMs();
  view.advance(720'000);
  EXPECT_DOUBLE_EQ(view.endMs(), end);
}

}  // namespace
}  // namespace pump::trend
