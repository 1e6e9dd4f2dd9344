#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "board/board.h"
#include "board/tile_texts.h"
#include "tests/board/board_clock.h"

namespace pump::board {
namespace {

using namespace std::chrono_literals;
using testing::ScriptedClock;
using testing::Status;
using State = CommandOutcome::State;

class BoardCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    board.receive("pumps/A/status", Status("A", "RUN", 1, 20, "answering", true), clock.now);
    board.receive("pumps/B/status", Status("B", "RUN", 1, 20, "answering", true), clock.now);
    board.receive("pumps/C/status", Status("C", "RUN", 1, 20, "answering", false), clock.now);
  }
  void answer(const std::string& id, const std::string& result) {
    board.receive("pumps/" + id + "/cmd/result", result, clock.now);
  }
  static std::string RequestIdOf(const OutgoingCommand& command) {
    return nlohmann::json::parse(command.payload).at("request_id").get<std::string>();
  }
  const std::optional<CommandOutcome>& outcome(const std::string& id) {
    return board.tiles().at(id).command;
  }

  ScriptedClock clock;
  Board board{"pumps", "board-7f3a"};
};

TEST_F(BoardCommandTest, CommandsGoOnlyToConsolesThatAllowThemWithAFreshRequestIdEach) {
  EXPECT_FALSE(board.command("C", "stop", 0, clock.now));  // remote control not allowed
  EXPECT_FALSE(board.command("Z", "stop", 0, clock.now));  // no such pump
  EXPECT_FALSE(board.command("A", "self_destruct", 0, clock.now));

  const auto flow = board.command("A", "set_flow", 150.5, clock.now);
  const auto limit = board.command("B", "set_pressure_limit", 12, clock.now);
  const auto stop = board.command("A", "stop", 0, clock.now);
  ASSERT_TRUE(flow && limit && stop);
  EXPECT_EQ(flow->topic, "pumps/A/cmd/set_flow");
  EXPECT_EQ(nlohmann::json::parse(flow->payload).at("ml_min"), 150.5);
  EXPECT_EQ(limit->topic, "pumps/B/cmd/set_pressure_limit");
  EXPECT_EQ(nlohmann::json::parse(limit->payload).at("mpa"), 12);
  EXPECT_EQ(stop->topic, "pumps/A/cmd/stop");
  EXPECT_EQ(RequestIdOf(*flow).rfind("board-7f3a", 0), 0u);
  EXPECT_NE(RequestIdOf(*flow), RequestIdOf(*stop));
  EXPECT_NE(RequestIdOf(*flow), RequestIdOf(*limit));

  // An offline console takes no command, even one that allowed them.
  board.receive("pumps/B/status", R"({"online":false,"pump_id":"B"})", clock.now);
  EXPECT_FALSE(board.command("B", "stop", 0, clock.now));
}

TEST_F(BoardCommandTest, AProgramGoesInTheFilesShapeToAConsoleThatAllowsCommands) {
  const program::Program program{"升流量", {{60, 0, 50, 30}, {600, 50, 50, 30}}};
  EXPECT_FALSE(board.runProgram("C", program, clock.now));
  const auto sent = board.runProgram("A", program, clock.now);
  ASSERT_TRUE(sent);
  EXPECT_EQ(sent->topic, "pumps/A/cmd/run_program");
  const auto payload = nlohmann::json::parse(sent->payload);
  EXPECT_EQ(payload.at("program"),
            nlohmann::json::parse(
                R"({"version":1,"name":"升流量","steps":[)"
                R"({"seconds":60,"flow_start":0,"flow_end":50,"pressure_limit":3.0},)"
                R"({"seconds":600,"flow_start":50,"flow_end":50,"pressure_limit":3.0}]})"));
  EXPECT_EQ(outcome("A")->state, State::Waiting);
  answer("A", R"({"request_id":")" + RequestIdOf(*sent) + R"(","ok":true})");
  EXPECT_EQ(outcome("A")->state, State::Done);
}

TEST_F(BoardCommandTest, TheTileShowsItsOwnResultAndNoAnswerAfterFiveSeconds) {
  const auto stop = board.command("A", "stop", 0, clock.now);
  ASSERT_TRUE(stop);
  answer("A", R"({"request_id":"someone-else-1","ok":false,"error":"x"})");
  answer("B", R"({"request_id":")" + RequestIdOf(*stop) + R"(","ok":true})");  // wrong pump
  answer("A", "garbage");
  EXPECT_EQ(outcome("A")->state, State::Waiting);

  answer("A", R"({"request_id":")" + RequestIdOf(*stop) + R"(","ok":true})");
  EXPECT_EQ(outcome("A")->state, State::Done);

  const auto flow = board.command("A", "set_flow", 9999, clock.now);
  answer("A", R"({"request_id":")" + RequestIdOf(*flow) + R"(","ok":false,"error":"too high"})");
  EXPECT_EQ(outcome("A")->state, State::Refused);
  EXPECT_EQ(outcome("A")->error, "too high");

  board.command("A", "stop", 0, clock.now);
  clock.advance(4900ms);
  board.tick(clock.now);
  EXPECT_EQ(outcome("A")->state, State::Waiting);
  clock.advance(100ms);
  EXPECT_TRUE(board.tick(clock.now));
  EXPECT_EQ(outcome("A")->state, State::NoAnswer);
}

TEST_F(BoardCommandTest, StopAllTellsStoppedRefusedAndSilentPumpsApart) {
  board.receive("pumps/D/status", Status("D", "RUN", 1, 20, "answering", true), clock.now);
  const auto stops = board.stopAll(clock.now);
  ASSERT_EQ(stops.size(), 3u);
  EXPECT_EQ(stops[0].topic, "pumps/A/cmd/stop");
  EXPECT_EQ(stops[1].topic, "pumps/B/cmd/stop");
  EXPECT_EQ(stops[2].topic, "pumps/D/cmd/stop");
  EXPECT_FALSE(board.stopAllSettled());
  EXPECT_EQ(StopAllReport(board.stopAllAnswers()), "以下泵没有回应：\nA\nB\nD");

  answer("A", R"({"request_id":")" + RequestIdOf(stops[0]) + R"(","ok":true})");
  answer("B",
         R"({"request_id":")" + RequestIdOf(stops[1]) + R"(","ok":false,"error":"local control"})");
  // A command sent to D after the stop does not hide how D answers the stop.
  ASSERT_TRUE(board.command("D", "set_flow", 10, clock.now));
  EXPECT_FALSE(board.stopAllSettled());

  clock.advance(5s);
  board.tick(clock.now);
  EXPECT_TRUE(board.stopAllSettled());
  EXPECT_EQ(StopAllReport(board.stopAllAnswers()),
            "以下泵拒绝了停泵命令：\nB：local control\n\n以下泵没有回应：\nD\n\n以下泵已停泵：\nA");
  EXPECT_EQ(outcome("D")->state, State::NoAnswer);
}

TEST_F(BoardCommandTest, StopAllSaysAllAnsweredOnlyWhenEveryPumpStopped) {
  const auto stops = board.stopAll(clock.now);
  ASSERT_EQ(stops.size(), 2u);
  answer("A", R"({"request_id":")" + RequestIdOf(stops[0]) + R"(","ok":true})");
  answer("B", R"({"request_id":")" + RequestIdOf(stops[1]) + R"(","ok":true})");
  EXPECT_TRUE(board.stopAllSettled());
  EXPECT_EQ(StopAllReport(board.stopAllAnswers()), "全部泵已回应停泵命令。");
}

}  // namespace
}  // namespace pump::board
