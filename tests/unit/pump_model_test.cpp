#include "sim/pump_model.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace pump::sim {
namespace {

// Sends the text, lets the reply time pass and returns the frames that came back.
std::vector<std::string> Ask(PumpModel& pump, std::string_view text, long long waitMs = 100) {
  pump.receive(text);
  pump.advance(waitMs);
  std::vector<std::string> frames;
  for (auto& reply : pump.takeDueReplies()) frames.push_back(reply.frame);
  return frames;
}

using Frames = std::vector<std::string>;

TEST(PumpModel, AnswersEachCommandAsThePumpDoes) {
  PumpModel pump;
  EXPECT_EQ(Ask(pump, "Q00F0000Y"), Frames{"Q00N00.0Y"});
  EXPECT_EQ(Ask(pump, "Q00L0150Y"), Frames{"Q00L0150Y"});
  EXPECT_EQ(pump.flow(), 150);
  EXPECT_EQ(Ask(pump, "Q00P02.5Y"), Frames{"Q00P02.5Y"});
  EXPECT_DOUBLE_EQ(pump.pressureLimit(), 2.5);
  EXPECT_EQ(Ask(pump, "Q00R0000Y"), Frames{"Q00R0000Y"});
  EXPECT_TRUE(pump.running());
  EXPECT_EQ(Ask(pump, "Q00S0000Y"), Frames{"Q00S0000Y"});
  EXPECT_FALSE(pump.running());
}

TEST(PumpModel, ReplyArrivesAfterTurnaroundAndOneFrameTimeAndRepliesQueueAtLinePace) {
  PumpModel pump;
  EXPECT_EQ(pump.frameMs(), 10);  // nine characters of ten bits at 9600 baud
  pump.receive("Q00F0000Y");
  pump.receive("Q00S0000Y");
  EXPECT_EQ(pump.nextReplyDue(), 30);
  pump.advance(29);
  EXPECT_TRUE(pump.takeDueReplies().empty());
  pump.advance(1);
  const auto first = pump.takeDueReplies();
  ASSERT_EQ(first.size(), 1u);
  EXPECT_EQ(first[0].frame, "Q00N00.0Y");
  EXPECT_EQ(pump.nextReplyDue(), 40);  // the second waits for the line
}

TEST(PumpModel, AnswersOnlyItsOwnAddress) {
  PumpModel pump({.address = 7});
  EXPECT_TRUE(Ask(pump, "Q00F0000Y").empty());
  EXPECT_TRUE(Ask(pump, "Q05L0050Y").empty());
  EXPECT_EQ(pump.flow(), 0);
  EXPECT_EQ(Ask(pump, "Q07F0000Y"), Frames{"Q07N00.0Y"});
  EXPECT_EQ(Ask(pump, "Q07L0050Y"), Frames{"Q07L0050Y"});
  EXPECT_EQ(pump.flow(), 50);
}

TEST(PumpModel, IgnoresMalformedFramesAndKeepsItsSettings) {
  PumpModel pump;
  for (const char* text : {"q00F0000Y", "Q00F0000y", "Q0AF0000Y", "Q00LABCDY", "Q00L0250Y",
                           "Q00L01.5Y", "Q00P0250Y", "Q00P2.50Y", "Q00X0000Y", "Q00F000"}) {
    EXPECT_TRUE(Ask(pump, text, 200).empty()) << text;
  }
  EXPECT_EQ(pump.flow(), 0);
  EXPECT_DOUBLE_EQ(pump.pressureLimit(), 2.0);
  EXPECT_FALSE(pump.running());
}

TEST(PumpModel, FindsAFrameAfterNoiseAndAcrossPieces) {
  PumpModel pump;
  EXPECT_EQ(Ask(pump, std::string("\x00\xffxQ7", 5) + "Q00F0000Y"), Frames{"Q00N00.0Y"});
  pump.receive("Q00L");
  pump.advance(5);
  EXPECT_EQ(Ask(pump, "0100Y"), Frames{"Q00L0100Y"});
  EXPECT_EQ(Ask(pump, "Q00F0000YQ00R0000Y"), (Frames{"Q00N00.0Y", "Q00R0000Y"}));
}

TEST(PumpModel, DropsAPartialFrameAfterAPauseOnTheLine) {
  PumpModel pump;
  pump.receive("Q00F");
  pump.advance(PumpModel::kFrameGapMs + 1);
  EXPECT_TRUE(Ask(pump, "0000Y").empty());
  EXPECT_EQ(Ask(pump, "Q00F0000Y"), Frames{"Q00N00.0Y"});
}

// Runs the pump at the given flow and limit from rest.
PumpModel Running(double flow, double limit) {
  PumpModel pump({.flow = flow, .pressureLimit = limit});
  pump.receive("Q00R0000Y");
  return pump;
}

TEST(PumpModel, PressureRisesWithAFirstOrderLagTowardAValueProportionalToFlow) {
  PumpModel pump = Running(200, 5.0);
  pump.advance(2000);  // one time constant: 63 % of the way
  EXPECT_NEAR(pump.pressure(), 4.0 * 0.632, 0.01);
  pump.advance(18000);
  EXPECT_NEAR(pump.pressure(), 4.0, 0.01);
  EXPECT_TRUE(pump.running());
  pump.takeDueReplies();
  const auto reading = Ask(pump, "Q00F0000Y");
  ASSERT_EQ(reading.size(), 1u);
  const double shown = std::stod(reading[0].substr(4, 4));
  EXPECT_NEAR(shown, 4.0, 0.11);

  PumpModel half = Running(100, 5.0);
  half.advance(20000);
  EXPECT_NEAR(half.pressure(), 2.0, 0.01);
}

TEST(PumpModel, StopsItselfWhenPressureWouldPassTheLimit) {
  PumpModel pump = Running(200, 3.0);
  // 4 MPa approached with tau 2 s crosses 3 MPa at 2 s * ln 4, about 2.77 s.
  pump.advance(2700);
  EXPECT_TRUE(pump.running());
  pump.advance(100);
  EXPECT_FALSE(pump.running());
  EXPECT_TRUE(pump.tripped());
  EXPECT_LE(pump.pressure(), 3.0);
  pump.advance(20000);
  EXPECT_LT(pump.pressure(), 0.01);

  pump.takeDueReplies();
  EXPECT_EQ(Ask(pump, "Q00R0000Y"), Frames{"Q00R0000Y"});
  EXPECT_FALSE(pump.tripped());
  EXPECT_TRUE(pump.running());
}

TEST(PumpModel, LoweringTheLimitBelowThePressureStopsTheRunningPump) {
  PumpModel pump = Running(100, 5.0);
  pump.advance(20000);
  pump.takeDueReplies();
  Ask(pump, "Q00P01.0Y", 50);
  EXPECT_FALSE(pump.running());
  EXPECT_TRUE(pump.tripped());
}

TEST(PumpModel, PressureDecaysToZeroOnceStopped) {
  PumpModel pump = Running(200, 5.0);
  pump.advance(20000);
  pump.receive("Q00S0000Y");
  pump.advance(2000);
  EXPECT_NEAR(pump.pressure(), 4.0 * 0.368, 0.01);
  pump.advance(18000);
  pump.takeDueReplies();
  EXPECT_EQ(Ask(pump, "Q00F0000Y"), Frames{"Q00N00.0Y"});
}

TEST(PumpModel, PressureReadingsCarryNoiseThatTheSeedRepeats) {
  const auto readings = [](std::uint32_t seed) {
    PumpModel pump({.seed = seed, .flow = 150, .pressureLimit = 5.0});
    pump.receive("Q00R0000Y");
    pump.advance(30000);
    pump.takeDueReplies();
    std::vector<std::string> shown;
    for (int i = 0; i < 30; ++i) shown.push_back(Ask(pump, "Q00F0000Y").at(0));
    return shown;
  };
  const auto first = readings(1);
  EXPECT_EQ(first, readings(1));
  EXPECT_NE(first, readings(2));
  std::set<std::string> distinct(first.begin(), first.end());
  EXPECT_GT(distinct.size(), 1u);
  for (const auto& frame : first) EXPECT_NEAR(std::stod(frame.substr(4, 4)), 3.0, 0.11) << frame;
}

}  // namespace
}  // namespace pump::sim
