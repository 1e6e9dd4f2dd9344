#include "sim/pty_pump_server.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fstream>
#include <vector>

#include "sim/line_faults.h"
#include "sim/pump_model.h"
#include "sim/reply_stream.h"

namespace pump::sim {
namespace {

std::string SystemError(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// A pump that nobody reads from must not stall: writes that do not fit are
// dropped, as bytes sent down an unread line are lost.
void WriteOrDrop(int fd, const std::string& bytes) {
  ssize_t written;
  do {
    written = ::write(fd, bytes.data(), bytes.size());
  } while (written < 0 && errno == EINTR);
}

bool StopAsked(int signals) {
  pollfd fd{signals, POLLIN, 0};
  return ::poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN);
}

// Reads and drops what the console sent; true once anything came.
bool DrainInput(int fd) {
  bool any = false;
  char bytes[512];
  while (::read(fd, bytes, sizeof bytes) > 0) any = true;
  return any;
}

timespec MonotonicNow() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return now;
}

void SleepUntil(const timespec& due) {
  int result;
  do {
    result = ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
  } while (result == EINTR);
}

long long Nanoseconds(const timespec& t) { return t.tv_sec * 1'000'000'000LL + t.tv_nsec; }

timespec Timespec(long long ns) {
  return timespec{static_cast<time_t>(ns / 1'000'000'000LL),
                  static_cast<long>(ns % 1'000'000'000LL)};
}

constexpr int kNoLog = -1;
constexpr int kLogNotOpened = -2;

// Appends to the file, made if need be; kNoLog for no file.
int OpenReceivedLog(const std::string& path) {
  if (path.empty()) return kNoLog;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  return fd < 0 ? kLogNotOpened : fd;
}

}  // namespace

PtyPumpServer::PtyPumpServer(SimOptions options) : options_(std::move(options)) {}

PtyPumpServer::~PtyPumpServer() { CloseLine(); }

void PtyPumpServer::CloseLine() {
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
}

std::optional<std::string> PtyPumpServer::openLine() {
  char name[256] = {};
  termios raw{};
  ::cfmakeraw(&raw);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0) return SystemError("openpty");
  // Raw on both sides: no echo of the console's frames, no line editing of
  // the nine unterminated characters.
  ::tcsetattr(master_, TCSANOW, &raw);
  const int flags = ::fcntl(master_, F_GETFL);
  ::fcntl(master_, F_SETFL, flags | O_NONBLOCK);
  devicePath_ = name;
  return std::nullopt;
}

std::optional<std::string> PtyPumpServer::serve() {
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGHUP);
  const int signals = ::signalfd(-1, &stopSignals, SFD_CLOEXEC);
  if (signals < 0) return SystemError("signalfd");

  if (options_.streamReplies) {
    auto failure = StreamReplies(signals);
    ::close(signals);
    CloseLine();
    return failure;
  }

  PumpModel pump(options_.pump);
  FaultyLine line(options_.faults, options_.pump.seed, pump.frameMs());
  std::deque<LineWrite> writes;

  using Clock = std::chrono::steady_clock;
  const auto started = Clock::now();
  const auto elapsedMs = [&] {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
  };
  std::optional<long long> hangupAt;
  if (options_.hangupAfterSeconds) {
    hangupAt = static_cast<long long>(*options_.hangupAfterSeconds * 1000);
  }

  const int received = OpenReceivedLog(options_.receivedLog);
  if (received == kLogNotOpened) {
    ::close(signals);
    return SystemError("open received log");
  }

  std::optional<std::string> failure;
  while (true) {
    const long long now = elapsedMs();
    if (hangupAt && now >= *hangupAt) break;
    pump.advance(now - pump.now());
    for (const auto& reply : pump.takeDueReplies()) {
      for (auto& write : line.carry(reply)) writes.push_back(std::move(write));
    }
    while (!writes.empty() && writes.front().dueMs <= now) {
      WriteOrDrop(master_, writes.front().bytes);
      writes.pop_front();
    }

    // Sleep until the next thing falls due, looking at the pressure now and then.
    long long wake = now + 200;
    if (const auto due = pump.nextReplyDue()) wake = std::min(wake, *due);
    if (!writes.empty()) wake = std::min(wake, writes.front().dueMs);
    if (hangupAt) wake = std::min(wake, *hangupAt);
    pollfd fds[] = {{master_, POLLIN, 0}, {signals, POLLIN, 0}};
    const int timeout = static_cast<int>(std::max(0LL, wake - now));
    if (::poll(fds, 2, timeout) < 0) {
      if (errno == EINTR) continue;
      failure = SystemError("poll");
      break;
    }
    if (fds[1].revents & POLLIN) break;
    if (fds[0].revents & POLLIN) {
      char bytes[512];
      const ssize_t count = ::read(master_, bytes, sizeof bytes);
      if (count > 0) {
        if (received >= 0)
          WriteOrDrop(received, std::string(bytes, static_cast<std::size_t>(count)));
        pump.advance(elapsedMs() - pump.now());
        pump.receive(std::string_view(bytes, static_cast<std::size_t>(count)));
      } else if (count < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) {
        failure = SystemError("read");
        break;
      }
    }
  }
  ::close(signals);
  if (received >= 0) ::close(received);
  CloseLine();
  return failure;
}

}  // namespace pump::sim

namespace pump::sim {

// The frames go out on an absolute schedule, so a late wake-up does not push
// every later frame back. Times are logged in memory and written at the end,
// keeping file writes out of the measured stretch.
std::optional<std::string> PtyPumpServer::StreamReplies(int signals) {
  while (true) {
    pollfd fds[] = {{master_, POLLIN, 0}, {signals, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return SystemError("poll");
    }
    if (fds[1].revents & POLLIN) return std::nullopt;
    if ((fds[0].revents & POLLIN) && DrainInput(master_)) break;
  }

  struct Write {
    long long ns;
    std::string frame;
    bool whole;
  };
  std::vector<Write> log;
  log.reserve(static_cast<std::size_t>(std::min(*options_.streamReplies, 1'000'000LL)));
  const long long period = FramePeriod(options_.pump.baud).count();
  const long long start = Nanoseconds(MonotonicNow());
  bool stopped = false;
  for (long long i = 0; i < *options_.streamReplies && !stopped; ++i) {
    SleepUntil(Timespec(start + i * period));
    const std::string frame = StreamReply(options_.pump.address, i);
    const long long writtenAt = Nanoseconds(MonotonicNow());
    ssize_t written;
    do {
      written = ::write(master_, frame.data(), frame.size());
    } while (written < 0 && errno == EINTR);
    log.push_back({writtenAt, frame, written == static_cast<ssize_t>(frame.size())});
    DrainInput(master_);
    stopped = StopAsked(signals);
  }

  if (!options_.writeLog.empty()) {
    std::ofstream file(options_.writeLog);
    for (const Write& w : log)
      file << w.ns << ' ' << w.frame << (w.whole ? "" : " dropped") << '\n';
    if (!file) return "cannot write " + options_.writeLog;
  }
  // The line stays up until stopped, so the console does not see a hang-up.
  while (!stopped) {
    pollfd fds[] = {{master_, POLLIN, 0}, {signals, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 && errno != EINTR) return SystemError("poll");
    if (fds[1].revents & POLLIN) break;
    if (fds[0].revents & POLLIN) DrainInput(master_);
  }
  return std::nullopt;
}

}  // namespace pump::sim
