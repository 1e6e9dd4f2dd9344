// Google Benchmark's console output, followed for each run by its figure
// beside the target it must meet.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "bench/target.h"

namespace pump::bench {

struct Target {
  std::string benchmark;  // runs whose name starts with this
  std::string figure;
  Bound bound;
  double limit;
  std::string unit;
  std::function<double(const benchmark::BenchmarkReporter::Run&)> measure;
};

class TargetReporter : public benchmark::ConsoleReporter {
 public:
  explicit TargetReporter(std::vector<Target> targets) : targets_(std::move(targets)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      for (const Target& t : targets_) {
        if (run.benchmark_name().rfind(t.benchmark, 0) != 0) continue;
        verdicts_.push_back([t, run] {
          Report(t.figure + " " + run.benchmark_name(), t.measure(run), t.bound, t.limit, t.unit);
        });
      }
    }
  }

  // The verdicts come after the table, where they are easy to find.
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const auto& verdict : verdicts_) verdict();
  }

 private:
  std::vector<Target> targets_;
  std::vector<std::function<void()>> verdicts_;
};

// Runs the registered benchmarks with the targets reported.
inline int RunWithTargets(int argc, char** argv, std::vector<Target> targets) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TargetReporter reporter(std::move(targets));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace pump::bench
