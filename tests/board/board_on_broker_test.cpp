// The board on a real Mosquitto, watching three real headless consoles on
// their built-in simulated pumps: A and B take remote commands, C does not.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <csignal>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "board/board_feed.h"
#include "board/tile_texts.h"
#include "remote/mosquitto_connection.h"
#include "tests/remote/far_end.h"
#include "tests/support/console_process.h"
#include "tests/support/test_broker.h"

namespace pump::board {
namespace {

using namespace pump::testing;
using namespace std::chrono_literals;
using remote::testing::FarEnd;
using remote::testing::WindowThread;

constexpr std::array kPumps{"A", "B", "C"};

class BoardOnBroker : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const auto why = TestBroker::MissingReason()) GTEST_SKIP() << *why;
    ASSERT_TRUE(broker.start());
    for (std::size_t i = 0; i < kPumps.size(); ++i) {
      consoles[i] = StartHeadlessConsole(PUMP_CONSOLE, "sim", broker.url(), kPumps[i],
                                         homes[i].path(), kPumps[i] != std::string("C"));
      ASSERT_GT(consoles[i], 0);
    }
  }

  void startBoard() {
    remote::RemoteSettings settings;
    settings.brokerUrl = broker.url();
    connection = std::make_unique<remote::MosquittoConnection>(
        settings, [this](std::function<void()> task) { window.post(std::move(task)); });
    feed = std::make_unique<BoardFeed>(board, *connection, &BoardTime::Now, nullptr);
    feed->start();
  }

  void TearDown() override {
    feed.reset();
    connection.reset();  // before the broker goes
    for (pid_t console : consoles) {
      if (console > 0) EndConsole(console);
    }
  }

  // Keeps the window's thread turning, and the board's clock ticking.
  bool waitFor(const std::function<bool()>& done, std::chrono::milliseconds within = 10s) {
    return window.runUntil(
        [&] {
          feed->tick();
          return done();
        },
        within);
  }

  // The consoles' tiles all there and answering, among `tiles` in all.
  bool allAnswering(std::size_t tiles = kPumps.size()) {
    if (board.tiles().size() != tiles) return false;
    for (const char* id : kPumps) {
      const auto tile = board.tiles().find(id);
      if (tile == board.tiles().end()) return false;
      if (!tile->second.reading.online || tile->second.reading.link != "answering") return false;
    }
    return true;
  }

  bool running(const std::string& id) { return board.tiles().at(id).reading.running == true; }

  TestBroker broker;
  std::array<ScratchFolder, kPumps.size()> homes;
  std::array<pid_t, kPumps.size()> consoles{-1, -1, -1};
  WindowThread window;
  Board board{"pumps", "board-test"};
  std::unique_ptr<remote::MosquittoConnection> connection;
  std::unique_ptr<BoardFeed> feed;
};

TEST_F(BoardOnBroker, EveryConsoleGetsATileAndAKilledOneTurnsRedWithinTwoSeconds) {
  startBoard();
  ASSERT_TRUE(waitFor([&] { return allAnswering(); })) << board.tiles().size() << " tiles";
  EXPECT_EQ(board.activeAlarms(), 0);
  EXPECT_TRUE(board.tiles().at("A").reading.remoteControl);
  EXPECT_FALSE(board.tiles().at("C").reading.remoteControl);

  const auto killed = std::chrono::steady_clock::now();
  ::kill(consoles[1], SIGKILL);
  ASSERT_TRUE(waitFor([&] { return board.tiles().at("B").hasAlarm(AlarmKind::Offline); }, 5s));
  const auto took = std::chrono::steady_clock::now() - killed;
  const auto tookMs = std::chrono::duration_cast<std::chrono::milliseconds>(took).count();
  EXPECT_LT(took, 2s) << tookMs << " ms from the kill to a red tile";
  RecordProperty("kill_to_red_tile_ms", static_cast<int>(tookMs));
  EXPECT_EQ(board.activeAlarms(), 1);
  EXPECT_FALSE(board.tiles().at("A").inAlarm());
  EndConsole(consoles[1]);  // reaps it
  consoles[1] = -1;
}

TEST_F(BoardOnBroker, StopAllStopsEveryPumpThatAllowsItAndEachAnswers) {
  startBoard();
  ASSERT_TRUE(waitFor([&] { return allAnswering(); }));
  FarEnd operatorEnd(broker.port(), "pumps/+/cmd/result");
  ASSERT_TRUE(operatorEnd.ready());
  ASSERT_TRUE(operatorEnd.publish("pumps/A/cmd/run", R"({"request_id":"run-a"})"));
  ASSERT_TRUE(operatorEnd.publish("pumps/B/cmd/run", R"({"request_id":"run-b"})"));
  ASSERT_TRUE(waitFor([&] { return running("A") && running("B"); }));

  EXPECT_EQ(feed->stopAll(), (std::vector<std::string>{"A", "B"}));
  ASSERT_TRUE(waitFor([&] { return board.stopAllSettled(); }));
  EXPECT_EQ(StopAllReport(board.stopAllAnswers()), "全部泵已回应停泵命令。");
  for (const char* id : {"A", "B"}) {
    EXPECT_EQ(board.tiles().at(id).command->state, CommandOutcome::State::Done) << id;
  }
  EXPECT_TRUE(waitFor([&] { return !running("A") && !running("B"); }))
      << "the consoles' statuses did not go to STOP";
  EXPECT_FALSE(feed->send("C", "stop", 0)) << "C does not take remote commands";
}

TEST_F(BoardOnBroker, AConsoleKilledWhileRunningBeforeTheBoardStartedShowsOfflineRunUnknown) {
  FarEnd past(broker.port(), "pumps/#");
  ASSERT_TRUE(past.ready());
  ASSERT_TRUE(past.publish("pumps/Old/status", R"({"online":false,"pump_id":"Old"})", true));
  ASSERT_TRUE(past.publish("pumps/Old/event", R"({"event":"not kept"})"));
  const auto statusOfB = [&past](const char* holding) {
    return past.waitFor(
        [holding](const auto& message) {
          return message.topic == "pumps/B/status" &&
                 message.payload.find(holding) != std::string::npos;
        },
        10s);
  };
  ASSERT_TRUE(statusOfB(R"("link":"answering")"));  // B listens for commands
  ASSERT_TRUE(past.publish("pumps/B/cmd/run", R"({"request_id":"run-b"})"));
  ASSERT_TRUE(statusOfB(R"("pump":"RUN")"));
  ::kill(consoles[1], SIGKILL);
  ASSERT_TRUE(statusOfB(R"("online":false)"));

  startBoard();
  ASSERT_TRUE(waitFor([&] {
    return board.tiles().size() == 4 && board.tiles().contains("B") &&
           board.tiles().contains("Old");
  }));
  for (const char* id : {"B", "Old"}) {
    const PumpTile& tile = board.tiles().at(id);
    EXPECT_TRUE(tile.hasAlarm(AlarmKind::Offline)) << id;
    EXPECT_EQ(LinkText(tile.reading), "离线") << id;
    EXPECT_EQ(PumpStateText(tile.reading), "—") << id << ": the will does not say it stopped";
    EXPECT_EQ(RunText(tile.reading), "—") << id;
  }
  EndConsole(consoles[1]);  // reaps it
  consoles[1] = -1;
}

TEST_F(BoardOnBroker, AProgramSentFromTheBoardRunsAndItsTileShowsItsStepAndResult) {
  startBoard();
  ASSERT_TRUE(waitFor([&] { return allAnswering(); }));
  const program::Program program{"升流量", {{30, 0, 20, 20}, {30, 20, 20, 25}}};
  EXPECT_FALSE(feed->runProgram("C", program)) << "C does not take commands";
  ASSERT_TRUE(feed->runProgram("A", program));
  ASSERT_TRUE(waitFor([&] {
    const PumpTile& tile = board.tiles().at("A");
    return tile.reading.program && tile.command &&
           tile.command->state == CommandOutcome::State::Done;
  })) << "no program on A's tile, or no result for it";
  const ProgramReading& shown = *board.tiles().at("A").reading.program;
  EXPECT_EQ(shown.name, "升流量");
  EXPECT_EQ(shown.state, "running");
  EXPECT_EQ(shown.step, 1);
  EXPECT_EQ(shown.steps, 2);
  EXPECT_TRUE(running("A"));

  ASSERT_TRUE(feed->send("A", "stop", 0));
  ASSERT_TRUE(waitFor([&] { return !board.tiles().at("A").reading.program && !running("A"); }))
      << "a manual stop ends the program, and the tile says so";
}

TEST_F(BoardOnBroker, AGroupStartedFromTheBoardRunsOnItsMembersAndAbortedFromItEndsOnBoth) {
  startBoard();
  GroupRuns groups{"pumps", "board-test"};
  GroupRecordFile record(homes[0].path() + "/group-runs.csv");
  feed->followGroups(groups, record);
  ASSERT_TRUE(waitFor([&] { return allAnswering(); }));
  const group::GroupProgram gradient{"梯度", {"A", "B"}, {{60, 10, 10, {95, 5}, {5, 95}, 30}}};
  ASSERT_TRUE(waitFor([&] { return feed->startGroup(gradient, "gradient.json").empty(); }, 5s))
      << "the members' clocks are known once their readings came";
  // The part's start is told before its RUN goes out: the pumps run soon after.
  ASSERT_TRUE(waitFor([&] {
    return groups.runs().back().state == GroupState::Running && running("A") && running("B");
  })) << GroupStateText(groups.runs().back().state)
      << " " << groups.runs().back().cause;
  EXPECT_EQ(board.tiles().at("B").group, "梯度");
  EXPECT_EQ(board.tiles().at("B").reading.program->name, "梯度 B");

  feed->abortGroup(groups.runs().back().id);
  ASSERT_TRUE(waitFor([&] {
    return !board.tiles().at("A").reading.program && !board.tiles().at("B").reading.program;
  })) << "both parts ended";
  EXPECT_FALSE(running("A") || running("B"));
  EXPECT_EQ(board.tiles().at("A").group, "");
  std::ifstream file(record.path(), std::ios::binary);
  const std::string rows((std::istreambuf_iterator<char>(file)), {});
  for (const char* event :
       {",start,\"name=梯度 file=gradient.json members=A,B", ",running,", ",aborted,"})
    EXPECT_NE(rows.find(event), std::string::npos) << event << " not in\n" << rows;
}

TEST_F(BoardOnBroker, MovedToAnotherBrokerTheBoardForgetsThePumpsOfTheFirst) {
  startBoard();
  ASSERT_TRUE(waitFor([&] { return allAnswering(); }));
  TestBroker other;
  ASSERT_TRUE(other.start());
  FarEnd lab(other.port(), "pumps/#");
  ASSERT_TRUE(lab.ready());
  ASSERT_TRUE(lab.publish("pumps/Z/status", R"({"pump_id":"Z","online":true,"link":"answering"})",
                          /*retain=*/true));

  feed.reset();
  remote::RemoteSettings settings;
  settings.brokerUrl = other.url();
  auto moved = std::make_unique<remote::MosquittoConnection>(
      settings, [this](std::function<void()> task) { window.post(std::move(task)); });
  feed = std::make_unique<BoardFeed>(board, *connection, &BoardTime::Now, nullptr);
  connection->stop({});
  feed->moveTo(*moved);
  EXPECT_TRUE(board.tiles().empty());
  ASSERT_TRUE(waitFor([&] { return board.tiles().contains("Z"); }));
  // The first broker's consoles keep publishing, but not to this board.
  ASSERT_FALSE(waitFor([&] { return board.tiles().size() > 1; }, 3s));
  feed.reset();
  moved.reset();  // before the other broker goes
}

}  // namespace
}  // namespace pump::board
