// Frames on a scripted clock: however the changes come, frames stay a display
// frame apart, every change is shown within one, and nothing changed wakes
// nothing.
#include "pacing/frame_pacer.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/doubles.h"

namespace pump::pacing {
namespace {

using testing::ManualTimer;
using testing::ScriptedClock;

// The scripted clock counts milliseconds; a frame is 16.7 ms, so frames
// land 17 ms apart on it.
constexpr long long kFrame = (FramePacing{}.frameMicroseconds + 999) / 1000;

struct Frame {
  long long at;
  bool onTimer;  // painted by the timer's own wake-up, not by one the thread had anyway
};

struct PacedScreen {
  ScriptedClock clock;
  ManualTimer timer{clock};
  FramePacer pacer{timer, [this] { return clock.now() * 1000; }};
  std::vector<Frame> frames;
  bool insideWait = false;

  PacedScreen() {
    pacer.setOnFrame([this] { frames.push_back({clock.now(), insideWait}); });
  }
  // The thread sleeps until `milliseconds` have passed; only the timer wakes it.
  void wait(long long milliseconds) {
    insideWait = true;
    clock.advance(milliseconds);
    insideWait = false;
  }
  // A wake-up that changed something on screen, as a reply does.
  void changeAndSleep() {
    pacer.changed();
    pacer.aboutToSleep();
  }
  // Feeds a change at each of `times` (ms from now), and returns the frame
  // that first showed each one.
  std::vector<long long> stream(const std::vector<long long>& times) {
    const long long start = clock.now();
    std::vector<long long> changes;
    for (const long long at : times) {
      wait(start + at - clock.now());
      changes.push_back(clock.now());
      changeAndSleep();
    }
    wait(10 * kFrame);
    std::vector<long long> shownAt;
    for (const long long change : changes) {
      long long shown = -1;
      for (const Frame& f : frames) {
        if (f.at >= change) {
          shown = f.at;
          break;
        }
      }
      shownAt.push_back(shown - change);
    }
    return shownAt;
  }
};

void ExpectFramesApart(const std::vector<Frame>& frames) {
  for (std::size_t i = 1; i < frames.size(); ++i) {
    EXPECT_GE(frames[i].at - frames[i - 1].at, kFrame) << "frame " << i;
  }
}

TEST(FramePacer, AChangeEveryMillisecondIsShownInFramesAFrameApartEachWithinAFrame) {
  PacedScreen s;
  std::vector<long long> times;
  for (long long t = 0; t < 500; ++t) times.push_back(t);
  const auto delays = s.stream(times);
  ExpectFramesApart(s.frames);
  EXPECT_LE(s.frames.size(), 500 / kFrame + 2);
  for (std::size_t i = 0; i < delays.size(); ++i) {
    EXPECT_GE(delays[i], 0) << "change " << i << " never shown";
    EXPECT_LE(delays[i], kFrame) << "change " << i;
  }
}

TEST(FramePacer, ASteadyStreamPaintsOnItsOwnWakeUpsNotOnTheTimer) {
  PacedScreen s;
  std::vector<long long> times;  // 9.4 ms apart, as replies at 9600 baud
  for (int i = 0; i < 200; ++i) times.push_back(i * 94 / 10);
  const auto delays = s.stream(times);
  ExpectFramesApart(s.frames);
  int onTimer = 0;
  for (const Frame& f : s.frames) onTimer += f.onTimer ? 1 : 0;
  EXPECT_LE(onTimer, 2) << "only the stream's first and last changes may wait for the timer";
  EXPECT_LE(s.frames.size(), 200U / 2 + 2) << "two replies share a frame";
  for (const long long delay : delays) EXPECT_LE(delay, kFrame);
}

TEST(FramePacer, AFirstChangeAfterAQuietSpellIsShownAtOnce) {
  PacedScreen s;
  s.wait(1000);
  s.changeAndSleep();
  ASSERT_EQ(s.frames.size(), 1U);
  EXPECT_EQ(s.frames[0].at, 1000);
}

TEST(FramePacer, AChangeRightAfterAFrameWaitsForTheTimerAndNoLonger) {
  PacedScreen s;
  s.changeAndSleep();
  s.wait(2);
  s.changeAndSleep();  // too soon for a frame of its own
  EXPECT_EQ(s.frames.size(), 1U);
  s.wait(100);
  ASSERT_EQ(s.frames.size(), 2U);
  EXPECT_EQ(s.frames[1].at, kFrame);
  EXPECT_TRUE(s.frames[1].onTimer);
}

TEST(FramePacer, NothingChangedMeansNoFrameAndNoTimerRunning) {
  PacedScreen s;
  s.changeAndSleep();
  s.wait(5);
  s.pacer.aboutToSleep();  // wake-ups with nothing new, such as a poll
  EXPECT_FALSE(s.timer.enabled());
  s.wait(60'000);
  s.pacer.aboutToSleep();
  EXPECT_EQ(s.frames.size(), 1U);
  EXPECT_FALSE(s.timer.enabled());
}

TEST(FramePacer, AChangeMadeWhileAFramePaintsGetsAFrameOfItsOwn) {
  PacedScreen s;
  bool changedOnce = false;
  s.pacer.setOnFrame([&] {
    s.frames.push_back({s.clock.now(), s.insideWait});
    if (!changedOnce) {
      changedOnce = true;
      s.pacer.changed();  // a paint that moves something again
    }
  });
  s.changeAndSleep();
  s.wait(100);
  ASSERT_EQ(s.frames.size(), 2U);
  EXPECT_EQ(s.frames[1].at - s.frames[0].at, kFrame);
}

}  // namespace
}  // namespace pump::pacing
