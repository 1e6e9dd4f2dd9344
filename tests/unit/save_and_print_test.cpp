#include <gtest/gtest.h>

#include "tests/support/form1_fixture.h"

namespace pump {
namespace {

using testing::Form1Fixture;

constexpr const char* kSaved = "当前压力数值以存储";
constexpr const char* kSaveTitle = "存储数据";

// Notes what the record file held at the moment each message box appeared.
struct FileWatchingDialogs : testing::ScriptedDialogs {
  FileWatchingDialogs(testing::MemoryFiles& files, std::string path)
      : files_(files), path_(std::move(path)) {}
  void MsgBox(const std::string& prompt, const std::string& title) override {
    ScriptedDialogs::MsgBox(prompt, title);
    auto it = files_.files.find(path_);
    fileWhenShown.push_back(it == files_.files.end() ? "<none>" : it->second);
  }
  std::vector<std::string> fileWhenShown;

 private:
  testing::MemoryFiles& files_;
  std::string path_;
};

TEST(Save, EmptyRecordReplacesTheFileWithZeroBytesBeforeTheConfirmation) {
  testing::MemoryFiles files;
  FileWatchingDialogs dialogs(files, "rec.txt");
  testing::ScriptedClock clock;
  testing::ManualTimer timer1{clock}, timer2{clock};
  testing::RecordingSerialPort serial;
  testing::RecordingCanvas canvas;
  testing::RecordingPrinter printer;
  testing::CountingApp app;
  testing::CountingPopup popup;
  testing::CountingWindow viewer;
  files.files["rec.txt"] = "old";
  console::Form1 form(
      {serial, timer1, timer2, dialogs, canvas, printer, files, app, popup, viewer, "rec.txt"});
  form.Form_Load();
  form.save_Click();
  ASSERT_EQ(dialogs.messages().size(), 1u);
  EXPECT_EQ(dialogs.messages()[0].prompt, kSaved);
  EXPECT_EQ(dialogs.messages()[0].title, kSaveTitle);
  EXPECT_EQ(dialogs.fileWhenShown[0], "") << "the file is complete when the box appears";
}

TEST(Save, AFileThatCannotBeWrittenIsReportedWithItsReasonAndNotConfirmed) {
  Form1Fixture f("/nowhere/mytext.txt");
  f.files.files["/nowhere/mytext.txt"] = "previous record";
  f.files.failing["/nowhere/mytext.txt"] = {false, "Read-only file system"};
  f.form->save_Click();
  ASSERT_EQ(f.dialogs.messages().size(), 1u);
  const auto box = f.dialogs.messages()[0];
  EXPECT_EQ(box.prompt, "记录文件无法写入：/nowhere/mytext.txt\nRead-only file system");
  EXPECT_EQ(f.files.files.at("/nowhere/mytext.txt"), "previous record");
  EXPECT_EQ(f.app.ends, 0) << "a failed save does not end the program";
}

TEST(Save, AFullDiskIsReportedInChineseAsAFullDisk) {
  Form1Fixture f("/nowhere/mytext.txt");
  f.files.failing["/nowhere/mytext.txt"] = {false, "No space left on device",
                                            FileFailure::DiskFull};
  f.form->save_Click();
  ASSERT_EQ(f.dialogs.messages().size(), 1u);
  EXPECT_EQ(f.dialogs.messages()[0].prompt, "记录文件无法写入：/nowhere/mytext.txt\n磁盘空间已满");
}

TEST(Print, CancelPrintsNothingAndShowsNothing) {
  Form1Fixture f;
  f.printer.dialogAnswer.reset();
  f.form->print_Click();
  EXPECT_EQ(f.printer.dialogsShown, 1);
  EXPECT_TRUE(f.printer.jobs.empty());
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(Print, ThreeCopiesAreThreeSeparateOnePageJobs) {
  Form1Fixture f;
  f.printer.dialogAnswer = 3;
  f.form->print_Click();
  ASSERT_EQ(f.printer.jobs.size(), 3u);
  for (const auto& job : f.printer.jobs) EXPECT_EQ(job, std::vector<std::string>{"打印测试"});
  EXPECT_TRUE(f.dialogs.shown.empty());
}

TEST(Print, ACopyCountOfZeroOrLessPrintsNothing) {
  Form1Fixture f;
  for (int copies : {0, -1, -32768}) {
    f.printer.dialogAnswer = copies;
    f.form->print_Click();
  }
  EXPECT_EQ(f.printer.dialogsShown, 3);
  EXPECT_TRUE(f.printer.jobs.empty());
}

TEST(Print, APrinterFailureEndsTheHandlerSilently) {
  Form1Fixture f;
  f.printer.dialogAnswer = 2;
  f.printer.failPrinting = true;
  f.form->print_Click();
  EXPECT_TRUE(f.printer.jobs.empty());
  EXPECT_TRUE(f.dialogs.shown.empty());
  EXPECT_EQ(f.app.ends, 0);
}

}  // namespace
}  // namespace pump
