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
#include "tests/remote/console_process.h"
#include "tests/remote/far_end.h"
#include "tests/remote/test_broker.h"
#include "tests/support/port_box_answer.h"
#include "tests/support/pump_sim_process.h"

namespace pump::remote::testing {
namespace {

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
  const std::string prefix = "pumps/shared/";
  FarEnd dashboard(broker.port(), prefix + "#");
  ASSERT_TRUE(dashboard.ready());

  const pid_t a =
      StartHeadlessConsole(PUMP_CONSOLE, pumpA.devicePath(), broker.url(), "shared", homeA.path());
  ASSERT_GT(a, 0);
  std::string instanceA;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return Seen(dashboard, prefix + "status", [&](const Json& s) {
          if (s.value("link", "") != "answering") return false;
          instanceA = s.value("instance_id", "");
          return true;
        });
      },
      10000));
  const pid_t b =
      StartHeadlessConsole(PUMP_CONSOLE, pumpB.devicePath(), broker.url(), "shared", homeB.path());
  ASSERT_GT(b, 0);
  std::string instanceB;
  const auto inConflict = [&](const std::string& instance) {
    return Seen(dashboard, prefix + "status", [&](const Json& s) {
      return s.value("instance_id", "") == instance &&
             s.value("conflict", Json()) == "pump id in use by another console";
    });
  };
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        Seen(dashboard, prefix + "status", [&](const Json& s) {
          if (s.value("instance_id", "") != instanceA) instanceB = s.value("instance_id", "");
          return !instanceB.empty();
        });
        return !instanceB.empty() && inConflict(instanceA) && inConflict(instanceB);
      },
      10000))
      << "each console names the conflict in its status";

  ASSERT_TRUE(dashboard.publish(prefix + "cmd/run", R"({"request_id":"both"})"));
  const Json refused{
      {"request_id", "both"}, {"ok", false}, {"error", "pump id in use by another console"}};
  const auto results = [&] {
    std::vector<Json> all;
    for (const auto& message : dashboard.receivedOn(prefix + "cmd/result")) {
      all.push_back(Json::parse(message.payload));
    }
    return all;
  };
  EXPECT_TRUE(QTest::qWaitFor([&] { return results().size() >= 2; }, 5000));
  QTest::qWait(500);  // time for any other answer, or a frame, to show up
  EXPECT_EQ(results(), (std::vector<Json>{refused, refused}));
  const auto refusalRows = [&] {
    int rows = 0;
    for (const auto& message : dashboard.receivedOn(prefix + "event")) {
      const Json event = Json::parse(message.payload);
      rows += event.value("event", "") == "refused" &&
              event.value("detail", "") ==
                  "remote run request_id=both error=pump id in use by another console";
    }
    return rows;
  };
  EXPECT_EQ(refusalRows(), 2) << "a run-log row each";
  EXPECT_EQ(Heard(heardA).find("R0000"), std::string::npos) << "the run frame reached pump A";
  EXPECT_EQ(Heard(heardB).find("R0000"), std::string::npos) << "the run frame reached pump B";

  EndConsole(b, SIGKILL);
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return Seen(dashboard, prefix + "status", [&](const Json& s) {
          return s.value("online", true) == false && s.value("instance_id", "") == instanceB;
        });
      },
      60000))
      << "no will from the killed console";
  // The will took the retained status for itself; the survivor takes it back.
  const auto survivorRetained = [&] {
    FarEnd late(broker.port(), prefix + "status");
    const auto status = late.waitFor([](const Received&) { return true; }, std::chrono::seconds(1));
    const Json json = status ? Json::parse(status->payload, nullptr, false) : Json();
    return json.is_object() && json.value("online", false) &&
           json.value("instance_id", "") == instanceA && json.value("conflict", Json()).is_null();
  };
  EXPECT_TRUE(QTest::qWaitFor(survivorRetained, 5000))
      << "the retained status is not the survivor's, online";
  EXPECT_EQ(EndConsole(a), 0);
}

}  // namespace
}  // namespace pump::remote::testing
