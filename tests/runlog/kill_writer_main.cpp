// Logs a stream of readings until killed: the run log with its real writer,
// one reading a millisecond. After each reading it prints the reading's
// number on stdout, so whoever kills it knows what had been logged by when.
// Usage: runlog_kill_writer FOLDER
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/posix/background_append_log.h"
#include "runlog/run_log.h"
#include "tests/support/pump_states.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
    return 2;
  }
  using namespace std::chrono;
  pump::posix::BackgroundAppendLog disk({argv[1]}, {});
  pump::runlog::RunLog log(disk);
  const pump::session::PumpState shown = pump::testing::Showing("01.5", "02.0", "150", true);
  log.record(
      {pump::EventKind::Open, "/dev/pts/9", shown, system_clock::now(), steady_clock::now()});
  auto next = steady_clock::now();
  for (long number = 0;; ++number) {
    log.record({pump::EventKind::Reading, std::to_string(number), shown, system_clock::now(),
                steady_clock::now()});
    const std::string told = std::to_string(number) + "\n";
    if (::write(STDOUT_FILENO, told.data(), told.size()) < 0) return 1;
    next += milliseconds(1);
    std::this_thread::sleep_until(next);
  }
}
