// Commands from the broker that must not move the pump: ones the broker kept
// from the past, and ones sent again under a request id already answered.
#include <gtest/gtest.h>

#include "tests/remote/old_broker_gate.h"
#include "tests/remote/station_fixture.h"

namespace pump::remote::testing {
namespace {

using pump::testing::TestBroker;

const Json kRetainedRunIgnored{
    {"request_id", "left-over"}, {"ok", false}, {"error", "retained command ignored"}};

class BrokerKeepingRetainedMessages : public StationOnBroker {
 protected:
  void SetUp() override {
    broker.keepRetainedMessages();
    StationOnBroker::SetUp();
  }
};

TEST_F(BrokerKeepingRetainedMessages, ARetainedRunIsNeitherObeyedAtConnectNorReplayedByARestart) {
  settings.allowRemoteControl = true;
  {
    FarEnd dashboard(broker.port(), topic("cmd/result"));
    ASSERT_TRUE(dashboard.ready());
    ASSERT_TRUE(dashboard.publish(topic("cmd/run"), R"({"request_id":"left-over"})", true));
  }
  startStation();
  window.runFor(1s);
  EXPECT_TRUE(control.calls.empty()) << "a command the broker kept reached the pump";

  FarEnd dashboard(broker.port(), topic("cmd/result"));
  ASSERT_TRUE(dashboard.ready());
  ASSERT_TRUE(dashboard.publish(topic("cmd/stop"), R"({"request_id":"live-stop"})"));
  ASSERT_TRUE(awaitJson(dashboard, topic("cmd/result"),
                        [](const Json& r) { return r["request_id"] == "live-stop"; }));

  broker.stop();
  ASSERT_TRUE(
      window.runUntil([&] { return station->brokerStatus().state != BrokerState::Connected; }, 5s));
  ASSERT_TRUE(broker.start());
  ASSERT_TRUE(connected(10s)) << "no reconnection after the broker came back";
  window.runFor(1500ms);
  EXPECT_EQ(control.calls, (std::vector<std::string>{"stop"}));

  // The broker did keep it: a subscriber that may take retained messages gets it.
  FarEnd late(broker.port(), topic("cmd/run"));
  ASSERT_TRUE(late.ready());
  const auto kept = late.waitFor([](const Received& m) { return m.retained; }, 5s);
  EXPECT_TRUE(kept) << "the restarted broker lost the retained command: nothing was tested";
}

// An MQTT 3.1.1 broker cannot be asked to keep its retained messages back.
TEST_F(StationOnBroker, OnAnMqtt311BrokerARetainedCommandIsAnsweredAndLoggedButNotObeyed) {
  settings.allowRemoteControl = true;
  OldBrokerGate oldBroker(broker.port());
  ASSERT_TRUE(oldBroker.ready());
  settings.brokerUrl = oldBroker.url();
  FarEnd dashboard(broker.port(), topic("cmd/result"));
  ASSERT_TRUE(dashboard.ready());
  ASSERT_TRUE(dashboard.publish(topic("cmd/run"), R"({"request_id":"left-over"})", true));

  startStation();
  EXPECT_GE(oldBroker.refusedMqtt5(), 1) << "the console never tried MQTT 5";
  const auto answer = awaitJson(dashboard, topic("cmd/result"),
                                [](const Json& r) { return r["request_id"] == "left-over"; });
  ASSERT_TRUE(answer);
  EXPECT_EQ(*answer, kRetainedRunIgnored);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_FALSE(notices[0].ok);
  EXPECT_EQ(notices[0].statusText, "● 远程: 运行 已拒绝 (retained command ignored)");
  EXPECT_EQ(notices[0].logDetail, "remote run request_id=left-over error=retained command ignored");

  // Live commands through the same broker are obeyed as ever.
  ASSERT_TRUE(dashboard.publish(topic("cmd/stop"), R"({"request_id":"live-stop"})"));
  EXPECT_TRUE(awaitJson(dashboard, topic("cmd/result"), [](const Json& r) {
    return r["request_id"] == "live-stop" && r["ok"] == true;
  }));
  EXPECT_EQ(control.calls, (std::vector<std::string>{"stop"}));
}

// The console's broker bridged to an upstream one that keeps its retained
// messages across a restart.
class BridgedBrokers : public StationOnBroker {
 protected:
  void SetUp() override {
    upstream.keepRetainedMessages();
    broker.bridgeTo(upstream.port(), "pumps/#");
    StationOnBroker::SetUp();
  }

  TestBroker upstream;
};

// The bridge subscribes again when the upstream broker comes back, and
// publishes what that one retained on the console's broker as it came.
TEST_F(BridgedBrokers, ARetainedRunReplayedThroughABridgeIsAnsweredButNotObeyed) {
  settings.allowRemoteControl = true;
  ASSERT_TRUE(upstream.start());
  {
    FarEnd upstreamDashboard(upstream.port(), topic("cmd/result"));
    ASSERT_TRUE(upstreamDashboard.ready());
    ASSERT_TRUE(upstreamDashboard.publish(topic("cmd/run"), R"({"request_id":"left-over"})", true));
  }
  upstream.stop();
  startStation();
  FarEnd dashboard(broker.port(), topic("cmd/result"));
  ASSERT_TRUE(dashboard.ready());

  ASSERT_TRUE(upstream.start());
  const auto answer = awaitJson(
      dashboard, topic("cmd/result"), [](const Json& r) { return r["request_id"] == "left-over"; },
      10s);
  ASSERT_TRUE(answer) << "the bridge replayed nothing: nothing was tested";
  EXPECT_EQ(*answer, kRetainedRunIgnored);
  EXPECT_TRUE(control.calls.empty()) << "the replayed run reached the pump";
}

TEST_F(StationOnBroker, ACommandSentAgainUnderItsRequestIdIsAnsweredAgainButCarriedOutOnce) {
  settings.allowRemoteControl = true;
  FarEnd dashboard(broker.port(), topic("cmd/result"));
  ASSERT_TRUE(dashboard.ready());
  startStation();
  const std::vector<std::pair<std::string, std::string>> sent{
      {"set_flow", R"({"ml_min":150,"request_id":"d1"})"},
      {"set_flow", R"({"ml_min":150,"request_id":"d1"})"},
      {"set_flow", R"({"ml_min":250,"request_id":"d2"})"},
      {"set_flow", R"({"ml_min":250,"request_id":"d2"})"},
      {"run", R"({})"},
      {"run", R"({})"},
      {"stop", R"({"request_id":"d1"})"},
  };
  for (const auto& [command, payload] : sent) {
    ASSERT_TRUE(dashboard.publish(topic("cmd/" + command), payload));
  }
  window.runUntil([&] { return dashboard.received().size() >= sent.size(); }, 5s);
  window.runFor(300ms);  // time for any extra answer to show up

  std::vector<Json> results;
  for (const auto& message : dashboard.received()) results.push_back(Json::parse(message.payload));
  const Json tooMuch{{"request_id", "d2"}, {"ok", false}, {"error", "ml_min must be at most 200"}};
  const Json noId{{"request_id", nullptr}, {"ok", true}};
  EXPECT_EQ(results, (std::vector<Json>{
                         {{"request_id", "d1"}, {"ok", true}},
                         {{"request_id", "d1"}, {"ok", true}},
                         tooMuch,
                         tooMuch,
                         noId,
                         noId,
                         {{"request_id", "d1"},
                          {"ok", false},
                          {"error", "request_id already used for another command"}},
                     }));
  EXPECT_EQ(control.calls, (std::vector<std::string>{"set_flow 150", "run", "run"}));
  // A repeat writes no run-log row; a clash is refused like any bad command.
  ASSERT_EQ(notices.size(), 5u);
  EXPECT_EQ(notices[4].logDetail,
            "remote stop request_id=d1 error=request_id already used for another command");
}

}  // namespace
}  // namespace pump::remote::testing
