// The interlock of one member of a group: what trips it, when, and what
// does not.
#include "group/interlock.h"

#include <gtest/gtest.h>

#include <functional>

#include "group/start_time.h"

namespace pump::group {
namespace {

using namespace std::chrono_literals;

const Clock::time_point kStart{};

MemberStatus Running() { return {true, "answering", 1.0, 3.0, "running"}; }

// P01's interlock, armed at the start, with P02 and P03 running and heard.
Interlock ArmedWithOthersRunning() {
  Interlock interlock("P01", {"P01", "P02", "P03"});
  interlock.arm(kStart);
  interlock.ownSecondsLeft(600);
  for (const char* id : {"P02", "P03"}) {
    interlock.memberStatus(id, Running());
    interlock.memberReading(id, 1.0, kStart);
  }
  return interlock;
}

TEST(Interlock, TripsOnceOnTheFirstSignThatAnotherMemberNoLongerPumps) {
  const struct {
    const char* what;
    std::function<void(Interlock&)> happen;
    Clock::duration checkedAt;
    std::string detail;  // empty: no trip
  } cases[] = {
      {"all well", [](Interlock&) {}, 1s, ""},
      {"last will",
       [](Interlock& i) {
         i.memberStatus("P02", {false, "", {}, {}, {}});
       },
       1s, "interlock P02 offline"},
      {"link lost",
       [](Interlock& i) {
         MemberStatus s = Running();
         s.link = "lost";
         i.memberStatus("P03", s);
       },
       1s, "interlock P03 link lost"},
      {"pressure at its limit", [](Interlock& i) { i.memberReading("P02", 3.0, kStart + 1s); }, 1s,
       "interlock P02 pressure at limit"},
      {"pressure under its limit", [](Interlock& i) { i.memberReading("P02", 2.9, kStart + 1s); },
       1s, ""},
      {"silent for 4.9 s", [](Interlock& i) { i.memberReading("P02", {}, kStart); }, 4900ms, ""},
      {"silent for 5 s", [](Interlock& i) { i.memberReading("P02", {}, kStart); }, 5s,
       "interlock P02 no reading for 5 s"},
      {"part paused",
       [](Interlock& i) {
         MemberStatus s = Running();
         s.programState = "paused";
         i.memberStatus("P02", s);
       },
       1s, "interlock P02 program paused"},
      {"part gone",
       [](Interlock& i) {
         MemberStatus s = Running();
         s.programState.reset();
         i.memberStatus("P03", s);
       },
       1s, "interlock P03 program gone"},
      {"part gone at the scheduled end",
       [](Interlock& i) {
         i.ownSecondsLeft(1);
         MemberStatus s = Running();
         s.programState.reset();
         i.memberStatus("P03", s);
       },
       1s, ""},
      {"broker down 2.9 s", [](Interlock& i) { i.brokerConnected(false, kStart + 1s); }, 3900ms,
       ""},
      {"broker down 3 s", [](Interlock& i) { i.brokerConnected(false, kStart + 1s); }, 4s,
       "interlock broker down for 3 s"},
      {"broker back in time",
       [](Interlock& i) {
         i.brokerConnected(false, kStart + 1s);
         i.brokerConnected(true, kStart + 2s);
       },
       4s, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Interlock interlock = ArmedWithOthersRunning();
    for (const char* id : {"P02", "P03"})
      interlock.memberReading(id, {}, kStart + c.checkedAt - 1ms);
    c.happen(interlock);
    const auto trip = interlock.check(kStart + c.checkedAt);
    EXPECT_EQ(trip ? trip->detail : "", c.detail);
    if (trip) {
      EXPECT_FALSE(interlock.check(kStart + c.checkedAt + 1s)) << "trips once";
    }
  }
}

TEST(Interlock, AMemberThatNeverShowsItsPartRunningTripsAfterTheStartsGrace) {
  Interlock interlock("P01", {"P01", "P02"});
  interlock.arm(kStart);
  interlock.ownSecondsLeft(600);
  interlock.memberStatus("P02", {true, "answering", 1.0, 3.0, {}});
  interlock.memberReading("P02", 1.0, kStart + 2s);
  EXPECT_FALSE(interlock.check(kStart + 2900ms));
  const auto trip = interlock.check(kStart + 3s);
  ASSERT_TRUE(trip);
  EXPECT_EQ(trip->detail, "interlock P02 program not running");
  EXPECT_EQ(TripText(*trip), "P02 程序已停");
}

TEST(Interlock, NothingTripsWhileDisarmedAndArmingAgainStartsEveryClockAfresh) {
  Interlock interlock = ArmedWithOthersRunning();
  interlock.disarm();
  EXPECT_FALSE(interlock.check(kStart + 60s));
  interlock.arm(kStart + 60s);
  for (const char* id : {"P02", "P03"}) interlock.memberStatus(id, Running());
  EXPECT_FALSE(interlock.check(kStart + 64s));
  EXPECT_TRUE(interlock.check(kStart + 65s));
}

TEST(StartTime, UtcTimesWithMillisecondsAreReadAndJudgedOnArrival) {
  const auto start = ParseUtcTime("2026-12-08T12:00:02.250Z");
  ASSERT_TRUE(start);
  EXPECT_EQ(UtcTimeText(*start), "2026-12-08T12:00:02.250Z");
  EXPECT_EQ(*start % 1000, 250);
  for (const char* wrong :
       {"2026-12-08T12:00:02Z", "2026-12-08 12:00:02.250Z", "2026-02-30T12:00:02.250Z",
        "2026-12-08T12:00:02.250+08:00", "2026-12-08T24:00:02.250Z", ""}) {
    EXPECT_FALSE(ParseUtcTime(wrong)) << wrong;
  }
  EXPECT_EQ(JudgeStart(*start, *start + 1), StartVerdict::InThePast);
  EXPECT_EQ(JudgeStart(*start, *start - 60'000), StartVerdict::Accepted);
  EXPECT_EQ(JudgeStart(*start, *start - 60'001), StartVerdict::TooFarAhead);
}

}  // namespace
}  // namespace pump::group
