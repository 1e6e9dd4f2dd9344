// The record file: saving a million samples through the main window's save
// handler onto a real file, and the viewer loading its last line back.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "bench/target_reporter.h"
#include "platform/posix/posix_files.h"
#include "records/record_viewer.h"
#include "tests/support/console_harness.h"

namespace {

std::string ScratchPath() {
  return (std::filesystem::temp_directory_path() / "pump-record-bench.txt").string();
}

// A window that saves onto the real disk, its record full of readings of the
// shape a pump reports (one decimal, 0 to 5 MPa).
struct DiskFiles {
  pump::posix::PosixFiles files;
};

struct FullRecordWindow : DiskFiles {
  pump::testing::ConsoleHarness doubles{{.files = &files, .recordPath = ScratchPath()}};
  pump::console::MainWindow& form = *doubles.window;

  FullRecordWindow() {
    doubles.openPort("1");
    std::mt19937 random(7);
    std::uniform_int_distribution<int> tenths(0, 50);
    std::string replies;
    for (int i = 0; i < pump::records::PressureRecord::kCapacity; ++i) {
      const int value = tenths(random);
      replies += "Q00N0" + std::to_string(value / 10) + "." + std::to_string(value % 10) + "Y";
    }
    doubles.serial.receive(replies);
  }
};

void SaveMillionSamples(benchmark::State& state) {
  FullRecordWindow window;
  for (auto _ : state) window.form.saveRecord();
  const auto confirmations = window.doubles.dialogs.messages();
  if (confirmations.empty() || confirmations.back().prompt != "当前压力数值以存储") {
    state.SkipWithError("the save did not confirm");
  }
  state.counters["samples"] = window.form.record().count();
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(ScratchPath()));
}
BENCHMARK(SaveMillionSamples)->Unit(benchmark::kMillisecond);

void ViewerLoadsMillionSampleFile(benchmark::State& state) {
  FullRecordWindow window;
  window.form.saveRecord();
  pump::testing::ScriptedDialogs dialogs;
  pump::testing::CountingWindow mainWindow, self;
  pump::records::RecordViewer viewer(window.files, dialogs, mainWindow, self, ScratchPath());
  for (auto _ : state) {
    viewer.loadLastLine();
    benchmark::DoNotOptimize(viewer.recordLine.text());
  }
  if (!dialogs.shown.empty()) state.SkipWithError("the record file could not be read");
}
BENCHMARK(ViewerLoadsMillionSampleFile)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  using pump::bench::Bound;
  const auto seconds = [](const benchmark::BenchmarkReporter::Run& run) {
    return run.GetAdjustedRealTime() / 1000;  // reported in milliseconds
  };
  return pump::bench::RunWithTargets(
      argc, argv,
      {{"SaveMillionSamples", "save of 1,000,000 samples", Bound::AtMost, 0.2, "s", seconds},
       {"ViewerLoadsMillionSampleFile", "viewer load of that file", Bound::AtMost, 0.1, "s",
        seconds}});
}
