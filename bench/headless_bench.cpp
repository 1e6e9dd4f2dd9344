// The console without a window, as a service runs it, measured from outside.
//
//   headless_bench --console PATH --start
//     A pseudo-terminal stands in for the pump's line. From the console's
//     exec to the moment it opens the line (the poll timer starts then), and
//     to the first poll frame on the line, which the line sends one poll
//     interval (1.5 s) after opening it by design: that interval is taken off.
//
//   headless_bench --console PATH --rest SECONDS [--mqtt-url URL] [--pump-sim]
//     The console on the built-in "sim" pump, polled at rest: after a few
//     seconds of settling, its CPU time over SECONDS (all its threads, from the
//     scheduler's nanosecond counts) as a share of one core, and its peak
//     resident memory (VmHWM) at the end. The built-in pump is simulated in
//     the console's own process, on a 10 ms tick while its line is open; with
//     --pump-sim the pump is a pump-sim process on a pseudo-terminal instead,
//     and the figures are the console's alone.
//
// Each figure is printed against its target; the console's home is a
// scratch folder, so no settings or run logs of the user's are touched.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "bench/target.h"
#include "link/pump_command.h"
#include "link/pump_line.h"
#include "tests/support/pump_sim_process.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using pump::bench::Bound;
using pump::bench::Report;
namespace fs = std::filesystem;

constexpr double kStartTargetMs = 100;
constexpr double kRestCpuTargetPercent = 0.1;
constexpr double kRestMemoryTargetMb = 15;
constexpr double kRestMemoryWithMqttTargetMb = 20;
constexpr int kSettlingSeconds = 5;

struct Options {
  std::string console;
  bool start = false;
  int restSeconds = 0;
  std::string mqttUrl;
  bool pumpSim = false;
};

double Milliseconds(Clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

// A scratch home for the console, removed at the end.
class ScratchHome {
 public:
  ScratchHome() {
    std::string pattern = (fs::temp_directory_path() / "headless-bench-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~ScratchHome() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// `console --headless --port PORT [more]` with its home in `home`, its
// standard error in home/err.txt.
pid_t StartConsole(const Options& options, const std::string& port, const std::string& home) {
  std::vector<std::string> args{options.console, "--headless", "--port", port};
  if (!options.mqttUrl.empty()) args.insert(args.end(), {"--mqtt-url", options.mqttUrl});
  std::vector<std::string> env{"HOME=" + home, "XDG_RUNTIME_DIR=" + home};
  for (char** variable = environ; *variable; ++variable) {
    const std::string text = *variable;
    if (!text.starts_with("HOME=") && !text.starts_with("XDG_")) env.push_back(text);
  }
  std::vector<char*> argv, envp;
  for (auto& arg : args) argv.push_back(arg.data());
  for (auto& variable : env) envp.push_back(variable.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  const std::string err = home + "/err.txt";
  posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = -1;
  const int failed =
      ::posix_spawn(&pid, args[0].c_str(), &files, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&files);
  return failed ? -1 : pid;
}

int EndConsole(pid_t console) {
  ::kill(console, SIGTERM);
  int status = 0;
  ::waitpid(console, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Exec to the line's opening, and to the first poll frame on it.
int MeasureStart(const Options& options) {
  int master = -1, slave = -1;
  char device[256];
  if (::openpty(&master, &slave, device, nullptr, nullptr) != 0) return 1;
  // With no one holding the terminal's far side open, the near side reports
  // a hang-up until the console opens it.
  ::close(slave);
  ScratchHome home;
  const auto exec = Clock::now();
  const pid_t console = StartConsole(options, device, home.path());
  if (console < 0) return 1;
  std::optional<Clock::time_point> opened;
  std::string bytes;
  const std::string pollFrame = pump::link::PumpCommand::StatusPoll().frame();
  while (bytes.size() < pollFrame.size() && Clock::now() - exec < std::chrono::seconds(10)) {
    pollfd watch{master, POLLIN, 0};
    ::poll(&watch, 1, opened ? 100 : 0);
    if (!opened && !(watch.revents & POLLHUP)) opened = Clock::now();
    if (!opened) std::this_thread::sleep_for(std::chrono::microseconds(200));
    if (opened && (watch.revents & POLLIN)) {
      char chunk[64];
      const auto got = ::read(master, chunk, sizeof chunk);
      if (got > 0) bytes.append(chunk, static_cast<std::size_t>(got));
    }
  }
  const auto polled = Clock::now();
  const int status = EndConsole(console);
  ::close(master);
  if (!opened || bytes.substr(0, pollFrame.size()) != pollFrame) {
    std::fprintf(stderr, "no poll frame on the line (got \"%s\")\n", bytes.c_str());
    return 1;
  }
  Report("exec to the line open", Milliseconds(*opened - exec), Bound::AtMost, kStartTargetMs,
         "ms");
  const double firstPoll = Milliseconds(polled - exec) - pump::link::kPollIntervalMs;
  Report("exec to first poll, less the 1.5 s interval", firstPoll, Bound::AtMost, kStartTargetMs,
         "ms");
  return status == 0 ? 0 : 1;
}

// CPU time of every thread of the process, in seconds.
double ThreadsCpuSeconds(pid_t pid) {
  double total = 0;
  std::error_code error;
  for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    std::ifstream schedstat(task.path() / "schedstat");
    unsigned long long onCpuNs = 0;
    if (schedstat >> onCpuNs) total += static_cast<double>(onCpuNs) / 1e9;
  }
  return total;
}

double PeakResidentMb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmHWM:")) return std::stod(line.substr(6)) / 1024;
  }
  return -1;
}

int MeasureRest(const Options& options) {
  ScratchHome home;
  std::optional<pump::testing::PumpSimProcess> pumpSim;
  if (options.pumpSim) pumpSim.emplace();
  const pid_t console = StartConsole(options, pumpSim ? pumpSim->devicePath() : "sim", home.path());
  if (console < 0) return 1;
  std::this_thread::sleep_for(std::chrono::seconds(kSettlingSeconds));
  const auto from = Clock::now();
  const double cpuBefore = ThreadsCpuSeconds(console);
  std::this_thread::sleep_for(std::chrono::seconds(options.restSeconds));
  const double cpu = ThreadsCpuSeconds(console) - cpuBefore;
  const double wall = std::chrono::duration<double>(Clock::now() - from).count();
  const double peak = PeakResidentMb(console);
  const int status = EndConsole(console);
  const std::string mode = std::string(options.pumpSim ? "pump-sim line, " : "sim, ") +
                           (options.mqttUrl.empty() ? "MQTT off" : "MQTT on");
  if (options.mqttUrl.empty()) {
    Report("at rest, " + mode + ": CPU", 100 * cpu / wall, Bound::AtMost, kRestCpuTargetPercent,
           "%");
  } else {
    std::printf("%-44s %12.4g %%\n", ("at rest, " + mode + ": CPU").c_str(), 100 * cpu / wall);
  }
  Report("at rest, " + mode + ": VmHWM", peak, Bound::AtMost,
         options.mqttUrl.empty() ? kRestMemoryTargetMb : kRestMemoryWithMqttTargetMb, "MB");
  if (status != 0) std::fprintf(stderr, "the console ended with status %d\n", status);
  return status == 0 ? 0 : 1;
}

Options Parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--console" && hasValue) {
      options.console = argv[++i];
    } else if (arg == "--start") {
      options.start = true;
    } else if (arg == "--rest" && hasValue) {
      options.restSeconds = std::atoi(argv[++i]);
    } else if (arg == "--pump-sim") {
      options.pumpSim = true;
    } else if (arg == "--mqtt-url" && hasValue) {
      options.mqttUrl = argv[++i];
    }
  }
  return options;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = Parse(argc, argv);
  if (options.console.empty() || (!options.start && options.restSeconds <= 0)) {
    std::fprintf(stderr,
                 "usage: headless_bench --console PATH (--start | --rest SECONDS "
                 "[--mqtt-url URL] [--pump-sim])\n");
    return 2;
  }
  return options.start ? MeasureStart(options) : MeasureRest(options);
}
