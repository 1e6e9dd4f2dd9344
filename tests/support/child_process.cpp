#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string_view>
#include <thread>

extern char** environ;

namespace pump::testing {
namespace {

std::vector<std::string> ChildEnvironment(const ChildStart& start) {
  std::vector<std::string> dropped = start.dropVariables;
  for (const std::string& set : start.setVariables)
    dropped.push_back(set.substr(0, set.find('=') + 1));
  std::vector<std::string> variables;
  for (char** variable = environ; *variable; ++variable) {
    const std::string_view text = *variable;
    bool keep = true;
    for (const std::string& prefix : dropped) keep = keep && !text.starts_with(prefix);
    if (keep) variables.emplace_back(text);
  }
  variables.insert(variables.end(), start.setVariables.begin(), start.setVariables.end());
  return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (auto& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

int ErrFlags(const ChildStart& start) {
  return O_WRONLY | O_CREAT | (start.appendErr ? O_APPEND : O_TRUNC);
}

bool Redirect(const std::string& file, int flags, int descriptor) {
  if (file.empty()) return true;
  const int opened = ::open(file.c_str(), flags, 0600);
  return opened >= 0 && ::dup2(opened, descriptor) >= 0;
}

// For a child that must change itself before the program runs: fork, then
// only async-signal-safe calls until exec.
pid_t ForkAndExec(const ChildStart& start, const std::vector<char*>& argv,
                  const std::vector<char*>& envp) {
  const pid_t child = ::fork();
  if (child != 0) return child;
  if (start.outDescriptor >= 0 && ::dup2(start.outDescriptor, STDOUT_FILENO) < 0) ::_exit(126);
  if (!Redirect(start.outFile, O_WRONLY | O_CREAT | O_TRUNC, STDOUT_FILENO) ||
      !Redirect(start.errFile, ErrFlags(start), STDERR_FILENO)) {
    ::_exit(126);
  }
  if (const int failed = start.inChild()) ::_exit(failed);
  ::execve(argv[0], argv.data(), envp.data());
  ::_exit(127);
}

}  // namespace

pid_t SpawnChild(const ChildStart& start) {
  std::vector<std::string> args = start.args, variables = ChildEnvironment(start);
  const std::vector<char*> argv = Pointers(args), envp = Pointers(variables);
  if (start.inChild) return ForkAndExec(start, argv, envp);
  // posix_spawn shares this process's memory until the exec, so the child's
  // peak memory is the program's own.
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  if (start.outDescriptor >= 0) {
    posix_spawn_file_actions_adddup2(&files, start.outDescriptor, STDOUT_FILENO);
  }
  if (!start.outFile.empty()) {
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, start.outFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  if (!start.errFile.empty()) {
    posix_spawn_file_actions_addopen(&files, STDERR_FILENO, start.errFile.c_str(), ErrFlags(start),
                                     0600);
  }
  pid_t child = -1;
  if (::posix_spawn(&child, argv[0], &files, nullptr, argv.data(), envp.data()) != 0) child = -1;
  posix_spawn_file_actions_destroy(&files);
  return child;
}

std::optional<int> WaitForExit(pid_t child, std::chrono::milliseconds within, rusage* usage) {
  if (child <= 0) return std::nullopt;
  const auto deadline = std::chrono::steady_clock::now() + within;
  int status = 0;
  for (;;) {
    const pid_t ended = ::wait4(child, &status, WNOHANG, usage);
    if (ended == child) return status;
    if (ended < 0 || std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::optional<int> SignalAndReap(pid_t child, int signal, std::chrono::milliseconds within) {
  if (child <= 0) return std::nullopt;
  ::kill(child, signal);
  const auto status = WaitForExit(child, within);
  if (!status) {
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
  }
  return status;
}

int ExitCodeOf(std::optional<int> status) {
  return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

pid_t GonePid() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

int ExitCodeAsNobody(const std::function<int()>& check) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
      ::_exit(kCouldNotBecomeNobody);
    ::_exit(check());
  }
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return -1;
  return ExitCodeOf(status);
}

}  // namespace pump::testing
