#include <gtest/gtest.h>

#include "tests/support/console_harness.h"

namespace pump {
namespace {

using testing::ConsoleHarness;

constexpr const char* kSaved = "当前压力数值以存储";
constexpr const char* kSaveTitle = "存储数据";

// Notes what the record file held at the moment each message box appeared.
struct FileWatchingDialogs : testing::ScriptedDialogs {
  FileWatchingDialogs(testing::MemoryFiles& files, std::string path)
      : files_(files), path_(std::move(path)) {}
  void showMessage(const std::string& prompt, const std::string& title) override {
    ScriptedDialogs::showMessage(prompt, title);
    auto it = files_.files.find(path_);
    fileWhenShown.push_back(it == files_.files.end() ? "<none>" : it->second);
  }
  std::vector<std::string> fileWhenShown;

 private:
  testing::MemoryFiles& files_;
  std::string path_;
};

TEST(Save, EmptyRecordReplacesTheFileWithZeroBytesBeforeTheConfirmation) {
  ConsoleHarness f(ConsoleHarness::Deferred{});
  FileWatchingDialogs dialogs(f.files, "rec.txt");
  f.build({.dialogs = &dialogs, .recordPath = "rec.txt"});
  f.files.files["rec.txt"] = "old";
  f.window->saveRecord();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].prompt, kSaved);
  EXPECT_EQ(dialogs.messages()[0].title, kSaveTitle);
  EXPECT_EQ(dialogs.fileWhenShown[0], "") << "the file is complete when the box appears";
}

TEST(Save, AFileThatCannotBeWrittenIsReportedWithItsReasonAndNotConfirmed) {
  ConsoleHarness f({.recordPath = "/nowhere/mytext.txt"});
  f.files.files["/nowhere/mytext.txt"] = "previous record";
  f.files.failing["/nowhere/mytext.txt"] = {false, "Read-only file system"};
  f.window->saveRecord();
  ASSERT_EQ(f.dialogs.messages().size(), 1u);
  const auto box = f.dialogs.messages()[0];
  EXPECT_EQ(box.prompt, "记录文件无法写入：/nowhere/mytext.txt\nRead-only file system");
  EXPECT_EQ(f.files.files.at("/nowhere/mytext.txt"), "previous record");
  EXPECT_EQ(f.app.ends, 0) << "a failed save does not end the program";
}

TEST(Save, AFullDiskIsReportedInChineseAsAFullDisk) {
  ConsoleHarness f({.recordPath = "/nowhere/mytext.txt"});
  f.files.failing["/nowhere/mytext.txt"] = {false, "No space left on device",
                                            FileFailure::DiskFull};
  f.window->saveRecord();
  ASSERT_EQ(f.dialogs.messages().size(), 1u);
  EXPECT_EQ(f.dialogs.messages()[0].prompt, "记录文件无法写入：/nowhere/mytext.txt\n磁盘空间已满");
}

TEST(Print, CancelPrintsNothingAndShowsNothing) {
  ConsoleHarness f;
  f.printer.dialogAnswer.reset();
  f.window->printTestPage();
  EXPECT_EQ(f.printer.dialogsShown, 1);
  EXPECT_TRUE(f.printer.jobs.empty());
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(Print, ThreeCopiesAreThreeSeparateOnePageJobs) {
  ConsoleHarness f;
  f.printer.dialogAnswer = 3;
  f.window->printTestPage();
  ASSERT_EQ(f.printer.jobs.size(), 3u);
  for (const auto& job : f.printer.jobs) EXPECT_EQ(job, std::vector<std::string>{"打印测试"});
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(Print, ACopyCountOfZeroOrLessPrintsNothing) {
  ConsoleHarness f;
  for (int copies : {0, -1, -32768}) {
    f.printer.dialogAnswer = copies;
    f.window->printTestPage();
  }
  EXPECT_EQ(f.printer.dialogsShown, 3);
  EXPECT_TRUE(f.printer.jobs.empty());
}

TEST(Print, APrinterFailureEndsTheHandlerSilently) {
  ConsoleHarness f;
  f.printer.dialogAnswer = 2;
  f.printer.failPrinting = true;
  f.window->printTestPage();
  EXPECT_TRUE(f.printer.jobs.empty());
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_EQ(f.app.ends, 0);
}

}  // namespace
}  // namespace pump
