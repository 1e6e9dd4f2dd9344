// The console's poll while its trend window opens a long run log: the log is
// read on a thread of its own, so the main window keeps polling every 1.5 s.
// The real console on a pump-sim line, under the offscreen platform; a
// reading's arrival marks each poll. Prints the poll intervals before and
// during the load and the load's time, and exits 1 if an interval during the
// load is off the pace by more than 0.1 s.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/composition.h"
#include "bench/stream_console.h"
#include "tests/support/pump_sim_process.h"
#include "trend/log_export.h"
#include "trend/qt/trend_window.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace pump;

constexpr double kPollSeconds = 1.5, kTolerance = 0.1;

// A run log of `rows` readings at 115200 baud's pace.
std::string WriteLog(long rows) {
  trend::Session session;
  trend::Row row;
  row.wallMs = 1'796'601'600'000;
  row.utcOffsetMinutes = 480;
  row.flow = 120;
  row.pressureLimit = 4;
  row.pumpRunning = true;
  row.detail = "Q00N01.9Y";
  for (long i = 0; i < rows; ++i) {
    row.elapsedMs = i * 78 / 100;
    row.pressure = 1.9f + 0.1f * static_cast<float>(i % 7);
    session.append(row);
  }
  const std::string path =
      (std::filesystem::temp_directory_path() / "trend-load-bench.csv").string();
  std::ofstream out(path, std::ios::binary);
  trend::WriteRunLogRows(session, session.firstTimeMs(), session.lastTimeMs(), out);
  return path;
}

void RunFor(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

struct Pace {
  double shortest = 1e9, longest = 0;
  int count = 0;
};

// The intervals between readings that end within [from, to].
Pace PaceBetween(const std::vector<Clock::time_point>& readings, Clock::time_point from,
                 Clock::time_point to) {
  Pace pace;
  for (std::size_t i = 1; i < readings.size(); ++i) {
    if (readings[i] < from || readings[i] > to) continue;
    const double interval = Seconds(readings[i] - readings[i - 1]);
    pace.shortest = std::min(pace.shortest, interval);
    pace.longest = std::max(pace.longest, interval);
    ++pace.count;
  }
  return pace;
}

}  // namespace

int main(int argc, char** argv) {
  const long rows = argc > 1 ? std::stol(argv[1]) : 5'000'000;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  app::PrepareApplication();
  const std::string log = WriteLog(rows);
  std::printf("log: %ld rows, %.0f MB\n", rows, std::filesystem::file_size(log) / 1e6);

  testing::PumpSimProcess sim;
  app::Console console("");
  console.start();
  if (sim.devicePath().empty() || !bench::OpenPort(console, sim.devicePath())) {
    std::fprintf(stderr, "trend_load_bench: the console did not open pump-sim's line\n");
    return 2;
  }
  std::vector<Clock::time_point> readings;
  console.events().subscribe([&](const session::SessionEvent& event) {
    if (event.kind == pump::EventKind::Reading) readings.push_back(event.monotonicTime);
  });
  console.trendWindow()->show();
  RunFor(7'000);

  trend::qt::TrendWindow& window = *console.trendWindow()->window();
  QEventLoop loading;
  QString refused;
  QObject::connect(&window, &trend::qt::TrendWindow::logOpenEnded, &loading,
                   [&](bool, const QString& error) {
                     refused = error;
                     loading.quit();
                   });
  const Clock::time_point started = Clock::now();
  window.startOpeningLog(QString::fromStdString(log));
  loading.exec();
  const Clock::time_point loaded = Clock::now();
  RunFor(3'100);
  std::filesystem::remove(log);
  if (!refused.isEmpty() || !window.shownSession() ||
      window.shownSession()->size() != static_cast<std::size_t>(rows)) {
    std::fprintf(stderr, "trend_load_bench: the log did not load: %s\n", qPrintable(refused));
    return 2;
  }

  const Pace before = PaceBetween(readings, Clock::time_point{}, started);
  const Pace during = PaceBetween(readings, started, loaded + std::chrono::milliseconds(1500));
  std::printf("load: %.2f s\n", Seconds(loaded - started));
  std::printf("poll before: %d intervals, %.3f to %.3f s\n", before.count, before.shortest,
              before.longest);
  std::printf("poll while loading: %d intervals, %.3f to %.3f s\n", during.count, during.shortest,
              during.longest);
  const bool met = during.count > 0 && std::abs(during.shortest - kPollSeconds) <= kTolerance &&
                   std::abs(during.longest - kPollSeconds) <= kTolerance;
  std::printf("pace within %.1f s of %.1f s while loading: %s\n", kTolerance, kPollSeconds,
              met ? "met" : "MISSED");
  return met ? 0 : 1;
}
