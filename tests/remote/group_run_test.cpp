// Two consoles without a window, each on a pseudo-terminal pump of its own
// and a real broker, running the two parts of one group program: they start
// together at the moment given, and stop together when one of them, or the
// broker, goes away.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <string>

#include "group/start_time.h"
#include "runlog/local_time.h"
#include "tests/remote/far_end.h"
#include "tests/runlog/log_test_support.h"
#include "tests/support/console_process.h"
#include "tests/support/pump_sim_process.h"
#include "tests/support/test_broker.h"

namespace pump::remote::testing {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;
using pump::testing::EndConsole;
using pump::testing::ReadFile;
using pump::testing::ScratchFolder;
using pump::testing::StartHeadlessConsole;
using pump::testing::TestBroker;
using runlog::testing::WaitUntil;

constexpr char kRun[] = "Q00R0000Y", kStop[] = "Q00S0000Y";

std::int64_t UtcNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// One member: its pump, what the pump heard, and its console.
struct Member {
  explicit Member(const std::string& name)
      : id(name), heard(home.path() + "/heard"), pump({"--log-received", heard}) {}
  std::string id;
  ScratchFolder home;
  std::string heard;
  pump::testing::PumpSimProcess pump;
  pid_t console = -1;

  // STOP heard after the last RUN.
  bool stoppedAfterRun() const {
    const std::string bytes = ReadFile(heard);
    const auto run = bytes.rfind(kRun);
    return run != std::string::npos && bytes.find(kStop, run) != std::string::npos;
  }
  std::size_t runs() const {
    const std::string bytes = ReadFile(heard);
    std::size_t count = 0;
    for (auto at = bytes.find(kRun); at != std::string::npos; at = bytes.find(kRun, at + 1))
      ++count;
    return count;
  }
};

class GroupRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const auto why = TestBroker::MissingReason()) GTEST_SKIP() << *why;
    broker.keepRetainedMessages();
    ASSERT_TRUE(broker.start());
    dashboard = std::make_unique<FarEnd>(broker.port(), "pumps/#");
    ASSERT_TRUE(dashboard->ready());
    for (Member* m : {&a, &b}) {
      ASSERT_FALSE(m->pump.devicePath().empty());
      m->console = StartHeadlessConsole(PUMP_CONSOLE, m->pump.devicePath(), broker.url(), m->id,
                                        m->home.path(), true, m->home.path() + "/err.txt");
      ASSERT_GT(m->console, 0);
    }
    ASSERT_TRUE(WaitUntil([&] { return answering(a) && answering(b); }, 15s))
        << "both pumps answering";
  }
  void TearDown() override {
    for (Member* m : {&a, &b})
      if (m->console > 0) EndConsole(m->console, SIGKILL);
  }

  bool answering(const Member& m) const {
    for (const auto& message : dashboard->receivedOn("pumps/" + m.id + "/status")) {
      const Json status = Json::parse(message.payload, nullptr, false);
      if (status.is_object() && status.value("link", "") == "answering") return true;
    }
    return false;
  }

  // Sends each member its part of a two-pump program starting at `startAt`.
  void startGroup(std::int64_t startAt) {
    for (Member* m : {&a, &b}) {
      const int flow = m == &a ? 1 : 9;
      const Json command{{"request_id", "start-" + m->id},
                         {"start_at", group::UtcTimeText(startAt)},
                         {"group", {{"id", "g1"}, {"members", {"P01", "P02"}}}},
                         {"program",
                          {{"version", 1},
                           {"name", "梯度 " + m->id},
                           {"steps",
                            {{{"seconds", 600},
                              {"flow_start", flow},
                              {"flow_end", flow},
                              {"pressure_limit", 3.0}}}}}}};
      ASSERT_TRUE(dashboard->publish("pumps/" + m->id + "/cmd/run_program", command.dump()));
    }
    for (Member* m : {&a, &b}) {
      const auto result = dashboard->waitFor(
          [&](const Received& r) {
            return r.topic == "pumps/" + m->id + "/cmd/result" &&
                   r.payload.find("start-" + m->id) != std::string::npos;
          },
          5s);
      ASSERT_TRUE(result) << m->id << " answered";
      EXPECT_NE(result->payload.find("\"ok\":true"), std::string::npos) << result->payload;
    }
  }

  // When the member's console wrote its first RUN, by the event it published.
  std::optional<std::int64_t> firstRunAt(const Member& m) const {
    runlog::LogTimeReader times;
    for (const auto& message : dashboard->receivedOn("pumps/" + m.id + "/event")) {
      const Json event = Json::parse(message.payload, nullptr, false);
      if (!event.is_object() || event.value("detail", "") != kRun) continue;
      std::int64_t utcMs = 0;
      int offset = 0;
      if (times.parse(event.value("time", ""), utcMs, offset)) return utcMs;
    }
    return std::nullopt;
  }

  bool eventSeen(const Member& m, const std::string& detail) const {
    for (const auto& message : dashboard->receivedOn("pumps/" + m.id + "/event"))
      if (message.payload.find(detail) != std::string::npos) return true;
    return false;
  }

  TestBroker broker;
  std::unique_ptr<FarEnd> dashboard;
  Member a{"P01"}, b{"P02"};
};

TEST_F(GroupRun, BothPartsStartWithin50MsOfTheStartAndAKilledConsoleStopsTheOtherPump) {
  const std::int64_t startAt = UtcNowMs() + 2000;
  startGroup(startAt);
  ASSERT_TRUE(WaitUntil([&] { return firstRunAt(a) && firstRunAt(b); }, 6s)) << "both RUN";
  EXPECT_LE(std::llabs(*firstRunAt(a) - startAt), 50) << "P01 late or early";
  EXPECT_LE(std::llabs(*firstRunAt(b) - startAt), 50) << "P02 late or early";
  EXPECT_LE(std::llabs(*firstRunAt(a) - *firstRunAt(b)), 50);
  EXPECT_TRUE(eventSeen(a, "group g1 P01 P02")) << "the part's log names its group";

  std::this_thread::sleep_for(2s);  // running together
  EXPECT_FALSE(b.stoppedAfterRun());
  const auto killed = std::chrono::steady_clock::now();
  EndConsole(a.console, SIGKILL);
  a.console = -1;
  ASSERT_TRUE(WaitUntil([&] { return b.stoppedAfterRun(); }, 5s))
      << ReadFile(b.home.path() + "/err.txt");
  const auto reacted = std::chrono::steady_clock::now() - killed;
  EXPECT_LT(reacted, 5s);
  EXPECT_TRUE(WaitUntil([&] { return eventSeen(b, "interlock P01 offline"); }, 2s));
  EXPECT_NE(ReadFile(b.home.path() + "/err.txt").find("联动暂停：P01 离线"), std::string::npos)
      << ReadFile(b.home.path() + "/err.txt");
}

TEST_F(GroupRun, TheBrokerGoneStopsBothPumpsAndNothingRunsAgainUntilAContinueAtACommonStart) {
  startGroup(UtcNowMs() + 1500);
  ASSERT_TRUE(WaitUntil([&] { return a.runs() == 1 && b.runs() == 1; }, 6s));
  std::this_thread::sleep_for(1s);
  broker.kill();
  const auto gone = std::chrono::steady_clock::now();
  ASSERT_TRUE(WaitUntil([&] { return a.stoppedAfterRun() && b.stoppedAfterRun(); }, 5s));
  EXPECT_LT(std::chrono::steady_clock::now() - gone, 4s);

  ASSERT_TRUE(broker.start());
  dashboard = std::make_unique<FarEnd>(broker.port(), "pumps/#");
  ASSERT_TRUE(dashboard->ready());
  ASSERT_TRUE(WaitUntil([&] { return answering(a) && answering(b); }, 15s)) << "back on the broker";
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(a.runs(), 1u) << "no RUN before the continue";
  EXPECT_EQ(b.runs(), 1u);

  const std::string continueAt = group::UtcTimeText(UtcNowMs() + 1500);
  for (Member* m : {&a, &b}) {
    ASSERT_TRUE(dashboard->publish("pumps/" + m->id + "/cmd/continue_program",
                                   Json{{"start_at", continueAt}}.dump()));
  }
  EXPECT_TRUE(WaitUntil([&] { return a.runs() == 2 && b.runs() == 2; }, 5s)) << "both run again";
}

}  // namespace
}  // namespace pump::remote::testing
