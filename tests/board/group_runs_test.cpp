// The board's groups: each member's part sent with one start and the group,
// what refuses a start, a member refusing or silent, and the group's state
// from what its members tell.
#include "board/group_runs.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "group/start_time.h"
#include "runlog/local_time.h"
#include "tests/board/board_clock.h"

namespace pump::board {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;
using testing::ScriptedClock;
using testing::Status;

group::GroupProgram Gradient() {
  return {"梯度", {"A", "B"}, {{600, 10, 10, {95, 5}, {5, 95}, 30}}};
}

class GroupRunsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* id : {"A", "B", "C"}) {
      board.receive(std::string("pumps/") + id + "/status",
                    Status(id, "STOP", 1, 3, "answering", true), clock.now);
      reading(id, 0ms);
    }
  }
  // A reading whose time is the board's own, `off` apart.
  void reading(const std::string& id, std::chrono::milliseconds off) {
    const std::string payload =
        R"({"time":")" + runlog::LocalTimestamp(clock.now.wall + off) + R"(","pressure_mpa":1.0})";
    groups.receive("pumps/" + id + "/pressure", payload, clock.now);
  }
  void answer(const OutgoingCommand& command, bool ok) {
    const std::string id = Json::parse(command.payload).at("request_id");
    groups.receive(
        "pumps/" + command.pumpId + "/cmd/result",
        Json{{"request_id", id}, {"ok", ok}, {"error", ok ? "" : "a program is running"}}.dump(),
        clock.now);
  }
  void part(const std::string& id, const char* state) {
    Json status = Json::parse(Status(id, "RUN", 1, 3, "answering", true));
    status["program"] = state ? Json{{"name", "梯度 " + id},
                                     {"state", state},
                                     {"step", 1},
                                     {"steps", 1},
                                     {"seconds_left", 100}}
                              : Json();
    groups.receive("pumps/" + id + "/status", status.dump(), clock.now);
  }

  ScriptedClock clock;
  Board board{"pumps", "board-1"};
  GroupRuns groups{"pumps", "board-1"};
};

TEST_F(GroupRunsTest, EachMemberGetsItsPartTheGroupAndOneStartTwoSecondsAhead) {
  const auto start = groups.start(Gradient(), board, clock.now);
  ASSERT_EQ(start.refusal, "");
  ASSERT_EQ(start.commands.size(), 2u);
  const Json a = Json::parse(start.commands[0].payload), b = Json::parse(start.commands[1].payload);
  EXPECT_EQ(start.commands[1].topic, "pumps/B/cmd/run_program");
  EXPECT_EQ(a["start_at"], b["start_at"]);
  EXPECT_EQ(a["start_at"], group::UtcTimeText(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                  (clock.now.wall + 2s).time_since_epoch())
                                                  .count()));
  EXPECT_EQ(a["group"]["members"], Json({"A", "B"}));
  EXPECT_EQ(b["program"]["steps"][0]["flow_end"], 9);
  EXPECT_EQ(groups.groupOf("B"), "梯度");
  EXPECT_EQ(groups.runs()[0].state, GroupState::Starting);

  for (const auto& command : start.commands) answer(command, true);
  part("A", "running");
  part("B", "running");
  EXPECT_EQ(groups.runs()[0].state, GroupState::Running);
  groups.receive("pumps/B/event", R"({"event":"program","detail":"interlock A offline"})",
                 clock.now);
  part("B", "paused");
  EXPECT_EQ(groups.runs()[0].state, GroupState::Paused);
  EXPECT_EQ(groups.runs()[0].cause, "B: interlock A offline");

  const auto resumed = groups.resume(groups.runs()[0].id, clock.advance(10s));
  ASSERT_EQ(resumed.size(), 2u);
  EXPECT_EQ(Json::parse(resumed[0].payload)["start_at"],
            Json::parse(resumed[1].payload)["start_at"]);
  part("A", nullptr);
  part("B", nullptr);
  EXPECT_EQ(groups.runs()[0].state, GroupState::Ended);
  EXPECT_FALSE(groups.groupOf("A"));
  std::vector<std::string> recorded;
  for (const GroupRecordRow& row : groups.takeRecords()) recorded.push_back(row.event);
  EXPECT_EQ(recorded, (std::vector<std::string>{"start", "running", "interlock", "paused",
                                                "continue", "ended"}));
}

TEST_F(GroupRunsTest, AStartIsRefusedNamingThePumpThatCannotTakeIt) {
  board.receive("pumps/C/status", Status("C", "STOP", 1, 3, "answering", false), clock.now);
  auto group = Gradient();
  group.pumpIds = {"A", "C"};
  EXPECT_EQ(groups.start(group, board, clock.now).refusal, "C 不在线或不接受远程控制。");
  group.pumpIds = {"A", "D"};
  EXPECT_EQ(groups.start(group, board, clock.now).refusal, "D 不在线或不接受远程控制。");
  clock.advance(2s);  // a pump's clock is looked at every two seconds at most
  reading("B", 1400ms);
  EXPECT_EQ(groups.start(Gradient(), board, clock.now).refusal,
            "B 的时钟与本机相差 +1.4 秒，超过 1 秒。");
  clock.advance(2s);
  reading("B", -900ms);
  ASSERT_EQ(groups.start(Gradient(), board, clock.now).refusal, "");
  EXPECT_EQ(groups.start(Gradient(), board, clock.now).refusal, "A 已在联动组“梯度”中运行。");
  GroupRuns unheard{"pumps", "board-2"};
  EXPECT_EQ(unheard.start(Gradient(), board, clock.now).refusal,
            "A 最近 5 秒没有读数，无法核对它的时钟。");
}

TEST_F(GroupRunsTest, AMemberThatRefusesOrNeverAnswersAbortsThePartsAlreadyTaken) {
  auto start = groups.start(Gradient(), board, clock.now);
  answer(start.commands[0], true);
  const std::string refused = Json::parse(start.commands[1].payload).at("request_id");
  const auto aborts = groups.receive(
      "pumps/B/cmd/result",
      Json{{"request_id", refused}, {"ok", false}, {"error", "a program is running"}}.dump(),
      clock.now);
  ASSERT_EQ(aborts.size(), 1u);
  EXPECT_EQ(aborts[0].topic, "pumps/A/cmd/abort_program");
  EXPECT_EQ(groups.runs()[0].state, GroupState::NotStarted);
  EXPECT_EQ(groups.runs()[0].cause, "B 拒绝了它的部分：a program is running。已发出的部分已中止。");

  reading("A", 0ms);
  reading("B", 0ms);
  start = groups.start(Gradient(), board, clock.now);
  answer(start.commands[1], true);
  EXPECT_TRUE(groups.tick(clock.advance(4900ms)).empty());
  const auto silent = groups.tick(clock.advance(100ms));
  ASSERT_EQ(silent.size(), 1u);
  EXPECT_EQ(silent[0].topic, "pumps/B/cmd/abort_program");
  EXPECT_EQ(groups.runs()[1].cause, "A 5 秒内没有回答。已发出的部分已中止。");
}

}  // namespace
}  // namespace pump::board
