#include "link/frame_assembler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pump::link {
namespace {

using Frames = std::vector<std::string>;

Frames FeedInPieces(FrameAssembler& assembler, const std::vector<std::string>& pieces) {
  Frames seen;
  for (const auto& piece : pieces) {
    assembler.feed(piece, [&](std::string_view frame) { seen.emplace_back(frame); });
  }
  return seen;
}

TEST(FrameAssembler, TwoRepliesInOneReadAreBothHandledInOrder) {
  FrameAssembler a;
  EXPECT_EQ(FeedInPieces(a, {"Q00N01.5YQ00L0150Y"}), (Frames{"Q00N01.5Y", "Q00L0150Y"}));
  EXPECT_TRUE(a.pending().empty());
}

TEST(FrameAssembler, ATextStartingInsideAFrameDropsTheFragmentAndKeepsTheTail) {
  FrameAssembler a;
  EXPECT_TRUE(FeedInPieces(a, {"0N01.5YQ00"}).empty());
  EXPECT_EQ(a.pending(), "Q00");
  EXPECT_EQ(FeedInPieces(a, {"N02.5Y"}), (Frames{"Q00N02.5Y"}));
}

TEST(FrameAssembler, AStreamSplitAtEveryPositionGivesTheSameFrames) {
  const std::string stream = "xxQ00N01.5YQ00P02.5Y\r\nQ00L0150YqQ00F0000Y";
  const Frames expected{"Q00N01.5Y", "Q00P02.5Y", "Q00L0150Y", "Q00F0000Y"};
  for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
    FrameAssembler a;
    EXPECT_EQ(FeedInPieces(a, {stream.substr(0, cut), stream.substr(cut)}), expected)
        << "cut at " << cut;
  }
  for (std::size_t first = 0; first <= stream.size(); ++first) {
    for (std::size_t second = first; second <= stream.size(); ++second) {
      FrameAssembler a;
      const auto seen = FeedInPieces(
          a,
          {stream.substr(0, first), stream.substr(first, second - first), stream.substr(second)});
      ASSERT_EQ(seen, expected) << "cuts at " << first << " and " << second;
    }
  }
}

TEST(FrameAssembler, ByteByByteFeedingFindsEveryFrameOnce) {
  const std::string stream = "Q00N01.5YQ00N01.6YQ00N01.7Y";
  FrameAssembler a;
  std::vector<std::string> pieces;
  for (char c : stream) pieces.emplace_back(1, c);
  EXPECT_EQ(FeedInPieces(a, pieces), (Frames{"Q00N01.5Y", "Q00N01.6Y", "Q00N01.7Y"}));
}

TEST(FrameAssembler, AQWithoutYNinthIsSkippedAndTheSearchGoesOnAfterIt) {
  FrameAssembler a;
  // The first Q starts a broken frame whose ninth byte is Q of a good one.
  EXPECT_EQ(FeedInPieces(a, {"Q00N0Q00L0150Y"}), (Frames{"Q00L0150Y"}));
  // A Q inside the value of a broken frame can itself start a frame.
  EXPECT_EQ(FeedInPieces(a, {"Q12Q00N01.5Y"}), (Frames{"Q00N01.5Y"}));
}

TEST(FrameAssembler, CaseMattersForQAndY) {
  FrameAssembler a;
  EXPECT_TRUE(FeedInPieces(a, {"q00N01.5y", "Q00N01.5y"}).empty());
  EXPECT_EQ(a.pending(), "");
}

TEST(FrameAssembler, NoiseWithoutQIsDroppedWhole) {
  FrameAssembler a;
  EXPECT_TRUE(FeedInPieces(a, {std::string(1000, '\0') + "abcdefgh"}).empty());
  EXPECT_TRUE(a.pending().empty());
}

TEST(FrameAssembler, KeepsAtMostEightBytesWhateverArrives) {
  FrameAssembler a;
  const std::string junk = "QQQQQQQQQQQQQQQQQQQQQQ0123QxQ";
  for (int round = 0; round < 50; ++round) {
    FeedInPieces(a, {junk});
    ASSERT_LE(a.pending().size(), 8U);
  }
}

TEST(FrameAssembler, ABurstOfRepliesComesOutInArrivalOrder) {
  std::string burst;
  Frames expected;
  for (int i = 0; i < 100; ++i) {
    const std::string frame = "Q00N" + std::to_string(1000 + i) + "Y";
    burst += frame;
    expected.push_back(frame);
  }
  FrameAssembler a;
  EXPECT_EQ(FeedInPieces(a, {burst.substr(0, 500), burst.substr(500)}), expected);
}

TEST(FrameAssembler, AHandlerThatFeedsAgainFindsTheBufferSettled) {
  FrameAssembler a;
  Frames seen;
  bool nested = false;
  a.feed("Q00N01.5YQ00L0150YQ00", [&](std::string_view frame) {
    seen.emplace_back(frame);
    if (!nested) {
      nested = true;
      // As when a message box's event loop delivers the next read.
      a.feed("P02.5Y", [&](std::string_view inner) { seen.emplace_back(inner); });
    }
  });
  EXPECT_EQ(seen, (Frames{"Q00N01.5Y", "Q00P02.5Y", "Q00L0150Y"}));
  EXPECT_TRUE(a.pending().empty());
}

TEST(FrameAssembler, ResetForgetsAnIncompleteTail) {
  FrameAssembler a;
  FeedInPieces(a, {"Q00N0"});
  a.reset();
  EXPECT_TRUE(FeedInPieces(a, {"1.5YQ00"}).empty());
  EXPECT_EQ(a.pending(), "Q00");
}

}  // namespace
}  // namespace pump::link
