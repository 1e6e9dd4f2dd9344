// A pseudo-terminal pair standing in for a pump on a serial line: the console
// opens the slave path, the test plays the pump on the master side.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTest>
#include <cerrno>
#include <functional>
#include <string>
#include <string_view>

namespace pump::testing {

class PtyPair {
 public:
  // Keeps a way in on the console's side too, for `fillLine`.
  enum class ConsoleSide { Closed, Kept };

  explicit PtyPair(ConsoleSide consoleSide = ConsoleSide::Closed) {
    int slave = -1;
    char name[256] = {};
    if (::openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
    // The console opens the slave by path; the test keeps only the master,
    // unless it means to fill the line itself.
    if (consoleSide == ConsoleSide::Kept) {
      slave_ = slave;
      ::fcntl(slave_, F_SETFL, ::fcntl(slave_, F_GETFL) | O_NONBLOCK);
    } else {
      ::close(slave);
    }
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = name;
  }
  ~PtyPair() {
    closeMaster();
    if (slave_ >= 0) ::close(slave_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return master_ >= 0 && !slavePath_.empty(); }
  const std::string& slavePath() const { return slavePath_; }

  void write(std::string_view bytes) const {
    ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Writes all of `bytes`, waiting whenever the console has not read enough to
  // make room; false when the time is up first. It touches nothing but the
  // master side, so another thread may run it while the event loop reads.
  bool writeAll(std::string_view bytes, int timeoutMs) const {
    QElapsedTimer clock;
    clock.start();
    while (!bytes.empty()) {
      const ssize_t taken = ::write(master_, bytes.data(), bytes.size());
      if (taken > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(taken));
        continue;
      }
      if (taken < 0 && errno != EAGAIN && errno != EINTR) return false;
      if (clock.elapsed() >= timeoutMs) return false;
      pollfd room{master_, POLLOUT, 0};
      ::poll(&room, 1, 50);
    }
    return true;
  }

  // What the console wrote, gathered until `count` bytes have come or the time is up,
  // while the Qt event loop keeps running.
  std::string read(std::size_t count, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (received_.size() < count && clock.elapsed() < timeoutMs) {
      drain();
      if (received_.size() < count) QTest::qWait(5);
    }
    drain();
    std::string taken = received_.substr(0, std::min(count, received_.size()));
    received_.erase(0, taken.size());
    return taken;
  }

  // The next frame the console wrote other than the status poll, or "" when
  // none came within the time.
  std::string nextCommand(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
      const std::string frame = read(9, static_cast<int>(timeoutMs - clock.elapsed()));
      if (frame.size() == 9 && frame != "Q00F0000Y") return frame;
    }
    return {};
  }

  // The pump has stopped reading, with the line full: filler bytes are
  // written from the console's side until it takes no more, so that the
  // console's next write finds no room. The terminal moves bytes on to the
  // pump's side in the background, making room again for a moment: the fill
  // goes on until the line stays full. Gives the filler's length; each of its
  // bytes is `kFiller`, and the pump reads them first once it reads again.
  // Only for a pair made with the console's side kept.
  static constexpr char kFiller = 'x';
  std::size_t fillLine() const {
    const std::string chunk(4096, kFiller);
    std::size_t filled = 0;
    for (int quietTries = 0; quietTries < 3;) {
      std::size_t size = chunk.size();
      bool took = false;
      while (size > 0) {
        const ssize_t taken = ::write(slave_, chunk.data(), size);
        if (taken > 0) {
          filled += static_cast<std::size_t>(taken);
          took = true;
        } else {
          size /= 2;  // down to single bytes, so the last gap is filled too
        }
      }
      quietTries = took ? 0 : quietTries + 1;
      ::usleep(20'000);
    }
    return filled;
  }

  // The pump goes away: the line's far end is closed.
  void closeMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  void drain() {
    char buffer[256];
    ssize_t n = 0;
    while ((n = ::read(master_, buffer, sizeof buffer)) > 0)
      received_.append(buffer, static_cast<std::size_t>(n));
  }

  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::string received_;
};

// Runs the event loop until the condition holds or the time is up.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() >= timeoutMs) return false;
    QTest::qWait(5);
  }
  return true;
}

}  // namespace pump::testing
