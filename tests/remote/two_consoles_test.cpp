// Two consoles on one broker, each on a pump of its own: one without a window
// in a process of its own, one with its window here (offscreen). A dashboard
// subscribed to every pump sees both, and a set-flow it publishes reaches the
// windowed console's pump and its display.
#include <gtest/gtest.h>

#include <QLabel>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>

#include "app/composition.h"
#include "tests/remote/far_end.h"
#include "tests/support/console_process.h"
#include "tests/support/port_box_answer.h"
#include "tests/support/pump_sim_process.h"
#include "tests/support/test_broker.h"

namespace pump::remote::testing {
namespace {

using namespace pump::testing;
using Json = nlohmann::json;

bool Seen(const FarEnd& end, const std::string& topic,
          const std::function<bool(const Json&)>& match) {
  for (const auto& message : end.receivedOn(topic)) {
    const Json json = Json::parse(message.payload, nullptr, false);
    if (!json.is_discarded() && match(json)) return true;
  }
  return false;
}

TEST(TwoConsoles, BothPublishTheirPressuresAndASetFlowReachesTheWindowedConsolesPumpAndDisplay) {
  if (const auto why = TestBroker::MissingReason()) GTEST_SKIP() << *why;
  QStandardPaths::setTestModeEnabled(true);
  TestBroker broker;
  ASSERT_TRUE(broker.start());
  pump::testing::PumpSimProcess headlessPump, windowedPump;
  ASSERT_FALSE(headlessPump.devicePath().empty() || windowedPump.devicePath().empty());
  FarEnd dashboard(broker.port(), "pumps/#");
  ASSERT_TRUE(dashboard.ready());

  ScratchFolder home;
  const pid_t headless = StartHeadlessConsole(PUMP_CONSOLE, headlessPump.devicePath(), broker.url(),
                                              "lab-a", home.path());
  ASSERT_GT(headless, 0);
  ScratchFolder logs;
  app::Console console(logs.path());
  console.start();
  RemoteSettings settings;
  settings.brokerUrl = broker.url();
  settings.pumpId = "lab-b";
  settings.allowRemoteControl = true;
  console.startRemote(settings);
  pump::testing::OpenThroughThePortBox(console.window(), windowedPump.devicePath());

  const auto any = [](const Json&) { return true; };
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return Seen(dashboard, "pumps/lab-a/pressure", any) &&
               Seen(dashboard, "pumps/lab-b/pressure", any);
      },
      10000))
      << "both consoles' pressures on the broker";

  ASSERT_TRUE(
      dashboard.publish("pumps/lab-b/cmd/set_flow", R"({"ml_min":150,"request_id":"b-1"})"));
  const Label& flow = console.window().display.flowSetpoint;
  // The pump answers the set-flow frame, and its answer sets the display.
  EXPECT_TRUE(QTest::qWaitFor([&] { return flow.caption() == "0150"; }, 5000)) << flow.caption();
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return Seen(dashboard, "pumps/lab-b/event", [](const Json& e) {
          return e["event"] == "command" && e["detail"] == "Q00L0150Y";
        });
      },
      5000))
      << "the frame written to the windowed console's line";
  auto* status = console.mainWindowView().findChild<QLabel*>("remoteStatus");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->text(), "● 远程: 设定流量 150  [b-1]");
  const QString shots =
      qEnvironmentVariable("PUMP_SCREENSHOTS", QString::fromStdString(ScratchFolder().path()));
  console.mainWindowView().grab().save(shots + "/two-consoles-remote-set-flow.png");

  ASSERT_TRUE(
      dashboard.publish("pumps/lab-a/cmd/set_flow", R"({"ml_min":120,"request_id":"a-1"})"));
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return Seen(dashboard, "pumps/lab-a/status",
                    [](const Json& s) { return s["flow_ml_min"] == 120.0; });
      },
      5000))
      << "the headless console's pump took the flow";
  EXPECT_EQ(flow.caption(), "0150") << "each command reaches only its own pump";
  EXPECT_EQ(EndConsole(headless), 0);
  console.window().closeWindow();
}

std::string Heard(const std::string& log) {
  std::ifstream in(log, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Two headless consoles started with one pump id, as two instances of the
// systemd unit once were, each on a pump of its own.
TEST(TwoConsoles, UnderOnePumpIdBothRefuseEveryCommandAndAKilledOnesWillLeavesTheOtherOnline) {
  if (const auto why = TestBroker::MissingReason()) GTEST_SKIP() << *why;
  TestBroker broker;
  ASSERT_TRUE(broker.start());
  ScratchFolder homeA, homeB;
  const std::string heardA = homeA.path() + "/heard", heardB = homeB.path() + "/heard";
  pump::testing::PumpSimProcess pumpA{{"--log-received", heardA}},
      pumpB{{"--log-received", heardB}};
  ASSERT_FALSE(pumpA.devicePath().empty() || pumpB.devicePath().empty());
  const std::string prefix = "pumps/shared/", inUse = "pump id in use by another console";
  FarEnd dashboard(broker.port(), prefix + "#");
  ASSERT_TRUE(dashboard.ready());
  const auto statuses = [&] {
    std::vector<Json> all;
    for (const auto& message : dashboard.receivedOn(prefix + "status")) {
      all.push_back(Json::parse(message.payload));
    }
    return all;
  };

  const pid_t a =
      StartHeadlessConsole(PUMP_CONSOLE, pumpA.devicePath(), broker.url(), "shared", homeA.path());
  ASSERT_GT(a, 0);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !statuses().empty(); }, 10000));
  const std::string instanceA = statuses().front().value("instance_id", "");
  const pid_t b =
      StartHeadlessConsole(PUMP_CONSOLE, pumpB.devicePath(), broker.url(), "shared", homeB.path());
  ASSERT_GT(b, 0);
  std::set<std::string> inConflict;
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        for (const Json& status : statuses()) {
          if (status.value("conflict", Json()) == inUse) {
            inConflict.insert(status.value("instance_id", ""));
          }
        }
        return inConflict.size() == 2;
      },
      10000))
      << "each console names the conflict in its status";

  ASSERT_TRUE(dashboard.publish(prefix + "cmd/run", R"({"request_id":"both"})"));
  QTest::qWait(1000);  // time for every answer, and any frame, to show up
  std::vector<Json> results;
  for (const auto& message : dashboard.receivedOn(prefix + "cmd/result")) {
    results.push_back(Json::parse(message.payload));
  }
  const Json refused{{"request_id", "both"}, {"ok", false}, {"error", inUse}};
  EXPECT_EQ(results, (std::vector<Json>{refused, refused}));
  EXPECT_EQ(Heard(heardA).find("R0000"), std::string::npos) << "the run frame reached pump A";
  EXPECT_EQ(Heard(heardB).find("R0000"), std::string::npos) << "the run frame reached pump B";

  EndConsole(b, SIGKILL);
  // The will took the retained status for itself; the survivor takes it back.
  const auto survivorRetained = [&] {
    FarEnd late(broker.port(), prefix + "status");
    const auto kept = late.waitFor([](const Received&) { return true; }, std::chrono::seconds(1));
    const Json status = kept ? Json::parse(kept->payload) : Json::object();
    return status.value("online", false) && status.value("instance_id", "") == instanceA &&
           status.value("conflict", Json()).is_null();
  };
  EXPECT_TRUE(QTest::qWaitFor(survivorRetained, 10000))
      << "the retained status is not the survivor's, online";
  EXPECT_EQ(EndConsole(a), 0);
}

}  // namespace
}  // namespace pump::remote::testing
