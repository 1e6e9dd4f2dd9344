#include "sim/line_faults.h"

#include <gtest/gtest.h>

namespace pump::sim {
namespace {

const PumpReply kReply{100, "Q00N01.5Y"};
const PumpReply kNextReply{110, "Q00L0150Y"};
constexpr int kFrameMs = 10;

TEST(FaultyLine, AHealthyLineSendsEachReplyInOneWriteWhenDue) {
  FaultyLine line({}, 1, kFrameMs);
  const auto writes = line.carry(kReply);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].bytes, "Q00N01.5Y");
  EXPECT_EQ(writes[0].dueMs, 100);
}

TEST(FaultyLine, ASilentPumpSendsNothing) {
  FaultyLine line({.silent = true}, 1, kFrameMs);
  EXPECT_TRUE(line.carry(kReply).empty());
  EXPECT_TRUE(line.carry(kNextReply).empty());
}

TEST(FaultyLine, ABurstRepeatsTheReplyBackToBackAtTheLinePace) {
  FaultyLine line({.burst = 3}, 1, kFrameMs);
  const auto writes = line.carry(kReply);
  ASSERT_EQ(writes.size(), 3u);
  for (std::size_t i = 0; i < writes.size(); ++i) {
    EXPECT_EQ(writes[i].bytes, "Q00N01.5Y");
    EXPECT_EQ(writes[i].dueMs, 100 + static_cast<long long>(i) * kFrameMs);
  }
}

TEST(FaultyLine, ASplitReplyGoesOutInTwoWritesWithAGapAndLaterWritesWaitForIt) {
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    FaultyLine line({.split = true}, seed, kFrameMs);
    const auto writes = line.carry(kReply);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_FALSE(writes[0].bytes.empty());
    EXPECT_FALSE(writes[1].bytes.empty());
    EXPECT_EQ(writes[0].bytes + writes[1].bytes, "Q00N01.5Y");
    EXPECT_EQ(writes[1].dueMs - writes[0].dueMs, FaultyLine::kSplitGapMs);
    const auto next = line.carry(kNextReply);
    EXPECT_GE(next.front().dueMs, writes[1].dueMs);
  }
}

TEST(FaultyLine, JoinedRepliesGoOutInPairsInOneWrite) {
  FaultyLine line({.join = true}, 1, kFrameMs);
  EXPECT_TRUE(line.carry(kReply).empty());
  const auto writes = line.carry(kNextReply);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0].bytes, "Q00N01.5YQ00L0150Y");
  EXPECT_EQ(writes[0].dueMs, 110);
  EXPECT_TRUE(line.carry(kReply).empty());
}

TEST(FaultyLine, NoiseComesInItsOwnWriteBeforeAnIntactReplyAndHoldsNoStartCharacter) {
  FaultyLine line({.noise = true}, 7, kFrameMs);
  for (int i = 0; i < 50; ++i) {
    const auto writes = line.carry(kReply);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_GE(writes[0].bytes.size(), 1u);
    EXPECT_LE(writes[0].bytes.size(), 3u);
    EXPECT_EQ(writes[0].bytes.find('Q'), std::string::npos);
    EXPECT_EQ(writes[1].bytes, "Q00N01.5Y");
  }
}

}  // namespace
}  // namespace pump::sim
