// The record viewer on files that are not what a save writes: a FIFO nobody
// writes to, a link to an endless device, a huge file without line breaks.
// The window must answer at once, with its memory bounded.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "records/record_file.h"
#include "tests/support/viewer_window.h"

namespace pump::app {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kRefused = "记录文件不是普通文件，无法查看：";

// A kibibyte figure from /proc/self/status ("VmRSS", "VmHWM").
long StatusKib(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
  }
  return -1;
}

// How far the process's resident memory rose above where it was while
// `action` ran (the peak is reset first).
long PeakRiseKib(const std::function<void()>& action) {
  std::ofstream("/proc/self/clear_refs") << "5";
  const long before = StatusKib("VmRSS");
  action();
  return StatusKib("VmHWM") - before;
}

struct Viewer : testing::ViewerWindow {
  // Presses the load button; the time it took.
  Clock::duration load() {
    const auto start = Clock::now();
    button("Command2").click();
    return Clock::now() - start;
  }
  void expectRefused() {
    ASSERT_EQ(dialogs.messages().size(), 1U);
    EXPECT_EQ(dialogs.messages()[0].prompt, kRefused + path);
    EXPECT_EQ(text1().text(), QStringLiteral("Text1")) << "the box keeps what it showed";
  }
};

TEST(RecordViewerOnHostileFiles, AFifoNobodyWritesToIsRefusedAtOnce) {
  Viewer v;
  ASSERT_EQ(::mkfifo(v.path.c_str(), 0600), 0);
  // Should the viewer block on the FIFO, a writer turns up after five
  // seconds, so the test fails on its time instead of hanging.
  std::atomic<bool> loaded{false};
  std::thread rescue([&loaded, path = v.path] {
    const auto giveUp = Clock::now() + std::chrono::seconds(5);
    while (!loaded && Clock::now() < giveUp)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) ::close(fd);
  });
  const auto took = v.load();
  loaded = true;
  rescue.join();
  EXPECT_LT(took, std::chrono::milliseconds(500));
  v.expectRefused();
}

TEST(RecordViewerOnHostileFiles, ALinkToAnEndlessDeviceIsRefusedWithoutReadingIt) {
  Viewer v;
  std::filesystem::create_symlink("/dev/zero", v.path);
  Clock::duration took{};
  const long rise = PeakRiseKib([&] { took = v.load(); });
  EXPECT_LT(took, std::chrono::milliseconds(500));
  EXPECT_LT(rise, 8 * 1024) << "KiB";
  v.expectRefused();
}

TEST(RecordViewerOnHostileFiles, AGibibyteWithoutLineBreaksLoadsInBoundedTimeAndMemory) {
  Viewer v;
  {
    const int fd = ::open(v.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    constexpr off_t kGibibyte = off_t{1} << 30;
    ASSERT_EQ(::ftruncate(fd, kGibibyte - 4), 0);  // a hole: no line breaks anywhere
    ASSERT_EQ(::pwrite(fd, "last", 4, kGibibyte - 4), 4);
    ::close(fd);
  }
  Clock::duration took{};
  const long rise = PeakRiseKib([&] { took = v.load(); });
  EXPECT_LT(took, std::chrono::milliseconds(500));
  EXPECT_LT(rise, 8 * 1024) << "KiB";
  EXPECT_TRUE(v.dialogs.shown.empty());
  // The box holds the whole of the capped line: its own limit and the cap agree.
  EXPECT_EQ(v.view.viewer().recordLine.text().size(), records::kMaxLineBytes);
  EXPECT_EQ(static_cast<std::size_t>(v.text1().text().size()), records::kMaxLineBytes);
  EXPECT_TRUE(v.text1().text().endsWith(QStringLiteral("last")));
}

}  // namespace
}  // namespace pump::app
