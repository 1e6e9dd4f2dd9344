// A program run as a child process to its end or to a deadline, whichever
// comes first: how it ended, what it wrote, how long it took and the most
// memory it held. For checks at the edge of a command: that it ends
// promptly, and in bounded memory, whatever it was given.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/scratch_folder.h"

namespace pump::testing {

struct RunEnd {
  int status = -1;       // the exit status; -1 if it was killed at the deadline or by a signal
  bool overran = false;  // still running at the deadline, and killed then
  std::string out, err;  // its standard output and error
  std::chrono::milliseconds took{0};
  long peakKiB = 0;  // its largest resident set
};

// Runs `args` (the program's path first) with its standard output and error
// in files in `folder`.
inline RunEnd RunToDeadline(std::vector<std::string> args, const std::string& folder,
                            std::chrono::milliseconds deadline) {
  using Clock = std::chrono::steady_clock;
  const std::string outPath = folder + "/stdout", errPath = folder + "/stderr";
  RunEnd end;
  const auto started = Clock::now();
  const pid_t child = SpawnChild({.args = args, .outFile = outPath, .errFile = errPath});
  if (child <= 0) return end.err = "could not start " + args[0], end;
  rusage usage{};
  auto status = WaitForExit(child, deadline, &usage);
  if (!status) {
    end.overran = true;
    ::kill(child, SIGKILL);
    status = WaitForExit(child, std::chrono::seconds(10), &usage);
  }
  end.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
  end.status = end.overran ? -1 : ExitCodeOf(status);
  end.peakKiB = usage.ru_maxrss;
  end.out = ReadFile(outPath);
  end.err = ReadFile(errPath);
  return end;
}

}  // namespace pump::testing
