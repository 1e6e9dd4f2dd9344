// The run report from the command line on long logs: a day at the real poll
// rate (57,600 rows, one each 1.5 s) and an hour at 115200 baud (4.6 million
// rows). Writes the log once, then times pump-report on it as a child
// process and reads its peak resident memory from the kernel (wait4).
//   report_bench --report PATH/pump-report --rows 57600 --every-us 1500000
// Prints "report of N rows time S s (target <= T s): met" and the same for
// peak memory, in the form tools/bench.sh sums up.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "runlog/local_time.h"
#include "runlog/log_columns.h"

namespace {

struct Options {
  std::string report;
  long rows = 57'600;
  long everyUs = 1'500'000;
  double seconds = 1, megabytes = 80;
  bool keep = false;  // leave the log and the PDF for a look
};

// Readings at a steady pace, a command every thousand rows and a link lost
// for ten seconds every hundred thousand.
void WriteLog(const std::string& path, const Options& options) {
  FILE* out = std::fopen(path.c_str(), "w");
  std::fprintf(out, "%s\r\n", std::string(pump::runlog::kRunLogHeader).c_str());
  constexpr std::int64_t kStartMs = 1'796'601'600'000;
  std::int64_t skipUs = 0;
  for (long i = 0; i < options.rows; ++i) {
    if (i % 100'000 == 99'999) skipUs += 10'000'000;
    const std::int64_t us = i * options.everyUs + skipUs;
    const std::int64_t ms = us / 1000;
    const std::string time = pump::runlog::FormatLogTime(kStartMs + ms, 480);
    const float pressure = 1.9f + 0.1f * static_cast<float>(i % 7);
    if (i % 1000 == 0) {
      std::fprintf(out, "%s,%lld.%03lld,command,,1.00,4.0,RUN,F1.00\r\n", time.c_str(),
                   static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000));
    }
    std::fprintf(out, "%s,%lld.%03lld,reading,%.2f,1.00,4.0,RUN,Q%.2f\r\n", time.c_str(),
                 static_cast<long long>(ms / 1000), static_cast<long long>(ms % 1000), pressure,
                 pressure);
  }
  std::fclose(out);
}

bool ReadOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i], value = argv[i + 1];
    if (name == "--report")
      options.report = value;
    else if (name == "--rows")
      options.rows = std::stol(value);
    else if (name == "--every-us")
      options.everyUs = std::stol(value);
    else if (name == "--seconds")
      options.seconds = std::stod(value);
    else if (name == "--megabytes")
      options.megabytes = std::stod(value);
    else if (name == "--keep")
      options.keep = value == "yes";
    else
      return false;
  }
  return !options.report.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ReadOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: report_bench --report PUMP-REPORT [--rows N] [--every-us US]"
                 " [--seconds TARGET] [--megabytes TARGET] [--keep yes]\n");
    return 2;
  }
  const auto folder = std::filesystem::temp_directory_path();
  const std::string log = (folder / ("report-bench-" + std::to_string(::getpid()) + ".csv"));
  const std::string pdf = (folder / ("report-bench-" + std::to_string(::getpid()) + ".pdf"));
  WriteLog(log, options);
  const auto started = std::chrono::steady_clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl(options.report.c_str(), options.report.c_str(), "--report", log.c_str(), "--output",
            pdf.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  ::wait4(child, &status, 0, &usage);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const double megabytes = static_cast<double>(usage.ru_maxrss) / 1024.0;
  const double logMegabytes = static_cast<double>(std::filesystem::file_size(log)) / 1e6;
  if (options.keep) {
    std::printf("kept %s and %s\n", log.c_str(), pdf.c_str());
  } else {
    std::filesystem::remove(log);
    std::filesystem::remove(pdf);
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "report_bench: pump-report failed (status %d)\n", status);
    return 1;
  }
  const long rows = options.rows;
  std::printf("log of %ld rows: %.0f MB\n", rows, logMegabytes);
  std::printf("report of %ld rows time %.3f s (target <= %g s): %s\n", rows, seconds,
              options.seconds, seconds <= options.seconds ? "met" : "MISSED");
  std::printf("report of %ld rows peak memory %.1f MB (target <= %g MB): %s\n", rows, megabytes,
              options.megabytes, megabytes <= options.megabytes ? "met" : "MISSED");
  return 0;
}
