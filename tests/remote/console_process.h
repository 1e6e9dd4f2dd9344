// pump-console as a child process without a window, on a pump's line and a
// test broker, for tests that drive it from the broker as a dashboard would.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char** environ;

namespace pump::remote::testing {

// `program --headless --port device --mqtt-url url --pump-id id
// --allow-remote-control` (the last unless `allowRemoteControl` is false),
// with its home (and so its run logs) in `home`, and its standard error in
// `errorFile` when one is given.
// The process id, or -1 if it did not start.
inline pid_t StartHeadlessConsole(const std::string& program, const std::string& device,
                                  const std::string& brokerUrl, const std::string& pumpId,
                                  const std::string& home, bool allowRemoteControl = true,
                                  const std::string& errorFile = {}) {
  std::string homeVariable = "HOME=" + home;
  std::vector<std::string> args{program,     "--headless", "--port",
                                device,      "--mqtt-url", brokerUrl,
                                "--pump-id", pumpId,       "--allow-remote-control"};
  if (!allowRemoteControl) args.pop_back();
  std::vector<char*> argv;
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::vector<char*> envp{homeVariable.data()};
  for (char** variable = environ; *variable; ++variable) {
    if (std::string_view(*variable).starts_with("HOME=")) continue;
    envp.push_back(*variable);
  }
  envp.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  if (!errorFile.empty()) {
    posix_spawn_file_actions_addopen(&files, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  }
  pid_t console = -1;
  if (::posix_spawn(&console, program.c_str(), &files, nullptr, argv.data(), envp.data()) != 0) {
    console = -1;
  }
  posix_spawn_file_actions_destroy(&files);
  return console;
}

// Sends `signal`, then gives the exit status once it has ended within ten
// seconds (-1 if it did not end, or not by exiting), and in `took` how long
// that took.
inline int EndConsole(pid_t console, int signal = SIGTERM,
                      std::chrono::milliseconds* took = nullptr) {
  const auto sent = std::chrono::steady_clock::now();
  ::kill(console, signal);
  int status = -1;
  for (int i = 0; i < 1000 && ::waitpid(console, &status, WNOHANG) == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (took) {
    *took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  sent);
  }
  if (status == -1) {
    ::kill(console, SIGKILL);
    ::waitpid(console, &status, 0);
    return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace pump::remote::testing
