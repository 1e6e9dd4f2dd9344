// The trend window at scale: a full redraw at 1200 x 600 for a day at one
// reading per 1.5 s and for an hour of a 115200-baud stream, the memory the
// latter holds, and loading its run log back from disk.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "bench/target_reporter.h"
#include "trend/log_export.h"
#include "trend/log_reader.h"
#include "trend/qt/trend_chart_view.h"
#include "trend/session.h"
#include "trend/trend_picture.h"

namespace {

using namespace pump::trend;
using pump::EventKind;

// 2026-12-07T08:00:00+08:00.
constexpr std::int64_t kStartWallMs = 1'796'601'600'000;

// A session of readings every `periodUs` microseconds, the pump running, with
// a link loss a tenth of the way in and a limit change half-way.
std::unique_ptr<Session> MakeSession(std::int64_t readings, std::int64_t periodUs) {
  auto session = std::make_unique<Session>();
  char frame[48];
  Row row;
  row.utcOffsetMinutes = 480;
  row.event = EventKind::Reading;
  row.flow = 120;
  row.pumpRunning = true;
  for (std::int64_t i = 0; i < readings; ++i) {
    row.elapsedMs = i * periodUs / 1000;
    row.wallMs = kStartWallMs + row.elapsedMs;
    row.pressureLimit = i < readings / 2 ? 2.5f : 4.0f;
    const int tenths = static_cast<int>(19 + 6 * std::sin(i * 1e-4) + (i % 97 == 0 ? 20 : 0));
    row.pressure = static_cast<float>(tenths) / 10;
    std::snprintf(frame, sizeof frame, "Q00N%02d.%dY", tenths / 10, tenths % 10);
    row.detail = frame;
    if (i == readings / 10 || i == readings / 10 + 200) {
      Row link = row;
      link.event = EventKind::Link;
      link.detail = i == readings / 10 ? "lost" : "answering";
      session->append(link);
    }
    session->append(row);
  }
  return session;
}

const Session& Day() {
  static const auto day = MakeSession(57'600, 1'500'000);
  return *day;
}

const Session& StreamHour() {
  static const auto hour = MakeSession(4'608'000, 3600LL * 1'000'000 / 4'608'000);
  return *hour;
}

double ResidentMegabytes(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size())) / 1024;
  }
  return 0;
}

// Works out the picture of the whole session, hands it to the chart and
// paints the chart, as the window does on each repaint.
void FullRedraw(benchmark::State& state, const Session& session) {
  pump::trend::qt::TrendChartView chart;
  chart.resize(1200, 600);
  chart.show();
  QImage canvas(chart.size(), QImage::Format_ARGB32_Premultiplied);
  PictureRequest request;
  request.view.fitAll(session.firstTimeMs(), session.lastTimeMs());
  std::size_t points = 0;
  for (auto _ : state) {
    request.widthPx = chart.plotWidth();
    const TrendPicture picture = ComposePicture(session, request);
    chart.draw(picture);
    QPainter painter(&canvas);
    chart.render(&painter);
    points = 0;
    for (const auto& line : picture.pressure) points += line.size();
  }
  state.counters["rows"] = static_cast<double>(session.size());
  state.counters["points_drawn"] = static_cast<double>(points);
  state.counters["rss_MB"] = ResidentMegabytes("VmRSS:");
}

void FullRedrawDay(benchmark::State& state) { FullRedraw(state, Day()); }
BENCHMARK(FullRedrawDay)->Unit(benchmark::kMillisecond)->Iterations(20)->Repetitions(3);

void FullRedrawStreamHour(benchmark::State& state) { FullRedraw(state, StreamHour()); }
BENCHMARK(FullRedrawStreamHour)->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(3);

std::string StreamLogPath() {
  return (std::filesystem::temp_directory_path() / "trend-bench-stream.csv").string();
}

void LoadStreamLog(benchmark::State& state) {
  const std::string path = StreamLogPath();
  {
    std::ofstream out(path, std::ios::binary);
    WriteRunLogRows(StreamHour(), StreamHour().firstTimeMs(), StreamHour().lastTimeMs(), out);
  }
  std::size_t rows = 0;
  for (auto _ : state) {
    const LogLoad load = LoadRunLog(path);
    if (!load.session) state.SkipWithError(load.error.c_str());
    rows = load.session ? load.session->size() : 0;
  }
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::filesystem::remove(path);
}
BENCHMARK(LoadStreamLog)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  using pump::bench::Bound;
  const auto milliseconds = [](const benchmark::BenchmarkReporter::Run& run) {
    return run.GetAdjustedRealTime();
  };
  const auto resident = [](const benchmark::BenchmarkReporter::Run& run) {
    return static_cast<double>(run.counters.at("rss_MB"));
  };
  return pump::bench::RunWithTargets(
      argc, argv,
      {{"FullRedrawDay", "redraw, 57,600 points", Bound::AtMost, 30, "ms", milliseconds},
       {"FullRedrawStreamHour", "redraw, 4.6M points", Bound::AtMost, 30, "ms", milliseconds},
       {"FullRedrawStreamHour", "resident, 4.6M points", Bound::AtMost, 150, "MB", resident},
       {"LoadStreamLog", "load of a 4.6M-row log", Bound::AtMost, 3000, "ms", milliseconds}});
}
