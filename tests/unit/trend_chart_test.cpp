// The pressure trend: what each update stores and the exact lines it draws.
#include "records/trend_chart.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/doubles.h"
#include "vocabulary/quantity.h"

namespace pump {
namespace {

using Line = testing::RecordingCanvas::Line;

constexpr Rgb kRed{255, 0, 0};

// The zero line and the three ticks, then the trace segment.
std::vector<Line> UpdateLines(float x1, float y1, float x2, float y2) {
  return {{0, 0, 100, 0, std::nullopt},
          {0, 2.5f, 1.5f, 2.5f, std::nullopt},
          {0, 5.0f, 1.5f, 5.0f, std::nullopt},
          {0, 7.5f, 1.5f, 7.5f, std::nullopt},
          {x1, y1, x2, y2, kRed}};
}

// The pump's characters as the session reads them.
std::optional<double> Reading(const std::string& characters) {
  return ::pump::Pressure::Read(characters).value();
}

struct Chart : ::testing::Test {
  testing::RecordingCanvas canvas;
  records::TrendChart chart{canvas};

  Chart() { chart.setUp(); }

  // The lines one update draws.
  std::vector<Line> drawnBy(const std::string& caption) {
    const std::size_t before = canvas.lines.size();
    chart.update(Reading(caption));
    return {canvas.lines.begin() + static_cast<long>(before), canvas.lines.end()};
  }
  Line traceOf(const std::string& caption) { return drawnBy(caption).back(); }
  void updates(int n, const std::string& caption) {
    for (int i = 0; i < n; ++i) chart.update(Reading(caption));
  }
};

TEST_F(Chart, SetUpScalesZeroToHundredAcrossAndTenToMinusFourDown) {
  EXPECT_EQ(canvas.scale, (std::array<float, 4>{0, 10, 100, -4}));
  EXPECT_EQ(chart.sampleAt(0), 0.0);
  EXPECT_TRUE(canvas.lines.empty());
}

TEST_F(Chart, FirstUpdateDrawsAxesAndASegmentFromOffTheLeftEdge) {
  EXPECT_EQ(drawnBy("02.5"), UpdateLines(-1, 0, 0, 2.5f));
  EXPECT_EQ(chart.sampleAt(0), 2.5);
  EXPECT_EQ(chart.position(), 1);
}

TEST_F(Chart, DesignCaptionDrawsAlongTheZeroLine) {
  EXPECT_EQ(drawnBy("00.0"), UpdateLines(-1, 0, 0, 0));
}

TEST_F(Chart, ScriptedSeriesJoinsSamplesAndSkipsCaptionsThatAreNotNumbers) {
  EXPECT_EQ(traceOf("01.0"), (Line{-1, 0, 0, 1.0f, kRed}));
  EXPECT_EQ(traceOf("03.5"), (Line{0, 1.0f, 1, 3.5f, kRed}));
  EXPECT_EQ(drawnBy("ABCD"), UpdateLines(1, 3.5f, 2, 0)) << "no sample yet at index 2";
  EXPECT_EQ(chart.sampleAt(2), 0.0);
  EXPECT_EQ(traceOf("01.5"), (Line{2, 0, 3, 1.5f, kRed}));
  EXPECT_EQ(traceOf(""), (Line{3, 1.5f, 4, 0, kRed}));
  EXPECT_EQ(traceOf("-1.0"), (Line{4, 0, 5, -1.0f, kRed})) << "below the zero line";
  EXPECT_EQ(chart.position(), 6);
  EXPECT_EQ(canvas.lines.size(), 30u);
}

TEST_F(Chart, TextThatIsNotANumberKeepsTheSampleOfTheEarlierPass) {
  updates(3, "04.0");
  updates(97, "01.0");
  ASSERT_EQ(chart.position(), 0);
  chart.update(Reading("05.0"));
  chart.update(Reading("05.0"));
  EXPECT_EQ(traceOf("?"), (Line{1, 5.0f, 2, 4.0f, kRed}));
  EXPECT_EQ(chart.sampleAt(2), 4.0);
}

TEST_F(Chart, HundredthUpdateDrawsTheLastSegmentThenClears) {
  updates(99, "02.0");
  EXPECT_EQ(canvas.lines.size(), 99u * 5);
  EXPECT_EQ(canvas.clears, 0);
  EXPECT_EQ(chart.position(), 99);

  chart.update(Reading("03.0"));
  EXPECT_EQ(canvas.clears, 1);
  EXPECT_TRUE(canvas.lines.empty());
  EXPECT_EQ(chart.position(), 0);
  EXPECT_EQ(chart.sampleAt(99), 3.0);

  EXPECT_EQ(drawnBy("04.0"), UpdateLines(-1, 0, 0, 4.0f)) << "a new pass starts at (-1, 0)";
  EXPECT_EQ(chart.sampleAt(-1), 0.0);
  EXPECT_EQ(chart.sampleAt(100), 0.0);
  EXPECT_EQ(chart.sampleAt(101), 0.0);
}

// Keeps every line, also those a clear wipes from the recording canvas.
struct KeepingCanvas : testing::RecordingCanvas {
  std::vector<Line> all;
  void line(float x1, float y1, float x2, float y2, std::optional<Rgb> colour) override {
    all.push_back({x1, y1, x2, y2, colour});
  }
};

TEST(ChartPass, HundredthSegmentEndsAtNinetyNineBeforeTheClear) {
  KeepingCanvas canvas;
  records::TrendChart chart{canvas};
  chart.setUp();
  for (int i = 0; i < 99; ++i) chart.update(Reading("02.0"));
  EXPECT_EQ(canvas.all.back(), (Line{97, 2.0f, 98, 2.0f, kRed}));
  chart.update(Reading("06.0"));
  EXPECT_EQ(canvas.all.back(), (Line{98, 2.0f, 99, 6.0f, kRed}));
  EXPECT_EQ(canvas.clears, 1);
}

TEST_F(Chart, ManyPassesWrapEveryHundredUpdates) {
  updates(1000, "01.0");
  EXPECT_EQ(canvas.clears, 10);
  EXPECT_EQ(chart.position(), 0);
  updates(42, "01.0");
  EXPECT_EQ(canvas.lines.size(), 42u * 5);
}

TEST_F(Chart, ValuesOffTheScaleAreHandedOnAsTheyAre) {
  EXPECT_EQ(traceOf("12.0"), (Line{-1, 0, 0, 12.0f, kRed}));
  EXPECT_EQ(traceOf("-9.9"), (Line{0, 12.0f, 1, -9.9f, kRed}));
  EXPECT_EQ(chart.sampleAt(0), 12.0);
}

TEST_F(Chart, ReadingBeyondSinglePrecisionIsPinnedToTheLargestSingle) {
  chart.update(1e300);
  EXPECT_EQ(canvas.lines.back().y2, FLT_MAX);
  EXPECT_EQ(chart.sampleAt(0), 1e300) << "the sample keeps the full value";
  chart.update(-1e300);
  EXPECT_EQ(canvas.lines.back().y2, -FLT_MAX);
}

}  // namespace
}  // namespace pump
