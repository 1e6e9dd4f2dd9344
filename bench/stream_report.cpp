#include "bench/stream_report.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "bench/target.h"

namespace pump::bench {

namespace {

double Largest(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

void ReportCpu(const std::string& at, int baud, std::chrono::nanoseconds period, std::size_t shown,
               const Spent& spent) {
  const double cpuLimit = baud <= 9600 ? 1.5 : 8.0;
  Report("console CPU" + at, 100 * spent.cpuSeconds / spent.wallSeconds, Bound::AtMost, cpuLimit,
         "% core");
  Report("console CPU per reply" + at,
         shown == 0 ? 0 : spent.cpuSeconds * 1e6 / static_cast<double>(shown), Bound::AtMost,
         cpuLimit / 100 * static_cast<double>(period.count()) / 1e3, "us");
}

void ReportLatency(const std::string& at, const ReplyWatch& watch, const Spent& spent,
                   const Figures& figures) {
  Report("write to caption, p50" + at, Percentile(figures.latencyMs, 0.50), Bound::AtMost, 1, "ms");
  Report("write to caption, p99" + at, Percentile(figures.latencyMs, 0.99), Bound::AtMost, 1, "ms");
  std::printf("write to caption, max%s: %.3f ms\n", at.c_str(), Largest(figures.latencyMs));
  Report("label paints per second" + at,
         static_cast<double>(watch.paints().size()) / spent.wallSeconds, Bound::AtMost, 60, "");
  Report("write to paint, p99" + at, Percentile(figures.paintMs, 0.99), Bound::AtMost, 17, "ms");
  std::printf("write to paint, p50 %.3f ms, max %.3f ms\n", Percentile(figures.paintMs, 0.5),
              Largest(figures.paintMs));
  std::printf("  of which write to wake-up (kernel, scheduler), p50 %.3f ms, p99 %.3f ms\n",
              Percentile(figures.wakeMs, 0.5), Percentile(figures.wakeMs, 0.99));
  std::printf("  of which wake-up to caption (console's own work), p50 %.3f ms, p99 %.3f ms\n",
              Percentile(figures.handlingMs, 0.5), Percentile(figures.handlingMs, 0.99));
}

}  // namespace

std::string RunSuffix(const StreamSettings& settings) {
  return " @" + std::to_string(settings.baud) +
         (settings.runLog ? ", run log on" : ", run log off") +
         (settings.mqttUrl.empty() ? "" : ", MQTT on");
}

void ReportFigures(const StreamSettings& settings, std::chrono::nanoseconds period,
                   long long replies, std::size_t written, const ReplyWatch& watch,
                   const Spent& spent, const Figures& figures) {
  const std::string at = RunSuffix(settings);
  Report("replies written" + at, static_cast<double>(written), Bound::AtLeast,
         static_cast<double>(replies), "");
  Report("replies lost" + at, static_cast<double>(figures.lost), Bound::AtMost, 0, "");
  Report("replies shown wrong or not charted" + at,
         static_cast<double>(figures.misordered + figures.unCharted), Bound::AtMost, 0, "");
  ReportCpu(at, settings.baud, period, watch.shown().size(), spent);
  ReportLatency(at, watch, spent, figures);
  // On a shared machine the slowest replies are mostly ones that found the
  // console's thread preempted; this tells how often that happened.
  std::printf("console preempted (involuntary switches)%s: %ld\n", at.c_str(), spent.preempted);
  if (std::getenv("PUMP_STREAM_SLOW")) {
    const auto& latencyMs = figures.latencyMs;
    for (std::size_t i = 0; i < latencyMs.size(); ++i) {
      if (latencyMs[i] > 1) {
        std::printf("slow %zu %.3f %.3f\n", i, latencyMs[i], figures.wakeMs[i]);
      }
    }
  }
}

bool ReportRunLogRows(const std::filesystem::path& folder, const std::string& suffix,
                      std::size_t shown) {
  // Rows reach the file within a second of the reply.
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const long long rows = ReadingRows(folder);
  std::printf("run log reading rows%s: %lld of %zu replies shown\n", suffix.c_str(), rows, shown);
  return rows >= static_cast<long long>(shown);
}

}  // namespace pump::bench
