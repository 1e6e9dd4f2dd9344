// The running console under a full-rate reply stream from pump-sim on a
// pseudo-terminal: every reply must reach the current-pressure label and the
// chart, at a small share of one core, soon after the simulator's write.
//
//   stream_bench [--baud 9600] [--seconds 60] [--run-log on|off] [--mqtt-url URL]
//
// With --mqtt-url the console publishes its status, pressures and events to
// that broker while it runs, as remote monitoring does for operators.
//
// The console is the real one (Qt serial port, labels, chart) under the
// offscreen platform unless QT_QPA_PLATFORM says otherwise. Exits 1 if a reply
// was lost or shown out of order.
#include <sys/resource.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/composition.h"
#include "bench/target.h"
#include "link/pump_frame.h"
#include "platform/qt/hinted_input_dialog.h"
#include "remote/broker_connection.h"
#include "remote/remote_settings.h"
#include "sim/reply_stream.h"
#include "tests/support/console_harness.h"
#include "tests/support/pump_sim_process.h"

namespace {

using pump::bench::Bound;
using pump::bench::Report;

struct Settings {
  int baud = 9600;
  double seconds = 60;
  bool runLog = true;   // as the console runs for operators
  std::string mqttUrl;  // remote monitoring off when empty
};

Settings ParseArgs(int argc, char** argv) {
  Settings settings;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    if (name == "--baud") settings.baud = std::atoi(argv[i + 1]);
    if (name == "--seconds") settings.seconds = std::atof(argv[i + 1]);
    if (name == "--run-log") settings.runLog = std::string(argv[i + 1]) != "off";
    if (name == "--mqtt-url") settings.mqttUrl = argv[i + 1];
  }
  return settings;
}

long long MonotonicNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

long InvoluntarySwitches() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_nivcsw;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Notes when the console's thread last woke for a ready descriptor: what
// comes before is the kernel and the scheduler, what comes after is the
// console's own work.
class WakeWatch : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::SockAct) lastWake = MonotonicNs();
    return false;
  }
  long long lastWake = 0;
};

// Notes when the current-pressure label is painted: the moment a caption
// change reaches the window's pixels.
class PaintWatch : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) paints.push_back(MonotonicNs());
    return false;
  }
  std::vector<long long> paints;
};

// One caption change of the current-pressure label, as the console showed it.
struct Shown {
  long long ns;
  long long wokeNs;
  std::string caption;
  bool charted;  // the chart had taken one step for every earlier reply
};

struct Written {
  long long ns;
  std::string frame;
  bool whole;
};

std::vector<Written> ReadWriteLog(const std::filesystem::path& path) {
  std::vector<Written> writes;
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    Written w{};
    const auto space = line.find(' ');
    if (space == std::string::npos) continue;
    w.ns = std::stoll(line.substr(0, space));
    w.frame = line.substr(space + 1, pump::link::kFrameLength);
    w.whole = line.find("dropped") == std::string::npos;
    writes.push_back(std::move(w));
  }
  return writes;
}

// Answers the port box the way an operator would.
void AnswerPortBox(const std::string& device) {
  QTimer::singleShot(0, [device] {
    auto* box = qobject_cast<pump::qt::HintedInputDialog*>(QApplication::activeModalWidget());
    auto* edit = box ? box->findChild<QLineEdit*>(QStringLiteral("answer")) : nullptr;
    if (!edit) {
      std::fprintf(stderr, "stream_bench: the port box did not appear\n");
      std::exit(2);
    }
    edit->setText(QString::fromStdString(device));
    box->accept();
  });
}

// Whether the console's remote status line says it is connected to its broker.
bool BrokerConnected(pump::app::Console& console) {
  const auto* line = console.mainWindowView().findChild<QLabel*>(QStringLiteral("remoteStatus"));
  const std::string connected =
      std::string("● ") + pump::remote::BrokerStateText(pump::remote::BrokerState::Connected);
  return line && line->text().toStdString() == connected;
}

// Starts remote monitoring and waits for the broker, as a console would be
// running before its port opens.
bool ConnectToBroker(pump::app::Console& console, const std::string& url) {
  pump::remote::RemoteSettings remote;
  remote.brokerUrl = url;
  remote.pumpId = "stream-bench";
  console.startRemote(remote);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!BrokerConnected(console) && std::chrono::steady_clock::now() < deadline) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return BrokerConnected(console);
}

// The reading rows in the run logs of a folder.
long long ReadingRows(const std::filesystem::path& folder) {
  long long rows = 0;
  if (!std::filesystem::exists(folder)) return 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(file.path());
    for (std::string line; std::getline(in, line);) {
      if (line.find(",reading,") != std::string::npos) ++rows;
    }
  }
  return rows;
}

double Percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const auto at = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
  return values[at];
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const Settings settings = ParseArgs(argc, argv);
  const auto period = pump::sim::FramePeriod(settings.baud);
  const long long replies =
      static_cast<long long>(settings.seconds * 1e9 / static_cast<double>(period.count()));
  const auto logPath = std::filesystem::temp_directory_path() /
                       ("pump-stream-bench-" + std::to_string(settings.baud) + ".log");
  std::filesystem::remove(logPath);
  const auto runLogFolder = std::filesystem::temp_directory_path() /
                            ("pump-stream-bench-runlog-" + std::to_string(settings.baud));
  std::filesystem::remove_all(runLogFolder);

  QApplication application(argc, argv);
  // The console keeps the port it opened last: not in the user's configuration.
  QStandardPaths::setTestModeEnabled(true);
  const QTemporaryDir settingsFolder;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
  pump::app::LoadAssets();
  pump::app::InstallFontSubstitutes();
  pump::app::Console console(settings.runLog ? runLogFolder.string() : std::string());
  console.start();
  if (!settings.mqttUrl.empty() && !ConnectToBroker(console, settings.mqttUrl)) {
    std::fprintf(stderr, "stream_bench: no connection to the broker at %s\n",
                 settings.mqttUrl.c_str());
    return 2;
  }

  pump::testing::PumpSimProcess sim({"--baud", std::to_string(settings.baud), "--stream",
                                     std::to_string(replies), "--log-writes", logPath.string()});
  if (sim.devicePath().empty()) {
    std::fprintf(stderr, "stream_bench: pump-sim did not start\n");
    return 2;
  }

  auto& form = console.window();
  AnswerPortBox(sim.devicePath());
  form.choosePort();
  if (!pump::testing::MenusReleased(form)) {
    std::fprintf(stderr, "stream_bench: the console did not open %s\n", sim.devicePath().c_str());
    return 2;
  }
  WakeWatch wakeWatch;
  application.installEventFilter(&wakeWatch);
  PaintWatch paintWatch;
  paintWatch.paints.reserve(static_cast<std::size_t>(settings.seconds * 100) + 100);
  if (QLabel* shownLabel = console.mainWindowView().findChild<QLabel*>(QStringLiteral("LcurrP"))) {
    shownLabel->installEventFilter(&paintWatch);
  }
  std::vector<Shown> shown;
  shown.reserve(static_cast<std::size_t>(replies));
  const std::function<void()> viewObserver = form.display.currentPressure.observer();
  int firstStep = -1;
  std::function<void()> startMeasuring;
  form.display.currentPressure.setObserver([&] {
    if (shown.empty() && startMeasuring) startMeasuring();
    if (viewObserver) viewObserver();
    const long long now = MonotonicNs();
    // The chart steps after the caption is set: here it has stepped once for
    // every earlier reply of the stream.
    const int step = form.chart().position();
    if (firstStep < 0) firstStep = step;
    const auto expected =
        static_cast<int>((firstStep + static_cast<long long>(shown.size())) % 100);
    shown.push_back(
        {now, wakeWatch.lastWake, form.display.currentPressure.caption(), step == expected});
    // Queued: Qt 6 closes the windows inside quit(), and the console would
    // publish its close before the reply being handled here.
    if (static_cast<long long>(shown.size()) == replies) {
      QMetaObject::invokeMethod(qApp, &QApplication::quit, Qt::QueuedConnection);
    }
  });

  std::printf("stream: %lld replies at %d baud over %.0f s, run log %s, MQTT %s\n", replies,
              settings.baud, settings.seconds, settings.runLog ? "on" : "off",
              settings.mqttUrl.empty() ? "off" : settings.mqttUrl.c_str());
  std::fflush(stdout);

  // The first poll, an interval after the open, starts the stream: the
  // figures count from the first reply.
  double cpuBefore = CpuSeconds();
  long switchesBefore = InvoluntarySwitches();
  long long wallBefore = MonotonicNs();
  startMeasuring = [&] {
    cpuBefore = CpuSeconds();
    switchesBefore = InvoluntarySwitches();
    wallBefore = MonotonicNs();
  };
  QTimer::singleShot(static_cast<int>(settings.seconds * 1000) + 4500,
                     [] { QApplication::quit(); });
  QApplication::exec();
  const double cpu = CpuSeconds() - cpuBefore;
  const long preempted = InvoluntarySwitches() - switchesBefore;
  const double wall = static_cast<double>(MonotonicNs() - wallBefore) / 1e9;
  // The chart's last step follows the last caption change.
  const int finalStep = form.chart().position();
  const QLabel* label = console.mainWindowView().findChild<QLabel*>(QStringLiteral("LcurrP"));
  const std::string labelText = label ? label->text().toStdString() : std::string();
  const bool brokerLost = !settings.mqttUrl.empty() && !BrokerConnected(console);
  sim.stop();

  const auto writes = ReadWriteLog(logPath);
  long long lost = 0, misordered = 0, unCharted = 0;
  std::vector<double> latencyMs, wakeMs, handlingMs, paintMs;
  latencyMs.reserve(writes.size());
  auto nextPaint = paintWatch.paints.begin();
  for (std::size_t i = 0; i < writes.size(); ++i) {
    if (!writes[i].whole || i >= shown.size()) {
      ++lost;
      continue;
    }
    if (shown[i].caption != pump::link::FrameValue(writes[i].frame)) ++misordered;
    if (!shown[i].charted) ++unCharted;
    latencyMs.push_back(static_cast<double>(shown[i].ns - writes[i].ns) / 1e6);
    wakeMs.push_back(static_cast<double>(shown[i].wokeNs - writes[i].ns) / 1e6);
    handlingMs.push_back(static_cast<double>(shown[i].ns - shown[i].wokeNs) / 1e6);
    // The first paint of the label after the caption changed shows it.
    nextPaint = std::lower_bound(nextPaint, paintWatch.paints.end(), shown[i].ns);
    if (nextPaint != paintWatch.paints.end()) {
      paintMs.push_back(static_cast<double>(*nextPaint - writes[i].ns) / 1e6);
    }
  }
  if (!shown.empty() &&
      finalStep != static_cast<int>((firstStep + static_cast<long long>(shown.size())) % 100)) {
    ++unCharted;
  }
  if (!shown.empty() && labelText != shown.back().caption) ++misordered;

  const std::string at = " @" + std::to_string(settings.baud) +
                         (settings.runLog ? ", run log on" : ", run log off") +
                         (settings.mqttUrl.empty() ? "" : ", MQTT on");
  const double cpuLimit = settings.baud <= 9600 ? 1.5 : 8.0;
  Report("replies written" + at, static_cast<double>(writes.size()), Bound::AtLeast,
         static_cast<double>(replies), "");
  Report("replies lost" + at, static_cast<double>(lost), Bound::AtMost, 0, "");
  Report("replies shown wrong or not charted" + at, static_cast<double>(misordered + unCharted),
         Bound::AtMost, 0, "");
  Report("console CPU" + at, 100 * cpu / wall, Bound::AtMost, cpuLimit, "% core");
  Report("console CPU per reply" + at,
         shown.empty() ? 0 : cpu * 1e6 / static_cast<double>(shown.size()), Bound::AtMost,
         cpuLimit / 100 * static_cast<double>(period.count()) / 1e3, "us");
  Report("write to caption, p50" + at, Percentile(latencyMs, 0.50), Bound::AtMost, 1, "ms");
  Report("write to caption, p99" + at, Percentile(latencyMs, 0.99), Bound::AtMost, 1, "ms");
  std::printf("write to caption, max%s: %.3f ms\n", at.c_str(),
              latencyMs.empty() ? 0 : *std::max_element(latencyMs.begin(), latencyMs.end()));
  Report("label paints per second" + at, static_cast<double>(paintWatch.paints.size()) / wall,
         Bound::AtMost, 60, "");
  Report("write to paint, p99" + at, Percentile(paintMs, 0.99), Bound::AtMost, 17, "ms");
  std::printf("write to paint, p50 %.3f ms, max %.3f ms\n", Percentile(paintMs, 0.5),
              paintMs.empty() ? 0 : *std::max_element(paintMs.begin(), paintMs.end()));
  std::printf("  of which write to wake-up (kernel, scheduler), p50 %.3f ms, p99 %.3f ms\n",
              Percentile(wakeMs, 0.5), Percentile(wakeMs, 0.99));
  std::printf("  of which wake-up to caption (console's own work), p50 %.3f ms, p99 %.3f ms\n",
              Percentile(handlingMs, 0.5), Percentile(handlingMs, 0.99));
  // On a shared machine the slowest replies are mostly ones that found the
  // console's thread preempted; this tells how often that happened.
  std::printf("console preempted (involuntary switches)%s: %ld\n", at.c_str(), preempted);
  if (std::getenv("PUMP_STREAM_SLOW")) {
    for (std::size_t i = 0; i < latencyMs.size(); ++i) {
      if (latencyMs[i] > 1) std::printf("slow %zu %.3f %.3f\n", i, latencyMs[i], wakeMs[i]);
    }
  }
  std::filesystem::remove(logPath);
  if (settings.runLog) {
    // Rows reach the file within a second of the reply.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long long rows = ReadingRows(runLogFolder);
    std::printf("run log reading rows%s: %lld of %zu replies shown\n", at.c_str(), rows,
                shown.size());
    if (rows < static_cast<long long>(shown.size())) ++lost;
    if (!std::getenv("PUMP_KEEP_RUN_LOG")) std::filesystem::remove_all(runLogFolder);
  }
  if (brokerLost) std::printf("MQTT: the broker connection was lost during the run\n");
  const bool complete = static_cast<long long>(writes.size()) == replies && lost == 0 &&
                        misordered == 0 && unCharted == 0 && !brokerLost;
  return complete ? 0 : 1;
}
