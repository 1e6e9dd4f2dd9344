// Saving the record where it cannot go: a full disk, a read-only disk, a
// folder that is a file, a folder the user may not write. The real record
// files, the real line for the readings.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>

#include "tests/gui/as_nobody.h"
#include "tests/gui/real_console.h"
#include "tests/support/pty_pair.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/small_disk.h"

namespace pump {
namespace {

using testing::PtyPair;
using testing::ReadFile;
using testing::RealConsole;
using testing::WaitUntil;

constexpr const char* kSaved = "当前压力数值以存储";

// Readings from a pump on a pseudo-terminal, so the record has something in it.
void TakeReadings(RealConsole& console, PtyPair& pump, int count) {
  if (!testing::MenusReleased(*console.window)) console.open(pump.slavePath());
  const int target = console.window->chart().position() + count;
  std::string replies;
  for (int i = 0; i < count; ++i) replies += "Q00N0" + std::to_string(i % 10) + ".5Y";
  pump.write(replies);
  ASSERT_TRUE(WaitUntil([&] { return console.window->chart().position() == target; }, 3000));
}

// The one box a failed save shows: where, and why, and no confirmation.
void ExpectRefusedSave(const RealConsole& console, const std::string& path,
                       const std::string& why) {
  const auto messages = console.dialogs.messages();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_EQ(messages[0].title, "存储数据");
  EXPECT_EQ(messages[0].prompt.rfind("记录文件无法写入：" + path + "\n", 0), 0U)
      << messages[0].prompt;
  EXPECT_NE(messages[0].prompt.find(why), std::string::npos) << messages[0].prompt;
  EXPECT_EQ(console.app.ends, 0);
}

// A 64 KiB memory disk of its own, gone at the end of the test.
class SmallDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(base_.isValid());
    if (!memory_.mounted()) GTEST_SKIP() << memory_.why();
    ASSERT_TRUE(pump_.ok());
  }
  // A first save that works, and the bytes it left.
  std::string SaveOnce(RealConsole& console) {
    TakeReadings(console, pump_, 5);
    console.window->saveRecord();
    EXPECT_EQ(console.dialogs.messages().back().prompt, kSaved);
    console.dialogs.shown.clear();
    return ReadFile(path());
  }
  std::string path() const { return disk_ + "/mytext.txt"; }

  QTemporaryDir base_;
  testing::SmallDisk memory_{base_.path().toStdString() + "/disk"};
  const std::string disk_ = memory_.folder();
  PtyPair pump_;
};

TEST_F(SmallDisk, AFullDiskRefusesTheSaveWithItsReasonAndKeepsTheOldRecord) {
  RealConsole console(path());
  const std::string old = SaveOnce(console);
  ASSERT_FALSE(old.empty());
  memory_.fill("filler");
  TakeReadings(console, pump_, 20);
  console.window->saveRecord();
  ExpectRefusedSave(console, path(), "磁盘空间已满");
  EXPECT_EQ(ReadFile(path()), old);
  EXPECT_TRUE(testing::MenusReleased(*console.window)) << "the line is untouched by a failed save";

  // Room again: the same record now saves.
  std::filesystem::remove(disk_ + "/filler");
  console.dialogs.shown.clear();
  console.window->saveRecord();
  ASSERT_EQ(console.dialogs.messages().size(), 1U);
  EXPECT_EQ(console.dialogs.messages()[0].prompt, kSaved);
  EXPECT_GT(ReadFile(path()).size(), old.size());
}

TEST_F(SmallDisk, AReadOnlyDiskRefusesTheSaveWithItsReasonAndKeepsTheOldRecord) {
  RealConsole console(path());
  const std::string old = SaveOnce(console);
  ASSERT_EQ(memory_.setReadOnly(true), 0);
  TakeReadings(console, pump_, 3);
  console.window->saveRecord();
  ExpectRefusedSave(console, path(), "Read-only file system");
  EXPECT_EQ(ReadFile(path()), old);
}

TEST(RecordSaveFaults, AFolderThatIsAFileRefusesTheSaveAndLeavesTheFileAlone) {
  QTemporaryDir base;
  const std::string notAFolder = base.path().toStdString() + "/Documents";
  std::ofstream(notAFolder) << "not a folder";
  const std::string path = notAFolder + "/mytext.txt";
  RealConsole console(path);
  console.window->saveRecord();
  const auto messages = console.dialogs.messages();
  ASSERT_EQ(messages.size(), 1U);
  EXPECT_EQ(messages[0].prompt.rfind("记录文件无法写入：" + path + "\n", 0), 0U)
      << messages[0].prompt;
  EXPECT_GT(messages[0].prompt.size(), ("记录文件无法写入：" + path + "\n").size())
      << "no reason given";
  EXPECT_EQ(ReadFile(notAFolder), "not a folder");
}

TEST(RecordSaveFaults, AFolderTheUserMayNotWriteRefusesTheSaveAndKeepsTheOldRecord) {
  QTemporaryDir base;
  const std::string folder = base.path().toStdString() + "/Documents";
  std::filesystem::create_directory(folder);
  const std::string path = folder + "/mytext.txt";
  std::ofstream(path, std::ios::binary) << "0.5\r\n1.5\r\n";
  // Others may look in but not add a file; the record itself they could
  // overwrite, so only the folder stands in the way of a safe replace.
  ::chmod(base.path().toLocal8Bit().constData(), 0755);
  ::chmod(folder.c_str(), 0755);
  ::chmod(path.c_str(), 0666);

  const auto child =
      testing::RunAsNobody("RecordSaveFaultsAsNobody.DISABLED_SavesIntoAFolderItMayNotWrite", path);
  if (child.status == -1) GTEST_SKIP() << child.output;
  EXPECT_EQ(child.status, 0) << child.output;
  EXPECT_EQ(ReadFile(path), "0.5\r\n1.5\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1)
      << "a temporary file was left behind";
}

// Runs as user nobody, started by the test above.
TEST(RecordSaveFaultsAsNobody, DISABLED_SavesIntoAFolderItMayNotWrite) {
  const std::string path = testing::ChildArgument();
  ASSERT_FALSE(path.empty());
  ASSERT_NE(::geteuid(), 0U);
  RealConsole console(path);
  console.window->saveRecord();
  ExpectRefusedSave(console, path, "Permission denied");
}

}  // namespace
}  // namespace pump
