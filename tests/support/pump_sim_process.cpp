#include "tests/support/pump_sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "tests/support/child_process.h"

namespace pump::testing {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

Clock::time_point After(int ms) { return Clock::now() + std::chrono::milliseconds(ms); }

}  // namespace

PumpSimProcess::PumpSimProcess(const std::vector<std::string>& options) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
  std::vector<std::string> args{PUMP_SIM_EXECUTABLE};
  args.insert(args.end(), options.begin(), options.end());
  pid_ = SpawnChild({.args = args, .outDescriptor = pipeFds[1]});
  ::close(pipeFds[1]);
  output_ = pipeFds[0];
  if (pid_ <= 0) return;

  std::string line;
  const auto deadline = After(5000);
  while (line.find('\n') == std::string::npos) {
    pollfd fd{output_, POLLIN, 0};
    if (::poll(&fd, 1, RemainingMs(deadline)) <= 0) return;
    char bytes[256];
    const ssize_t count = ::read(output_, bytes, sizeof bytes);
    if (count <= 0) return;
    line.append(bytes, static_cast<std::size_t>(count));
  }
  devicePath_ = line.substr(0, line.find('\n'));
}

PumpSimProcess::~PumpSimProcess() {
  if (pid_ > 0 && !status_ && !stop(2000)) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  if (output_ >= 0) ::close(output_);
}

std::optional<int> PumpSimProcess::waitForExit(int timeoutMs) {
  if (status_ || pid_ <= 0) return status_;
  if (const auto status = WaitForExit(pid_, std::chrono::milliseconds(timeoutMs))) {
    status_ = WIFEXITED(*status) ? WEXITSTATUS(*status) : 128 + WTERMSIG(*status);
  }
  return status_;
}

std::optional<int> PumpSimProcess::stop(int timeoutMs) {
  if (pid_ > 0 && !status_) ::kill(pid_, SIGTERM);
  return waitForExit(timeoutMs);
}

RawLine::RawLine(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return;
  termios raw{};
  ::tcgetattr(fd_, &raw);
  ::cfmakeraw(&raw);
  ::cfsetspeed(&raw, B9600);
  ::tcsetattr(fd_, TCSANOW, &raw);
}

RawLine::~RawLine() {
  if (fd_ >= 0) ::close(fd_);
}

bool RawLine::send(std::string_view bytes) {
  return ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::optional<std::string> RawLine::ReadOnce(int timeoutMs) {
  const auto deadline = After(timeoutMs);
  while (!hungUp_) {
    pollfd fd{fd_, POLLIN, 0};
    if (::poll(&fd, 1, RemainingMs(deadline)) <= 0) return std::nullopt;
    char bytes[512];
    const ssize_t count = ::read(fd_, bytes, sizeof bytes);
    if (count > 0) return std::string(bytes, static_cast<std::size_t>(count));
    if ((count < 0 && errno == EIO) || (fd.revents & POLLHUP)) hungUp_ = true;
  }
  return std::nullopt;
}

std::vector<std::string> RawLine::readChunks(int forMs) {
  std::vector<std::string> chunks;
  const auto deadline = After(forMs);
  while (auto chunk = ReadOnce(RemainingMs(deadline))) chunks.push_back(std::move(*chunk));
  return chunks;
}

std::string RawLine::readBytes(std::size_t count, int timeoutMs) {
  std::string bytes;
  const auto deadline = After(timeoutMs);
  while (bytes.size() < count) {
    const auto chunk = ReadOnce(RemainingMs(deadline));
    if (!chunk) break;
    bytes += *chunk;
  }
  return bytes;
}

bool RawLine::hungUp(int timeoutMs) {
  const auto deadline = After(timeoutMs);
  while (!hungUp_ && RemainingMs(deadline) > 0) readChunks(RemainingMs(deadline));
  return hungUp_;
}

}  // namespace pump::testing
