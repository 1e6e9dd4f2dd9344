// The background log on a real disk: when files and folders appear, what is
// never overwritten, and how soon lines reach the kernel.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "platform/posix/background_append_log.h"
#include "runlog/log_failure_text.h"
#include "tests/runlog/log_test_support.h"

namespace pump::posix {
namespace {

using namespace std::chrono;
using runlog::testing::FileNames;
using runlog::testing::ReadFile;
using runlog::testing::ScratchFolder;
using runlog::testing::WaitUntil;
namespace fs = std::filesystem;

TEST(BackgroundLog, FolderAndFileAppearOnlyWithTheFirstLineAndLinesArriveWithinASecond) {
  ScratchFolder scratch;
  const std::string folder = scratch.path() + "/Documents/pump-logs";
  BackgroundAppendLog log({folder}, {});
  log.startFile("run.csv", "h\r\n");
  std::this_thread::sleep_for(200ms);
  EXPECT_FALSE(fs::exists(scratch.path() + "/Documents")) << "no folder before a line";

  const auto sent = steady_clock::now();
  log.append("one\r\n");
  ASSERT_TRUE(WaitUntil([&] { return ReadFile(folder + "/run.csv") == "h\r\none\r\n"; }, 1000ms));
  EXPECT_LT(steady_clock::now() - sent, 1s);
  log.append("two\r\n");
  EXPECT_TRUE(
      WaitUntil([&] { return ReadFile(folder + "/run.csv") == "h\r\none\r\ntwo\r\n"; }, 1000ms))
      << "the file stays open and is not flushed only at the end";
}

TEST(BackgroundLog, ATakenNameGetsANumberAndTheFileThereIsLeftAlone) {
  ScratchFolder scratch;
  std::ofstream(scratch.path() + "/run.csv") << "someone else's\n";
  {
    BackgroundAppendLog log({scratch.path()}, {});
    for (const char* line : {"a\r\n", "b\r\n"}) {
      log.startFile("run.csv", "h\r\n");
      log.append(line);
      log.endFile();
    }
    log.startFile("noext", "h\r\n");
    log.append("c\r\n");
    log.startFile("noext", "h\r\n");
    log.append("d\r\n");
  }
  EXPECT_EQ(FileNames(scratch.path()),
            (std::vector<std::string>{"noext", "noext-2", "run-2.csv", "run-3.csv", "run.csv"}));
  EXPECT_EQ(ReadFile(scratch.path() + "/run.csv"), "someone else's\n");
  EXPECT_EQ(ReadFile(scratch.path() + "/run-2.csv"), "h\r\na\r\n");
  EXPECT_EQ(ReadFile(scratch.path() + "/run-3.csv"), "h\r\nb\r\n");
  EXPECT_EQ(ReadFile(scratch.path() + "/noext-2"), "h\r\nd\r\n");
}

TEST(BackgroundLog, AFolderRemovedWhileLoggingIsMadeAgainWithANewFile) {
  ScratchFolder scratch;
  const std::string folder = scratch.path() + "/pump-logs";
  int failures = 0;
  BackgroundAppendLog log({folder}, {[&](const AppendFailure&) { ++failures; }, {}});
  log.startFile("run.csv", "h\r\n");
  log.append("before\r\n");
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(folder + "/run.csv"); }, 1000ms));
  std::this_thread::sleep_for(200ms);
  fs::remove_all(folder);
  log.append("after\r\n");
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(folder + "/run.csv") == "h\r\nafter\r\n"; }, 1000ms));
  EXPECT_EQ(failures, 0);
}

// A file named like a folder of the path, at two depths: the cause told is
// that file, not a missing folder.
TEST(BackgroundLog, AFileWhereAFolderShouldBeIsNamedAsTheCause) {
  ScratchFolder scratch;
  std::ofstream(scratch.path() + "/Documents") << "a file";
  std::filesystem::create_directory(scratch.path() + "/other");
  std::ofstream(scratch.path() + "/other/pump-logs") << "a file";
  const struct {
    std::string folder, inTheWay;
  } cases[] = {{scratch.path() + "/Documents/pump-logs", scratch.path() + "/Documents"},
               {scratch.path() + "/other/pump-logs", scratch.path() + "/other/pump-logs"}};
  for (const auto& c : cases) {
    std::mutex mutex;
    std::vector<AppendFailure> failures;
    BackgroundAppendLog log({c.folder}, {[&](const AppendFailure& f) {
                                           std::lock_guard lock(mutex);
                                           failures.push_back(f);
                                         },
                                         {}});
    log.startFile("run.csv", "h\r\n");
    log.append("one\r\n");
    ASSERT_TRUE(WaitUntil(
        [&] {
          std::lock_guard lock(mutex);
          return !failures.empty();
        },
        1000ms));
    std::lock_guard lock(mutex);
    EXPECT_EQ(runlog::FailureStatusText(failures[0]), "● 日志无法写入: 不是文件夹");
    const std::string box = runlog::FailureBoxText(failures[0], 10);
    EXPECT_TRUE(
        box.starts_with("运行日志无法写入：" + c.folder + "\n" + c.inTheWay + " 不是文件夹。\n\n"))
        << box;
    EXPECT_EQ(runlog::FailureEventDetail(failures[0]), "failed not_a_folder " + c.inTheWay);
  }
}

}  // namespace
}  // namespace pump::posix
