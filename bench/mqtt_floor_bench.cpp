// What publishing one pressure message per reading costs by itself, with no
// console around it: a thread wakes at the fastest line's reply rate and
// formats a pressure message, first without publishing it and then handing
// it to the console's broker connection (libmosquitto, its network thread),
// by turns. The difference is the least that remote monitoring adds to a
// console following that line.
//
//   mqtt_floor_bench --mqtt-url mqtt://127.0.0.1:1883 [--rate 1280] [--seconds 10] [--turns 3]
#include <time.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/cpu_time.h"
#include "bench/statistics.h"
#include "remote/mosquitto_connection.h"

namespace {

using pump::bench::Percentile;

using pump::bench::ProcessCpuSeconds;

struct Settings {
  std::string url;
  double rate = 1280;  // replies a second at 115200 baud
  double seconds = 10;
  int turns = 3;
};

Settings ParseArgs(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--mqtt-url") settings.url = argv[i + 1];
    if (name == "--rate") settings.rate = std::atof(argv[i + 1]);
    if (name == "--seconds") settings.seconds = std::atof(argv[i + 1]);
    if (name == "--turns") settings.turns = std::atoi(argv[i + 1]);
  }
  return settings;
}

// Tasks the network thread posts, run on this thread between wake-ups.
class PostedTasks {
 public:
  void post(std::function<void()> task) {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  void runAll() {
    std::deque<std::function<void()>> due;
    {
      std::lock_guard lock(mutex_);
      due.swap(tasks_);
    }
    for (auto& task : due) task();
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
};

// A message shaped as the console's: a local time and a pressure.
std::string PressureMessage(long long index) {
  char text[96];
  std::snprintf(text, sizeof text,
                R"({"time":"2026-12-07T18:00:%02lld.%03lld+00:00","pressure_mpa":%lld.%lld})",
                index / 1000 % 60, index % 1000, index / 10 % 10, index % 10);
  return text;
}

// Wakes `rate` times a second for `seconds`; returns the share of a core the
// whole process used meanwhile, network thread included.
double Stretch(const Settings& settings, PostedTasks& posted,
               pump::remote::MosquittoConnection* broker) {
  const auto period = std::chrono::nanoseconds(static_cast<long long>(1e9 / settings.rate));
  const long long wakes = static_cast<long long>(settings.seconds * settings.rate);
  timespec next{};
  clock_gettime(CLOCK_MONOTONIC, &next);
  const double cpuBefore = ProcessCpuSeconds();
  const auto wallBefore = std::chrono::steady_clock::now();
  for (long long i = 0; i < wakes; ++i) {
    next.tv_nsec += period.count();
    while (next.tv_nsec >= 1'000'000'000) next.tv_nsec -= 1'000'000'000, ++next.tv_sec;
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    posted.runAll();
    const pump::remote::BrokerMessage message{"pumps/bench/pressure", PressureMessage(i), 0, false};
    if (broker) broker->publish(message);
  }
  const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallBefore;
  return 100 * (ProcessCpuSeconds() - cpuBefore) / wall.count();
}

}  // namespace

int main(int argc, char** argv) {
  const Settings settings = ParseArgs(argc, argv);
  if (settings.url.empty() || settings.rate <= 0 || settings.turns <= 0) {
    std::fprintf(stderr,
                 "usage: mqtt_floor_bench --mqtt-url URL [--rate 1280] [--seconds 10] "
                 "[--turns 3]\n");
    return 2;
  }
  PostedTasks posted;
  pump::remote::RemoteSettings remote;
  remote.brokerUrl = settings.url;
  pump::remote::MosquittoConnection broker(
      remote, [&posted](std::function<void()> task) { posted.post(std::move(task)); });
  std::atomic<bool> connected = false;
  pump::remote::BrokerSession session;
  session.statusChanged = [&](const pump::remote::BrokerStatus& status) {
    connected = status.state == pump::remote::BrokerState::Connected;
  };
  broker.start(std::move(session));
  for (int i = 0; i < 100 && !connected; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    posted.runAll();
  }
  if (!connected) {
    std::fprintf(stderr, "mqtt_floor_bench: no connection to the broker at %s\n",
                 settings.url.c_str());
    return 2;
  }
  std::vector<double> off, on;
  for (int turn = 0; turn < settings.turns; ++turn) {
    off.push_back(Stretch(settings, posted, nullptr));
    on.push_back(Stretch(settings, posted, &broker));
  }
  broker.stop({});
  const double alone = Percentile(off, 0.5), publishing = Percentile(on, 0.5);
  std::printf(
      "waking %.0f times a second, median of %d turns: %.3f %% of a core without MQTT, "
      "%.3f %% with a pressure message published at each wake\n",
      settings.rate, settings.turns, alone, publishing);
  std::printf("publishing alone: %+.3f %% of a core, %.2f us a message\n", publishing - alone,
              (publishing - alone) / 100 * 1e6 / settings.rate);
  return connected ? 0 : 1;
}
