// Pumps that run together, measured: two headless consoles, each on a
// pump-sim pseudo-terminal, on one loopback Mosquitto, run the two parts of a
// group program. Each round starts a group 2 s ahead and reads when each
// console wrote its first RUN (from its events on the broker), then kills
// one console with SIGKILL and times the other pump's STOP as the pump hears
// it; then starts a group again and kills the broker, timing both STOPs.
// Prints the medians beside their targets.
//
//   group_bench --console PATH [--rounds N]
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/statistics.h"
#include "bench/target.h"
#include "group/start_time.h"
#include "runlog/local_time.h"
#include "tests/remote/far_end.h"
#include "tests/support/console_process.h"
#include "tests/support/pump_sim_process.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_broker.h"

namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr char kRun[] = "Q00R0000Y", kStop[] = "Q00S0000Y";

std::int64_t UtcNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds within) {
  const auto deadline = Clock::now() + within;
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

struct Member {
  Member(std::string name, const std::string& console, const std::string& url)
      : id(std::move(name)), heard(home.path() + "/heard"), pump({"--log-received", heard}) {
    process = pump::testing::StartHeadlessConsole(console, pump.devicePath(), url, id, home.path(),
                                                  true, home.path() + "/err");
  }
  ~Member() {
    if (process > 0) pump::testing::EndConsole(process, SIGKILL);
  }
  bool stoppedAfterRun() const {
    const std::string bytes = pump::testing::ReadFile(heard);
    const auto run = bytes.rfind(kRun);
    return run != std::string::npos && bytes.find(kStop, run) != std::string::npos;
  }
  std::string id;
  pump::testing::ScratchFolder home;
  std::string heard;
  pump::testing::PumpSimProcess pump;
  pid_t process = -1;
};

class Round {
 public:
  Round(pump::testing::TestBroker& broker, const std::string& console)
      : dashboard_(broker.port(), "pumps/#"),
        a_("P01", console, broker.url()),
        b_("P02", console, broker.url()) {}

  // The later member's first RUN from start_at, in ms; nothing if the group did not start.
  std::optional<double> startGroup() {
    if (!WaitUntil([&] { return answering(a_) && answering(b_); }, 15s)) return std::nullopt;
    const std::int64_t startAt = UtcNowMs() + 2000;
    for (Member* m : {&a_, &b_}) {
      const Json part{{"version", 1},
                      {"name", "梯度 " + m->id},
                      {"steps",
                       {{{"seconds", 600},
                         {"flow_start", m == &a_ ? 10 : 0},
                         {"flow_end", m == &a_ ? 1 : 9},
                         {"pressure_limit", 3.0}}}}};
      const Json command{{"start_at", pump::group::UtcTimeText(startAt)},
                         {"group", {{"id", "bench"}, {"members", {"P01", "P02"}}}},
                         {"program", part}};
      dashboard_.publish("pumps/" + m->id + "/cmd/run_program", command.dump());
    }
    std::optional<std::int64_t> runA, runB;
    if (!WaitUntil([&] { return (runA = firstRun(a_)) && (runB = firstRun(b_)); }, 6s))
      return std::nullopt;
    return static_cast<double>(std::max(std::llabs(*runA - startAt), std::llabs(*runB - startAt)));
  }

  // From SIGKILL to P01's console to P02's pump hearing STOP, in ms.
  std::optional<double> killOne() {
    const auto killed = Clock::now();
    pump::testing::EndConsole(a_.process, SIGKILL);
    a_.process = -1;
    if (!WaitUntil([&] { return b_.stoppedAfterRun(); }, 10s)) return std::nullopt;
    return std::chrono::duration<double, std::milli>(Clock::now() - killed).count();
  }

  // From the broker killed to both pumps hearing STOP, in ms.
  static std::optional<double> killBroker(pump::testing::TestBroker& broker, Round& round) {
    const auto killed = Clock::now();
    broker.kill();
    if (!WaitUntil([&] { return round.a_.stoppedAfterRun() && round.b_.stoppedAfterRun(); }, 10s))
      return std::nullopt;
    return std::chrono::duration<double, std::milli>(Clock::now() - killed).count();
  }

 private:
  bool answering(const Member& m) const {
    for (const auto& message : dashboard_.receivedOn("pumps/" + m.id + "/status")) {
      const Json status = Json::parse(message.payload, nullptr, false);
      if (status.is_object() && status.value("link", "") == "answering") return true;
    }
    return false;
  }
  std::optional<std::int64_t> firstRun(const Member& m) const {
    pump::runlog::LogTimeReader times;
    for (const auto& message : dashboard_.receivedOn("pumps/" + m.id + "/event")) {
      const Json event = Json::parse(message.payload, nullptr, false);
      std::int64_t utcMs = 0;
      int offset = 0;
      if (event.is_object() && event.value("detail", "") == kRun &&
          times.parse(event.value("time", ""), utcMs, offset))
        return utcMs;
    }
    return std::nullopt;
  }

  pump::remote::testing::FarEnd dashboard_;
  Member a_, b_;
};

}  // namespace

int main(int argc, char** argv) {
  std::string console;
  int rounds = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--console") console = argv[i + 1];
    if (std::string(argv[i]) == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
  }
  if (console.empty()) {
    std::fprintf(stderr, "usage: group_bench --console PATH [--rounds N]\n");
    return 2;
  }
  if (const auto why = pump::testing::TestBroker::MissingReason()) {
    std::fprintf(stderr, "group_bench: %s\n", why->c_str());
    return 2;
  }
  std::vector<double> skews, killReactions, brokerReactions;
  for (int r = 0; r < rounds; ++r) {
    pump::testing::TestBroker broker;
    if (!broker.start()) return 1;
    {
      Round round(broker, console);
      const auto skew = round.startGroup();
      std::this_thread::sleep_for(1s);
      const auto reaction = skew ? round.killOne() : std::nullopt;
      if (!skew || !reaction) return std::fprintf(stderr, "round %d: no start or no stop\n", r), 1;
      skews.push_back(*skew);
      killReactions.push_back(*reaction);
    }
    Round round(broker, console);
    const auto skew = round.startGroup();
    std::this_thread::sleep_for(1s);
    const auto reaction = skew ? Round::killBroker(broker, round) : std::nullopt;
    if (!skew || !reaction) return std::fprintf(stderr, "round %d: broker stop not seen\n", r), 1;
    skews.push_back(*skew);
    brokerReactions.push_back(*reaction);
  }
  using pump::bench::Bound;
  using pump::bench::Report;
  bool met = Report("group start, later member's RUN from start_at",
                    pump::bench::Percentile(skews, 0.5), Bound::AtMost, 50, "ms");
  met &= Report("console killed to the partner's STOP", pump::bench::Percentile(killReactions, 0.5),
                Bound::AtMost, 5000, "ms");
  met &= Report("broker killed to both STOPs", pump::bench::Percentile(brokerReactions, 0.5),
                Bound::AtMost, 4000, "ms");
  return met ? 0 : 1;
}
