// The run log's cost at the fastest the line brings replies: 1,280 readings a
// second (115200 baud), each a row, paced as they would come, once without and
// once with the log. The difference in CPU time is what logging costs; the
// difference on the streaming thread is what the window's thread pays.
//
//   runlog_bench [--seconds 5]
//
// Exits 1 if a row is missing from the file.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "bench/cpu_time.h"
#include "bench/target.h"
#include "platform/posix/background_append_log.h"
#include "runlog/run_log.h"
#include "tests/support/pump_states.h"

namespace {

using namespace std::chrono;
using pump::EventKind;
using pump::bench::Bound;
using pump::bench::ProcessCpuSeconds;
using pump::bench::Report;
using pump::session::SessionEvent;

constexpr double kRowsPerSecond = 1280;

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec / 1e9;
}

struct Run {
  double cpuSeconds = 0;     // the whole process
  double streamSeconds = 0;  // the streaming thread: the window's thread in the console
  long rows = 0;
};

// Readings at the line's pace for the time; `log` may be null (the baseline).
Run Stream(pump::runlog::RunLog* log, double seconds) {
  const pump::session::PumpState shown = pump::testing::Showing("03.9", "02.0", "150", true);
  Run run;
  const auto start = steady_clock::now();
  const double cpuBefore = ProcessCpuSeconds();
  const double threadBefore = ThreadCpuSeconds();
  if (log) log->record({pump::EventKind::Open, "/dev/pts/9", shown, system_clock::now(), start});
  const long rows = static_cast<long>(seconds * kRowsPerSecond);
  for (long i = 0; i < rows; ++i) {
    std::this_thread::sleep_until(start + duration<double>(i / kRowsPerSecond));
    const SessionEvent reading{pump::EventKind::Reading, "Q00N03.9Y", shown, system_clock::now(),
                               steady_clock::now()};
    if (!log) continue;
    log->record(reading);
    ++run.rows;
  }
  if (log) log->record({pump::EventKind::Close, "/dev/pts/9", shown, system_clock::now(), start});
  run.streamSeconds = ThreadCpuSeconds() - threadBefore;
  run.cpuSeconds = ProcessCpuSeconds() - cpuBefore;
  return run;
}

long LinesIn(const std::filesystem::path& folder) {
  long lines = 0;
  for (const auto& file : std::filesystem::directory_iterator(folder)) {
    std::ifstream in(file.path());
    for (std::string line; std::getline(in, line);) ++lines;
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::string(argv[i]) == "--seconds") seconds = std::atof(argv[i + 1]);
  }
  std::string pattern = (std::filesystem::temp_directory_path() / "runlog-bench-XXXXXX").string();
  const std::filesystem::path folder = ::mkdtemp(pattern.data());

  const Run off = Stream(nullptr, seconds);
  Run on;
  {
    pump::posix::BackgroundAppendLog disk({folder.string()}, {});
    pump::runlog::RunLog log(disk);
    on = Stream(&log, seconds);
  }  // the writer finishes before the file is counted
  const long written = LinesIn(folder);
  std::filesystem::remove_all(folder);

  std::printf(
      "%ld rows in %.1f s; CPU %.3f s without the log, %.3f s with it "
      "(streaming thread %.3f s / %.3f s)\n",
      on.rows, seconds, off.cpuSeconds, on.cpuSeconds, off.streamSeconds, on.streamSeconds);
  Report("run log: window thread per row", (on.streamSeconds - off.streamSeconds) / on.rows * 1e6,
         Bound::AtMost, 7.8, "us");
  Report("run log: CPU share at 1,280 rows/s", (on.cpuSeconds - off.cpuSeconds) / seconds * 100,
         Bound::AtMost, 1.0, "% core");
  Report("run log: CPU per row, both threads", (on.cpuSeconds - off.cpuSeconds) / on.rows * 1e6,
         Bound::AtMost, 7.8, "us");
  if (written != on.rows + 3) {  // the header, the open and the close
    std::printf("rows lost: %ld of %ld written\n", written - 3, on.rows);
    return 1;
  }
  return 0;
}
