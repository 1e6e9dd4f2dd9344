// A pseudo-terminal for the console whose far end the test relays to
// pump-sim's line, so the test sees every write the console makes, and can
// slip garbage in between the pump's replies.
#pragma once

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/pump_sim_process.h"

namespace pump::testing {

class LineTap {
 public:
  explicit LineTap(const std::string& pumpDevice) : pump_(pumpDevice) {
    int slave = -1;
    char name[256] = {};
    // Raw from the start, as a serial line is: a new pseudo-terminal echoes
    // what comes in until someone opens it raw, and the echo would look like
    // bytes the console wrote.
    termios raw{};
    ::cfmakeraw(&raw);
    if (::openpty(&master_, &slave, name, &raw, nullptr) != 0) return;
    ::close(slave);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    consolePath_ = name;
  }
  ~LineTap() {
    if (master_ >= 0) ::close(master_);
  }
  LineTap(const LineTap&) = delete;
  LineTap& operator=(const LineTap&) = delete;

  bool ok() const { return master_ >= 0 && pump_.isOpen(); }
  // The device the console opens.
  const std::string& consolePath() const { return consolePath_; }
  // Each read() of what the console wrote, in order. Reads are taken every few
  // milliseconds, far oftener than the console writes, so one read is one write.
  const std::vector<std::string>& consoleWrites() const { return consoleWrites_; }
  // Everything the pump sent, noise included.
  const std::string& fromPump() const { return fromPump_; }

  // Sends bytes to the console as if the pump had; only between the pump's
  // writes, so no reply of the pump is cut in two.
  void inject(std::string_view bytes) { ToConsole(bytes); }

  // Runs the event loop and the relay until the condition holds or time is up.
  bool relayUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (true) {
      relayOnce();
      if (condition()) return true;
      if (clock.elapsed() >= timeoutMs) return false;
      QTest::qWait(5);
    }
  }
  void relayFor(int ms) {
    relayUntil([] { return false; }, ms);
  }

 private:
  void relayOnce() {
    char buffer[512];
    ssize_t n = 0;
    while ((n = ::read(master_, buffer, sizeof buffer)) > 0) {
      const std::string written(buffer, static_cast<std::size_t>(n));
      consoleWrites_.push_back(written);
      pump_.send(written);
    }
    for (const std::string& chunk : pump_.readChunks(0)) {
      fromPump_ += chunk;
      ToConsole(chunk);
    }
  }
  void ToConsole(std::string_view bytes) {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  RawLine pump_;
  int master_ = -1;
  std::string consolePath_;
  std::vector<std::string> consoleWrites_;
  std::string fromPump_;
};

}  // namespace pump::testing
