#include "platform/posix/posix_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>

#include "records/pressure_record.h"
#include "records/record_file.h"

namespace pump::posix {
namespace {

std::string PathIn(const QTemporaryDir& dir, const char* name) {
  return dir.filePath(QString::fromLatin1(name)).toStdString();
}

QByteArray Contents(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
  return file.readAll();
}

// Lowers the largest file this process may write, so a write fails part way
// as on a full disk (works without privileges, unlike a read-only folder).
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = nullptr;
};

TEST(FilesWrite, ReplacesTheFileWithExactlyTheBytesAndLeavesNoTemporaryFile) {
  QTemporaryDir dir;
  const std::string path = PathIn(dir, "mytext.txt");
  PosixFiles files;
  ASSERT_TRUE(files.writeWhole(path, "an older and longer record\r\n").ok);
  const std::string bytes(" 1  2.5 \r\n\0-3 ", 14);
  const FileResult result = files.writeWhole(path, bytes);
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(Contents(path), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"mytext.txt"});
}

TEST(FilesWrite, AnEmptyRecordGivesAZeroByteFile) {
  QTemporaryDir dir;
  const std::string path = PathIn(dir, "mytext.txt");
  PosixFiles files;
  ASSERT_TRUE(files.writeWhole(path, "old").ok);
  ASSERT_TRUE(files.writeWhole(path, "").ok);
  EXPECT_EQ(QFileInfo(QString::fromStdString(path)).size(), 0);
}

TEST(FilesWrite, AFolderThatIsNotAFolderFailsWithAReason) {
  QTemporaryDir dir;
  const std::string notAFolder = PathIn(dir, "plain-file");
  PosixFiles files;
  ASSERT_TRUE(files.writeWhole(notAFolder, "x").ok);
  const FileResult result = files.writeWhole(notAFolder + "/mytext.txt", "1 ");
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(Contents(notAFolder), "x");
}

TEST(FilesWrite, AWriteThatFailsPartWayLeavesThePreviousFileIntact) {
  QTemporaryDir dir;
  const std::string path = PathIn(dir, "mytext.txt");
  PosixFiles files;
  ASSERT_TRUE(files.writeWhole(path, " 1  2  3 ").ok);
  FileResult result;
  {
    FileSizeLimit limit(4096);
    result = files.writeWhole(path, std::string(64 * 1024, '7'));
  }
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(Contents(path), " 1  2  3 ");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"mytext.txt"});
}

TEST(FilesWrite, MakesTheMissingFoldersOnTheWayToTheFile) {
  QTemporaryDir dir;
  const std::string path = PathIn(dir, "Documents/records/mytext.txt");
  PosixFiles files;
  const FileResult result = files.writeWhole(path, " 4.5 ");
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(Contents(path), " 4.5 ");
}

TEST(FilesWrite, ALinkIsFollowedAndTheFileKeepsItsPermissions) {
  QTemporaryDir dir;
  const std::string real = PathIn(dir, "real.txt");
  const std::string link = PathIn(dir, "mytext.txt");
  PosixFiles files;
  ASSERT_TRUE(files.writeWhole(real, "old").ok);
  ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
  ASSERT_TRUE(files.writeWhole(link, "new").ok);
  EXPECT_TRUE(QFileInfo(QString::fromStdString(link)).isSymLink());
  EXPECT_EQ(Contents(real), "new");
  struct stat status {};
  ASSERT_EQ(::stat(real.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 0777, 0640U);
}

TEST(FilesRead, AMissingFileOrAFolderFailsWithAReason) {
  QTemporaryDir dir;
  PosixFiles files;
  std::string bytes = "untouched";
  const FileResult missing = files.readTail(PathIn(dir, "absent.txt"), 100, &bytes);
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("No such file"), std::string::npos) << missing.error;
  const FileResult folder = files.readTail(dir.path().toStdString(), 100, &bytes);
  EXPECT_FALSE(folder.ok);
  EXPECT_EQ(folder.failure, FileFailure::NotARegularFile);
  EXPECT_EQ(bytes, "untouched");
}

TEST(FilesRoundTrip, AMillionSampleRecordSavesAndLoadsItsLastLineQuickly) {
  QTemporaryDir dir;
  const std::string path = PathIn(dir, "mytext.txt");
  std::vector<double> samples;
  for (int i = 1; i <= records::PressureRecord::kCapacity; ++i) samples.push_back(i * 0.01 - 50);
  PosixFiles files;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(files.writeWhole(path, records::FormatRecord(samples, ".")).ok);
  const auto saved = std::chrono::steady_clock::now();
  std::string bytes;
  ASSERT_TRUE(files.readTail(path, records::kLastLineTailBytes, &bytes).ok);
  EXPECT_EQ(records::LastLineOfTail(bytes), " 9949.96  9949.97  9949.98  9949.99  9950 ");
  const auto loaded = std::chrono::steady_clock::now();
  EXPECT_LT(loaded - saved, std::chrono::seconds(1));
  EXPECT_LT(saved - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace pump::posix
