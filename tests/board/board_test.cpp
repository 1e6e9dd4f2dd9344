#include "board/board.h"

#include <gtest/gtest.h>

#include "board/tile_texts.h"
#include "tests/board/board_clock.h"

namespace pump::board {
namespace {

using namespace std::chrono_literals;
using testing::ScriptedClock;
using testing::Status;

class BoardTest : public ::testing::Test {
 protected:
  bool send(const std::string& topic, const std::string& payload) {
    return board.receive(topic, payload, clock.now);
  }
  const PumpTile& tile(const std::string& id) { return board.tiles().at(id); }

  ScriptedClock clock;
  Board board{"pumps", "board-test"};
};

TEST_F(BoardTest, OnlyPumpsThatPublishAStatusUnderTheRootGetATileSortedById) {
  send("pumps/P10/status", Status("P10", "STOP", 1, 20));
  send("pumps/P02/status", Status("P02", "RUN", 3.5, 20));
  send("pumps/P03/pressure", R"({"pressure_mpa":1.0})");   // no status yet
  send("other/P04/status", Status("P04", "STOP", 1, 20));  // another root
  send("pumps/P05/cmd/set_flow", R"({"ml_min":1})");       // not a status
  send("pumps/a/b/status", Status("b", "STOP", 1, 20));    // ids hold no '/'
  send("pumps/P06/status", "{not json");
  send("pumps/P07/status", "[1,2]");

  std::vector<std::string> ids;
  for (const auto& [id, tile] : board.tiles()) ids.push_back(id);
  EXPECT_EQ(ids, (std::vector<std::string>{"P02", "P10"}));
  EXPECT_EQ(board.subscription(), "pumps/#");

  const PumpReading& reading = tile("P02").reading;
  EXPECT_EQ(reading.running, true);
  EXPECT_EQ(reading.flow, 150);
  EXPECT_EQ(reading.limit, 20);
  EXPECT_EQ(reading.pressure, 3.5);
  EXPECT_EQ(reading.runState, "running");
  EXPECT_EQ(reading.secondsLeft, 90);
  EXPECT_EQ(reading.link, "answering");
}

TEST_F(BoardTest, MalformedFieldsLeaveTheLastGoodValuesAndNullClearsThem) {
  send("pumps/P1/status", Status("P1", "RUN", 3, 20));
  for (const char* bad : {R"({"pressure_mpa":"high","pump":7,"run":[]})",
                          R"({"flow_ml_min":1e999,"online":"yes","link":null})", "", "null",
                          "\xff\xfe", R"({"run":{"seconds_left":"soon"}})"})
    send("pumps/P1/status", bad);
  EXPECT_EQ(tile("P1").reading.pressure, 3);
  EXPECT_EQ(tile("P1").reading.flow, 150);
  EXPECT_EQ(tile("P1").reading.online, true);
  EXPECT_EQ(tile("P1").reading.running, true);
  EXPECT_EQ(tile("P1").reading.secondsLeft, 90);

  send("pumps/P1/status", R"({"pressure_mpa":null,"run":{"state":"idle","seconds_left":null}})");
  EXPECT_FALSE(tile("P1").reading.pressure);
  EXPECT_FALSE(tile("P1").reading.secondsLeft);
}

TEST_F(BoardTest, TheLastWillRaisesOfflineKeepingTheReadingsAndANewStatusEndsIt) {
  send("pumps/P1/status", Status("P1", "RUN", 3, 20));
  const WallTime willAt = clock.advance(2s).wall;
  send("pumps/P1/status", R"({"online":false,"pump_id":"P1"})");
  EXPECT_TRUE(tile("P1").hasAlarm(AlarmKind::Offline));
  EXPECT_EQ(tile("P1").reading.pressure, 3);
  EXPECT_EQ(board.activeAlarms(), 1);

  // An offline console's silence is its last will, not a second alarm.
  clock.advance(60s);
  board.tick(clock.now);
  EXPECT_EQ(board.activeAlarms(), 1);

  const WallTime backAt = clock.advance(1s).wall;
  send("pumps/P1/status", Status("P1", "STOP", 0, 20));
  EXPECT_FALSE(tile("P1").inAlarm());
  ASSERT_EQ(board.alarmLog().size(), 2u);
  EXPECT_EQ(board.alarmLog()[0].kind, AlarmKind::Offline);
  EXPECT_TRUE(board.alarmLog()[0].started);
  EXPECT_EQ(board.alarmLog()[0].at, willAt);
  EXPECT_FALSE(board.alarmLog()[1].started);
  EXPECT_EQ(board.alarmLog()[1].at, backAt);
}

TEST_F(BoardTest, APumpFirstHeardOfThroughItsLastWillShowsOnlyThatItIsOffline) {
  send("pumps/P1/status", R"({"online":false,"pump_id":"P1"})");
  const PumpReading& reading = tile("P1").reading;
  EXPECT_TRUE(tile("P1").hasAlarm(AlarmKind::Offline));
  EXPECT_EQ(LinkText(reading), "离线");
  EXPECT_EQ(PumpStateText(reading), "—") << "not STOP: the will does not say";
  EXPECT_EQ(RunText(reading), "—");
  EXPECT_FALSE(reading.flow || reading.pressure || reading.limit);

  send("pumps/P1/status", Status("P1", "STOP", 0, 20));
  EXPECT_EQ(PumpStateText(tile("P1").reading), "STOP");
}

TEST(VisibleText, CharactersThatWouldActRatherThanShowAreWrittenOut) {
  const struct {
    const char* given;
    const char* shown;
  } kCases[] = {
      {"P01", "P01"},
      {"<b>P01</b>", "<b>P01</b>"},  // markup stays text; labels show it plainly
      {"泵 P01 升流量", "泵 P01 升流量"},
      {"\u202E10P", "<U+202E>10P"},  // right-to-left override
      {"P\u200E0\u200F1", "P<U+200E>0<U+200F>1"},
      {"\u202A\u202B\u202C\u202D", "<U+202A><U+202B><U+202C><U+202D>"},
      {"\u2066P\u2067\u2068\u2069", "<U+2066>P<U+2067><U+2068><U+2069>"},
      {"\u061CP", "<U+061C>P"},
      {"P0\u200B1\uFEFF", "P0<U+200B>1<U+FEFF>"},  // zero widths: "P01" look-alikes
      {"A\nB\tC\x7f", "A<U+000A>B<U+0009>C<U+007F>"},
      {"P\u2028Q", "P<U+2028>Q"},
      {"P\xff", "P\uFFFD"},                    // not UTF-8
      {"\xc0\xaf", "\uFFFD\uFFFD"},            // an overlong '/'
      {"\xed\xa0\x80", "\uFFFD\uFFFD\uFFFD"},  // a surrogate
      {"\xe2\x80", "\uFFFD\uFFFD"},            // cut short
      {"\U0001F600", "\U0001F600"},
  };
  for (const auto& one : kCases) EXPECT_EQ(VisibleText(one.given), one.shown) << one.given;
}

TEST_F(BoardTest, BrokerTextOnATileIsShownVisibly) {
  send("pumps/P1/status", R"({"link":"x\u202Ey","run":{"state":"\u2066z"},)"
                          R"("program":{"name":"a\nb","state":"running","step":1,"steps":2}})");
  EXPECT_EQ(LinkText(tile("P1").reading), "x<U+202E>y");
  EXPECT_EQ(RunText(tile("P1").reading), "程序 a<U+000A>b 步骤 1/2");
  send("pumps/P1/status", R"({"program":null})");
  EXPECT_EQ(RunText(tile("P1").reading), "<U+2066>z");
}

TEST_F(BoardTest, ATileSaysLinkTimedRunAndProgramInTheOperatorsWords) {
  send("pumps/P1/status", Status("P1", "RUN", 3, 5));
  EXPECT_EQ(LinkText(tile("P1").reading), "通信正常");
  EXPECT_EQ(RunText(tile("P1").reading), "定时运行 00:01:30");

  send("pumps/P1/status",
       R"({"link":"no_answer","run":{"state":"idle","seconds_left":null},)"
       R"("program":{"name":"升流量","state":"running","step":2,"steps":5,"seconds_left":3725}})");
  EXPECT_EQ(LinkText(tile("P1").reading), "泵无应答");
  EXPECT_EQ(RunText(tile("P1").reading), "程序 升流量 步骤 2/5 剩余 01:02:05");

  send("pumps/P1/status", R"({"program":{"name":"升流量","state":"paused","step":2,"steps":5}})");
  EXPECT_EQ(RunText(tile("P1").reading), "程序 升流量 步骤 2/5 暂停");

  // A program that ended is null; a state from a newer console shows as it came.
  send("pumps/P1/status", R"({"link":"warming_up","program":null})");
  EXPECT_EQ(LinkText(tile("P1").reading), "warming_up");
  EXPECT_EQ(RunText(tile("P1").reading), "");

  send("pumps/P1/status", R"({"online":false,"pump_id":"P1"})");
  EXPECT_EQ(LinkText(tile("P1").reading), "离线");
}

TEST_F(BoardTest, PressureAtOrOverTheLimitIsAnAlarmThatClearsBelowIt) {
  send("pumps/P1/status", Status("P1", "RUN", 19.9, 20));
  EXPECT_FALSE(tile("P1").inAlarm());
  send("pumps/P1/pressure", R"({"time":"x","pressure_mpa":20.0})");
  EXPECT_TRUE(tile("P1").hasAlarm(AlarmKind::PressureAtLimit));
  send("pumps/P1/pressure", R"({"time":"x","pressure_mpa":25})");
  send("pumps/P1/pressure", R"({"time":"x","pressure_mpa":null})");  // keeps the last
  EXPECT_TRUE(tile("P1").hasAlarm(AlarmKind::PressureAtLimit));
  send("pumps/P1/status", Status("P1", "RUN", 25, 30));  // the limit raised
  EXPECT_FALSE(tile("P1").inAlarm());
  EXPECT_EQ(board.alarmLog().size(), 2u);
}

TEST_F(BoardTest, ALinkNotAnsweringIsAnAlarmWhileItLasts) {
  send("pumps/P1/status", Status("P1", "RUN", 1, 20, "no_answer"));
  send("pumps/P2/status", Status("P2", "RUN", 1, 20, "lost"));
  send("pumps/P3/status", Status("P3", "RUN", 1, 20, "waiting"));
  EXPECT_TRUE(tile("P1").hasAlarm(AlarmKind::LinkNotAnswering));
  EXPECT_TRUE(tile("P2").hasAlarm(AlarmKind::LinkNotAnswering));
  EXPECT_FALSE(tile("P3").inAlarm());
  EXPECT_EQ(board.activeAlarms(), 2);
  send("pumps/P1/status", Status("P1", "RUN", 1, 20, "answering"));
  EXPECT_EQ(board.activeAlarms(), 1);
}

TEST_F(BoardTest, ARunningPumpSilentForTenSecondsIsAnAlarmAStoppedOneIsNot) {
  send("pumps/RUN/status", Status("RUN", "RUN", 1, 20));
  send("pumps/STOP/status", Status("STOP", "STOP", 1, 20));
  clock.advance(9900ms);
  EXPECT_FALSE(board.tick(clock.now));
  EXPECT_EQ(board.activeAlarms(), 0);
  clock.advance(100ms);
  EXPECT_TRUE(board.tick(clock.now));
  EXPECT_TRUE(tile("RUN").hasAlarm(AlarmKind::Silent));
  EXPECT_FALSE(tile("STOP").inAlarm());

  // Any message from the pump ends it, an event as well as a reading.
  send("pumps/RUN/event", R"({"event":"x"})");
  EXPECT_FALSE(tile("RUN").inAlarm());
  EXPECT_EQ(tile("RUN").lastMessage, clock.now.steady);

  // Ten seconds from its last message, not its first since the last check.
  clock.advance(5s);
  send("pumps/RUN/pressure", R"({"pressure_mpa":1})");
  clock.advance(5s);
  EXPECT_FALSE(board.tick(clock.now));
  clock.advance(4900ms);
  EXPECT_FALSE(board.tick(clock.now));
  clock.advance(100ms);
  EXPECT_TRUE(board.tick(clock.now));
  EXPECT_TRUE(tile("RUN").hasAlarm(AlarmKind::Silent));
  EXPECT_EQ(board.activeAlarms(), 1);

  // A stopped pump that starts running is watched again from its message on.
  send("pumps/STOP/status", Status("STOP", "RUN", 1, 20));
  clock.advance(10s);
  board.tick(clock.now);
  EXPECT_TRUE(tile("STOP").hasAlarm(AlarmKind::Silent));
  EXPECT_EQ(board.activeAlarms(), 2);
}

TEST_F(BoardTest, TheSparklineKeepsOneColumnPerPixelWithItsLowAndHighWhateverTheRate) {
  send("pumps/P1/status", Status("P1", "RUN", 1, 20));
  // Twelve minutes at 100 readings a second, one spike among them.
  for (int reading = 1; reading <= 72000; ++reading) {
    clock.advance(10ms);
    const double mpa = reading == 70000 ? 9.5 : 1 + reading % 7 * 0.1;
    send("pumps/P1/pressure", R"({"pressure_mpa":)" + std::to_string(mpa) + "}");
  }
  const auto& line = tile("P1").sparkline;
  ASSERT_EQ(line.size(), static_cast<std::size_t>(kSparklineColumns));
  EXPECT_LE(clock.now.steady - line.front().start, kSparklineSpan);
  EXPECT_GE(clock.now.steady - line.front().start, kSparklineSpan - kSparklineColumnSpan);
  EXPECT_DOUBLE_EQ(line.front().low, 1.0);
  EXPECT_DOUBLE_EQ(line.front().high, 1.6);
  int spikes = 0;
  for (const auto& column : line) spikes += column.high == 9.5;
  EXPECT_EQ(spikes, 1) << "a spike is kept, in one column";
}

}  // namespace
}  // namespace pump::board
