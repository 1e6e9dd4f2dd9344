// What one view of a session draws besides the pressure line: steps, bands,
// and value axes that end on round numbers.
#include <gtest/gtest.h>

#include "tests/trend/logic/rows.h"
#include "trend/trend_picture.h"

namespace pump::trend {
namespace {

using testing::AxisMs;
using testing::Reading;

TEST(Picture, ValueAxesEndOnARoundTopWithEvenIntervals) {
  const auto top = [](double v) { return std::pair{NiceRange(v).high, NiceRange(v).intervals}; };
  EXPECT_EQ(top(5.06), (std::pair{6.0, 6}));
  EXPECT_EQ(top(2.75), (std::pair{3.0, 6}));
  EXPECT_EQ(top(240), (std::pair{250.0, 5}));
  EXPECT_EQ(top(10), (std::pair{10.0, 5}));
  EXPECT_EQ(top(0), (std::pair{1.0, 5}));
}

TEST(Picture, LimitAndFlowAreStairsAcrossTheViewAndBandsAreClippedToIt) {
  Session session;
  for (int i = 0; i <= 100; ++i) {
    Row row = Reading(i * 1000, 2);
    row.pressureLimit = i < 40 ? 2.5f : 4.0f;
    row.flow = 120;
    row.pumpRunning = i >= 10 && i < 90;
    session.append(row);
  }
  PictureRequest request;
  request.view.zoomTo(AxisMs(20'000), AxisMs(60'000));
  request.widthPx = 400;
  const TrendPicture picture = ComposePicture(session, request);

  ASSERT_EQ(picture.pressureLimit.size(), 4u);
  EXPECT_EQ(picture.pressureLimit[0].timeMs, AxisMs(20'000));
  EXPECT_EQ(picture.pressureLimit[0].value, 2.5);
  EXPECT_EQ(picture.pressureLimit[1].timeMs, AxisMs(40'000));
  EXPECT_EQ(picture.pressureLimit[1].value, 2.5);
  EXPECT_EQ(picture.pressureLimit[2].value, 4);
  EXPECT_EQ(picture.pressureLimit[3].timeMs, AxisMs(60'000));
  ASSERT_EQ(picture.flow.size(), 2u);
  ASSERT_EQ(picture.runPeriods.size(), 1u);
  EXPECT_EQ(picture.runPeriods[0].startMs, AxisMs(20'000));
  EXPECT_EQ(picture.runPeriods[0].endMs, AxisMs(60'000));
  EXPECT_EQ(picture.pressureRange.high, 5);  // the limit of 4 stays in sight
  EXPECT_EQ(picture.date, "2026-12-07");
  EXPECT_FALSE(picture.ticks.empty());
}

}  // namespace
}  // namespace pump::trend
