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
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/composition.h"
#include "bench/stream_console.h"
#include "bench/stream_figures.h"
#include "bench/stream_report.h"
#include "bench/stream_settings.h"
#include "bench/stream_watch.h"
#include "sim/reply_stream.h"
#include "tests/support/pump_sim_process.h"

namespace {

using namespace pump::bench;

// The files of one run: pump-sim's write log and the console's run logs.
struct RunFiles {
  std::filesystem::path writeLog;
  std::filesystem::path runLogFolder;
};

RunFiles FreshRunFiles(int baud) {
  RunFiles files;
  files.writeLog = std::filesystem::temp_directory_path() /
                   ("pump-stream-bench-" + std::to_string(baud) + ".log");
  std::filesystem::remove(files.writeLog);
  files.runLogFolder =
      std::filesystem::temp_directory_path() / ("pump-stream-bench-runlog-" + std::to_string(baud));
  std::filesystem::remove_all(files.runLogFolder);
  return files;
}

// Streams the replies to the console with its line open, and judges what it
// showed: 0 when every reply was shown in order and charted.
int MeasureStream(const StreamSettings& settings, long long replies, const RunFiles& files,
                  pump::app::Console& console, pump::testing::PumpSimProcess& sim) {
  ReplyWatch watch(console, replies, settings.seconds);
  std::printf("stream: %lld replies at %d baud over %.0f s, run log %s, MQTT %s\n", replies,
              settings.baud, settings.seconds, settings.runLog ? "on" : "off",
              settings.mqttUrl.empty() ? "off" : settings.mqttUrl.c_str());
  std::fflush(stdout);

  // The first poll, an interval after the open, starts the stream: the
  // figures count from the first reply.
  Usage before = Usage::Now();
  watch.onFirstReply([&] { before = Usage::Now(); });
  QTimer::singleShot(static_cast<int>(settings.seconds * 1000) + 4500,
                     [] { QApplication::quit(); });
  QApplication::exec();
  const Spent spent = SpentSince(before);
  watch.noteEnd();
  const bool brokerLost = !settings.mqttUrl.empty() && !BrokerConnected(console);
  sim.stop();

  const auto writes = ReadWriteLog(files.writeLog);
  Figures figures = Compare(writes, watch);
  ReportFigures(settings, pump::sim::FramePeriod(settings.baud), replies, writes.size(), watch,
                spent, figures);
  std::filesystem::remove(files.writeLog);
  ReportCaptionsDrawn(console);
  if (settings.runLog) {
    if (!ReportRunLogRows(files.runLogFolder, RunSuffix(settings), watch.shown().size())) {
      ++figures.lost;
    }
    if (!std::getenv("PUMP_KEEP_RUN_LOG")) std::filesystem::remove_all(files.runLogFolder);
  }
  if (brokerLost) std::printf("MQTT: the broker connection was lost during the run\n");
  const bool complete = static_cast<long long>(writes.size()) == replies && figures.lost == 0 &&
                        figures.misordered == 0 && figures.unCharted == 0 && !brokerLost;
  return complete ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const StreamSettings settings = ParseStreamArgs(argc, argv);
  const auto period = pump::sim::FramePeriod(settings.baud);
  const long long replies =
      static_cast<long long>(settings.seconds * 1e9 / static_cast<double>(period.count()));
  const RunFiles files = FreshRunFiles(settings.baud);

  QApplication application(argc, argv);
  // The console keeps the port it opened last: not in the user's configuration.
  QStandardPaths::setTestModeEnabled(true);
  const QTemporaryDir settingsFolder;
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
  pump::app::LoadAssets();
  pump::app::InstallFontSubstitutes();
  pump::app::Console console(settings.runLog ? files.runLogFolder.string() : std::string());
  console.start();
  if (!settings.mqttUrl.empty() && !ConnectToBroker(console, settings.mqttUrl)) {
    std::fprintf(stderr, "stream_bench: no connection to the broker at %s\n",
                 settings.mqttUrl.c_str());
    return 2;
  }

  pump::testing::PumpSimProcess sim({"--baud", std::to_string(settings.baud), "--stream",
                                     std::to_string(replies), "--log-writes",
                                     files.writeLog.string()});
  if (sim.devicePath().empty()) {
    std::fprintf(stderr, "stream_bench: pump-sim did not start\n");
    return 2;
  }
  if (!OpenPort(console, sim.devicePath())) {
    std::fprintf(stderr, "stream_bench: the console did not open %s\n", sim.devicePath().c_str());
    return 2;
  }
  return MeasureStream(settings, replies, files, console, sim);
}
