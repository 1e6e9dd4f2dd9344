// The log folder on a full and on a read-only memory disk: appending never
// holds the caller, the failure is told once, retries go on, and the lines
// kept reach the file in order once the disk takes them again.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/posix/background_append_log.h"
#include "runlog/log_failure_text.h"
#include "tests/runlog/log_test_support.h"
#include "tests/support/small_disk.h"

namespace pump::posix {
namespace {

using namespace std::chrono;
using runlog::testing::Lines;
using runlog::testing::ReadFile;
using runlog::testing::ScratchFolder;
using runlog::testing::WaitUntil;

// What the log told, from its own thread.
struct Told {
  std::mutex mutex;
  std::vector<AppendFailure> failures;
  std::vector<std::uint64_t> resumes;

  AppendLogListener listener() {
    return {[this](const AppendFailure& f) {
              std::lock_guard lock(mutex);
              failures.push_back(f);
            },
            [this](std::uint64_t dropped) {
              std::lock_guard lock(mutex);
              resumes.push_back(dropped);
            }};
  }
  std::size_t failureCount() {
    std::lock_guard lock(mutex);
    return failures.size();
  }
  std::size_t resumeCount() {
    std::lock_guard lock(mutex);
    return resumes.size();
  }
};

std::string Numbered(int i) { return "row " + std::to_string(i) + ",1.5,RUN\r\n"; }

// A 64 KiB memory disk of its own, gone at the end of the test.
class SmallDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!memory_.mounted()) GTEST_SKIP() << memory_.why();
  }
  // Appends lines and returns the longest any one append took.
  static steady_clock::duration AppendTimed(AppendOnlyLog& log, int from, int to) {
    steady_clock::duration longest{};
    for (int i = from; i < to; ++i) {
      const auto start = steady_clock::now();
      log.append(Numbered(i));
      longest = std::max(longest, steady_clock::now() - start);
    }
    return longest;
  }
  static void ExpectRowsInOrder(const std::string& bytes, int count) {
    const auto lines = Lines(bytes);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(count) + 1);
    EXPECT_EQ(lines[0], "header");
    for (int i = 0; i < count; ++i) {
      ASSERT_EQ(lines[i + 1] + "\r\n", Numbered(i)) << "row " << i;
    }
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  }

  ScratchFolder scratch_;
  pump::testing::SmallDisk memory_{scratch_.path() + "/disk"};
  const std::string disk_ = memory_.folder();
  Told told_;
  const BackgroundLogOptions options_{"", 50ms, 20ms};
  std::string folder() const { return disk_ + "/pump-logs"; }
};

TEST_F(SmallDisk, AFullDiskIsToldOnceAndTheWaitingRowsFollowWhenSpaceComesBack) {
  memory_.fill("filler");
  BackgroundLogOptions options = options_;
  options.folder = disk_;
  BackgroundAppendLog log(options, told_.listener());
  log.startFile("run.csv", "header\r\n");
  const auto longest = AppendTimed(log, 0, 2000);
  EXPECT_LT(longest, 20ms) << "an append waited for the disk";
  std::this_thread::sleep_for(400ms);  // several retries, all failing
  ASSERT_EQ(told_.failureCount(), 1U);
  EXPECT_EQ(told_.failures[0].error, ENOSPC);
  EXPECT_EQ(runlog::FailureStatusText(told_.failures[0]), "● 日志无法写入: 磁盘已满");

  std::filesystem::remove(disk_ + "/filler");
  ASSERT_TRUE(WaitUntil([&] { return told_.resumeCount() == 1; }, 2000ms));
  EXPECT_EQ(told_.resumes[0], 0U);
  AppendTimed(log, 2000, 2100);
  ASSERT_TRUE(
      WaitUntil([&] { return Lines(ReadFile(disk_ + "/run.csv")).size() == 2101; }, 2000ms));
  ExpectRowsInOrder(ReadFile(disk_ + "/run.csv"), 2100);
  EXPECT_EQ(told_.failureCount(), 1U);
}

TEST_F(SmallDisk, AReadOnlyDiskIsToldOnceAndTheRowsFollowWhenItIsWritableAgain) {
  ASSERT_EQ(memory_.setReadOnly(true), 0);
  BackgroundLogOptions options = options_;
  options.folder = folder();
  BackgroundAppendLog log(options, told_.listener());
  log.startFile("run.csv", "header\r\n");
  EXPECT_LT(AppendTimed(log, 0, 300), 20ms);
  std::this_thread::sleep_for(300ms);
  ASSERT_EQ(told_.failureCount(), 1U);
  EXPECT_EQ(told_.failures[0].error, EROFS);
  EXPECT_EQ(told_.failures[0].path, folder());
  EXPECT_EQ(runlog::FailureStatusText(told_.failures[0]), "● 日志无法写入: 磁盘只读");

  ASSERT_EQ(memory_.setReadOnly(false), 0);
  ASSERT_TRUE(WaitUntil([&] { return told_.resumeCount() == 1; }, 2000ms));
  ASSERT_TRUE(
      WaitUntil([&] { return Lines(ReadFile(folder() + "/run.csv")).size() == 301; }, 2000ms));
  ExpectRowsInOrder(ReadFile(folder() + "/run.csv"), 300);
}

TEST_F(SmallDisk, RowsBeyondTheBoundAreDroppedNewestFirstAndCountedOnResume) {
  ASSERT_EQ(memory_.setReadOnly(true), 0);
  BackgroundLogOptions options = options_;
  options.folder = folder();
  options.maxWaitingBytes = 10 * Numbered(0).size();  // rows 0..9 are the same length
  BackgroundAppendLog log(options, told_.listener());
  log.startFile("run.csv", "header\r\n");
  AppendTimed(log, 0, 10);
  AppendTimed(log, 10, 25);  // 15 too many
  std::this_thread::sleep_for(200ms);
  ASSERT_EQ(memory_.setReadOnly(false), 0);
  ASSERT_TRUE(WaitUntil([&] { return told_.resumeCount() == 1; }, 2000ms));
  EXPECT_EQ(told_.resumes[0], 15U);
  EXPECT_EQ(runlog::ResumedStatusText(told_.resumes[0]), "● 日志已恢复写入，等待期间丢弃了 15 行");
  ASSERT_TRUE(
      WaitUntil([&] { return Lines(ReadFile(folder() + "/run.csv")).size() == 11; }, 2000ms));
  ExpectRowsInOrder(ReadFile(folder() + "/run.csv"), 10);
}

// Rows waiting together go out in one write; the disk fills part-way through
// it, most likely inside a row. That row is finished, not repeated, once the
// disk has room again.
TEST_F(SmallDisk, ADiskFillingPartWayThroughABatchFinishesTheCutRowAndRepeatsNone) {
  BackgroundLogOptions options = options_;
  options.folder = disk_;
  BackgroundAppendLog log(options, told_.listener());
  log.startFile("run.csv", "header\r\n");
  AppendTimed(log, 0, 4000);  // about 90 KB: more than the disk holds
  ASSERT_TRUE(WaitUntil([&] { return told_.failureCount() == 1; }, 2000ms));
  EXPECT_EQ(told_.failures[0].error, ENOSPC);
  const auto cut = ReadFile(disk_ + "/run.csv");
  EXPECT_GT(cut.size(), 32U * 1024) << "the rows before the disk filled were not written";

  ASSERT_EQ(memory_.resize("256k"), 0);
  ASSERT_TRUE(WaitUntil([&] { return told_.resumeCount() == 1; }, 2000ms));
  ASSERT_TRUE(
      WaitUntil([&] { return Lines(ReadFile(disk_ + "/run.csv")).size() == 4001; }, 2000ms));
  ExpectRowsInOrder(ReadFile(disk_ + "/run.csv"), 4000);
}

}  // namespace
}  // namespace pump::posix
