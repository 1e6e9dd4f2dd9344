// The pump board under load: a real Mosquitto on loopback, a publisher of
// many simulated consoles (tools/board_load.py), and the board's window on
// the offscreen platform. Prints how long a reading took from its publisher to
// its tile (p50, p99), how long an alarm took from its publisher to the
// alarm pane, and the board's CPU, after a warm-up. With --publish shorter
// than --seconds, the pumps fall silent and the CPU measured is the idle one.
//
//   board_bench [--pumps 200] [--seconds 40] [--warmup 10] [--alarms 0.5] [--publish 42]
#include <QApplication>
#include <QProcess>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/cpu_time.h"
#include "bench/statistics.h"
#include "board/qt/board_broker.h"
#include "board/qt/board_window.h"
#include "tests/remote/test_broker.h"

namespace {

using namespace pump;

long long WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

// The pump id of "<root>/<id>/pressure", or empty.
std::string PressurePump(const std::string& topic) {
  const auto first = topic.find('/');
  const auto second = topic.find('/', first + 1);
  if (first == std::string::npos || second == std::string::npos) return {};
  if (topic.compare(second, std::string::npos, "/pressure") != 0) return {};
  return topic.substr(first + 1, second - first - 1);
}

long long SentMs(const std::string& payload) {
  const auto at = payload.find("\"sent_ms\":");
  return at == std::string::npos ? 0 : std::atoll(payload.c_str() + at + 10);
}

// Passes everything on, noting when each reading was published.
class TimedConnection : public remote::BrokerConnection {
 public:
  explicit TimedConnection(remote::BrokerConnection& inner) : inner_(inner) {}
  void start(remote::BrokerSession session) override {
    auto arrived = std::move(session.messageArrived);
    session.messageArrived = [this, arrived](const remote::BrokerMessage& message) {
      const std::string pump = PressurePump(message.topic);
      if (!pump.empty()) pending[pump].push_back(SentMs(message.payload));
      if (!pump.empty() && message.payload.find("\"alarm\": true") != std::string::npos)
        alarmsSent[pump] = SentMs(message.payload);
      arrived(message);
    };
    inner_.start(std::move(session));
  }
  bool publish(remote::BrokerMessage message) override {
    return inner_.publish(std::move(message));
  }
  void stop(const remote::BrokerMessage& farewell) override { inner_.stop(farewell); }

  std::map<std::string, std::vector<long long>> pending;
  std::map<std::string, long long> alarmsSent;

 private:
  remote::BrokerConnection& inner_;
};

// The resident memory of this process, in MB.
double ResidentMegabytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024;
  }
  return 0;
}

struct Options {
  int pumps = 200;
  int seconds = 40;
  int warmup = 10;
  double alarms = 0.5;  // a second
  int publish = -1;     // seconds; the whole run when negative
  double period = 1.5;  // seconds between one pump's readings
};

Options ReadOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i + 1 < argc; i += 2) {
    const int value = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--pumps")) options.pumps = value;
    if (!std::strcmp(argv[i], "--seconds")) options.seconds = value;
    if (!std::strcmp(argv[i], "--warmup")) options.warmup = value;
    if (!std::strcmp(argv[i], "--alarms")) options.alarms = std::atof(argv[i + 1]);
    if (!std::strcmp(argv[i], "--publish")) options.publish = value;
    if (!std::strcmp(argv[i], "--period")) options.period = std::atof(argv[i + 1]);
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ReadOptions(argc, argv);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  remote::testing::TestBroker broker;
  if (!broker.start()) {
    std::fprintf(stderr, "board_bench: no broker could be started\n");
    return 1;
  }
  remote::RemoteSettings settings;
  settings.brokerUrl = broker.url();
  // The board's own broker connection, as pump-board makes it.
  auto boardBroker = std::make_unique<board::qt::BoardBroker>(settings);
  TimedConnection timed(boardBroker->connection());
  board::Board board("pumps", board::FreshRequestPrefix());
  board::qt::BoardWindow* shown = nullptr;
  board::BoardFeed feed(board, timed, &board::BoardTime::Now, [&] {
    if (shown) shown->boardChanged();
  });
  board::qt::BoardWindow window(board, feed);
  shown = &window;
  bool measuring = false;
  std::vector<double> latenciesMs;
  window.setOnTileShown([&](const std::string& pump) {
    auto& sent = timed.pending[pump];
    const long long now = WallMs();
    if (measuring)
      for (long long at : sent) latenciesMs.push_back(static_cast<double>(now - at));
    sent.clear();
  });
  std::vector<double> alarmLatenciesMs;
  std::uint64_t alarmRecordsSeen = 0;
  window.setOnAlarmsShown([&] {
    const auto& log = board.alarmLog();
    const auto fresh =
        std::min<std::uint64_t>(board.alarmRecordsMade() - alarmRecordsSeen, log.size());
    alarmRecordsSeen = board.alarmRecordsMade();
    const long long now = WallMs();
    for (std::size_t i = log.size() - fresh; i < log.size(); ++i) {
      const auto sent = timed.alarmsSent.find(log[i].pumpId);
      if (!log[i].started || log[i].kind != board::AlarmKind::PressureAtLimit ||
          sent == timed.alarmsSent.end())
        continue;
      if (measuring) alarmLatenciesMs.push_back(static_cast<double>(now - sent->second));
      timed.alarmsSent.erase(sent);
    }
  });
  feed.start();
  window.resize(1000, 760);
  window.show();

  QProcess publisher;
  publisher.setProcessChannelMode(QProcess::ForwardedChannels);
  const int publishing = options.publish < 0 ? options.seconds + 2 : options.publish;
  publisher.start(
      "python3",
      {PUMP_SOURCE_DIR "/tools/board_load.py", "--port", QString::number(broker.port()), "--pumps",
       QString::number(options.pumps), "--seconds", QString::number(publishing), "--alarms",
       QString::number(options.alarms), "--period", QString::number(options.period)});
  double cpuAtStart = 0;
  double memoryAtStart = 0;
  auto wallAtStart = std::chrono::steady_clock::now();
  QTimer::singleShot(options.warmup * 1000, [&] {
    measuring = true;
    cpuAtStart = bench::ProcessCpuSeconds();
    memoryAtStart = ResidentMegabytes();
    wallAtStart = std::chrono::steady_clock::now();
  });
  QTimer::singleShot(options.seconds * 1000, &application, &QApplication::quit);
  QApplication::exec();
  const double cpu = bench::ProcessCpuSeconds() - cpuAtStart;
  const double memory = ResidentMegabytes();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallAtStart).count();
  publisher.waitForFinished(10000);
  boardBroker.reset();
  std::printf("board: %zu pumps, %zu readings measured\n", board.tiles().size(),
              latenciesMs.size());
  const double p99 = bench::Percentile(latenciesMs, 0.99);
  const double share = 100 * cpu / wall;
  std::printf("board reading to tile p50 %.0f ms\n", bench::Percentile(latenciesMs, 0.5));
  std::printf("board reading to tile p99 %.0f ms (target <= 200 ms): %s\n", p99,
              p99 <= 200 ? "met" : "MISSED");
  if (!alarmLatenciesMs.empty()) {
    const double alarmP99 = bench::Percentile(alarmLatenciesMs, 0.99);
    std::printf("board alarm to pane p50 %.0f ms, %zu alarms\n",
                bench::Percentile(alarmLatenciesMs, 0.5), alarmLatenciesMs.size());
    std::printf("board alarm to pane p99 %.0f ms (target <= 2000 ms): %s\n", alarmP99,
                alarmP99 <= 2000 ? "met" : "MISSED");
  }
  std::printf("board resident memory %.1f MB, %+.1f MB after the warm-up\n", memory,
              memory - memoryAtStart);
  std::printf("board CPU %.2f %% of a core (target <= 2 %%): %s\n", share,
              share <= 2 ? "met" : "MISSED");
  return board.tiles().size() == static_cast<std::size_t>(options.pumps) ? 0 : 1;
}
