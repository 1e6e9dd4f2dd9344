// A program started by a test as a child process: its arguments, the
// environment it inherits less what the test takes away or sets, where its
// output goes; then waiting for its end, or ending it with a signal.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pump::testing {

struct ChildStart {
  std::vector<std::string> args;  // the program's path first
  // "NAME=value" entries of this process's environment starting with one of
  // these ("DISPLAY=", "XDG_") are left out of the child's.
  std::vector<std::string> dropVariables{};
  // "NAME=value" entries set in the child's environment, in place of any
  // inherited one of the same name.
  std::vector<std::string> setVariables{};
  std::string outFile{};   // standard output into this file (made anew), else inherited
  int outDescriptor = -1;  // or into this descriptor (a pipe's end)
  std::string errFile{};   // standard error into this file, else inherited
  bool appendErr = false;  // added to the end of errFile rather than made anew
  // Run in the child just before the program replaces it, for what posix_spawn
  // cannot do (namespaces, another user); a result other than 0 is the
  // child's exit status instead. Only async-signal-safe calls in here.
  std::function<int()> inChild{};
};

// The process id, or -1 if it could not be started.
pid_t SpawnChild(const ChildStart& start);

// The child's wait status once it has ended within the time, else nothing;
// `usage`, when given, gets what it used.
std::optional<int> WaitForExit(pid_t child, std::chrono::milliseconds within,
                               rusage* usage = nullptr);

// Sends `signal`, then the wait status once the child has ended within the
// time; a child still running then is killed, and nothing is given.
std::optional<int> SignalAndReap(pid_t child, int signal,
                                 std::chrono::milliseconds within = std::chrono::seconds(10));

// The exit code in a wait status; -1 for none, or for an end by a signal.
int ExitCodeOf(std::optional<int> status);

// The id of a process that has run and gone, for a stale lock's owner.
pid_t GonePid();

// Runs `check` in a forked child as user and group nobody (65534) and gives
// back its result as the child's exit code; -1 when there was no child. As
// root, only this meets the permission checks an operator would.
constexpr int kCouldNotBecomeNobody = 125;
int ExitCodeAsNobody(const std::function<int()>& check);

}  // namespace pump::testing
