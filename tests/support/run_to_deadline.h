// A program run as a child process to its end or to a deadline, whichever
// comes first: how it ended, what it wrote, how long it took and the most
// memory it held. For checks at the edge of a command: that it ends
// promptly, and in bounded memory, whatever it was given.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace pump::testing {

struct RunEnd {
  int status = -1;       // the exit status; -1 if it was killed at the deadline or by a signal
  bool overran = false;  // still running at the deadline, and killed then
  std::string out, err;  // its standard output and error
  std::chrono::milliseconds took{0};
  long peakKiB = 0;  // its largest resident set
};

namespace run_detail {
inline std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
}  // namespace run_detail

// Runs `args` (the program's path first) with its standard output and error
// in files in `folder`.
inline RunEnd RunToDeadline(std::vector<std::string> args, const std::string& folder,
                            std::chrono::milliseconds deadline) {
  using Clock = std::chrono::steady_clock;
  const std::string outPath = folder + "/stdout", errPath = folder + "/stderr";
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&files, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&files, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  RunEnd end;
  pid_t child = -1;
  const auto started = Clock::now();
  const int spawned = ::posix_spawn(&child, argv[0], &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  if (spawned != 0) return end.err = "could not start " + args[0], end;
  int status = 0;
  rusage usage{};
  while (::wait4(child, &status, WNOHANG, &usage) == 0) {
    if (Clock::now() - started > deadline) {
      end.overran = true;
      ::kill(child, SIGKILL);
      ::wait4(child, &status, 0, &usage);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  end.took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
  end.status = !end.overran && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  end.peakKiB = usage.ru_maxrss;
  end.out = run_detail::FileText(outPath);
  end.err = run_detail::FileText(errPath);
  return end;
}

}  // namespace pump::testing
