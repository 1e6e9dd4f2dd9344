#include "platform/qt/qt_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>

#include "records/pressure_record.h"
#include "records/record_file.h"

namespace pump::qt {
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

TEST(QtFilesWrite, ReplacesTheFileWithExactlyTheBytesAndLeavesNoTemporaryFile) {
  QTemporaryDir dir;
  const std::string path = PathIn(dir, "mytext.txt");
  QtFiles files;
  ASSERT_TRUE(files.writeWhole(path, "an older and longer record\r\n").ok);
  const std::string bytes(" 1  2.5 \r\n\0-3 ", 14);
  const FileResult result = files.writeWhole(path, bytes);
  EXPECT_TRUE(result.ok) << result.error;
  EXPECT_EQ(Contents(path), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"mytext.txt"});
}

TEST(QtFilesWrite, AnEmptyRecordGivesAZeroByteFile) {
  QTemporaryDir dir;
  const std::string path = PathIn(dir, "mytext.txt");
  QtFiles files;
  ASSERT_TRUE(files.writeWhole(path, "old").ok);
  ASSERT_TRUE(files.writeWhole(path, "").ok);
  EXPECT_EQ(QFileInfo(QString::fromStdString(path)).size(), 0);
}

TEST(QtFilesWrite, AFolderThatIsNotAFolderFailsWithAReason) {
  QTemporaryDir dir;
  const std::string notAFolder = PathIn(dir, "plain-file");
  QtFiles files;
  ASSERT_TRUE(files.writeWhole(notAFolder, "x").ok);
  const FileResult result = files.writeWhole(notAFolder + "/mytext.txt", "1 ");
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(Contents(notAFolder), "x");
}

TEST(QtFilesWrite, AWriteThatFailsPartWayLeavesThePreviousFileIntact) {
  QTemporaryDir dir;
  const std::string path = PathIn(dir, "mytext.txt");
  QtFiles files;
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

TEST(QtFilesRead, AMissingFileOrAFolderFailsWithAReason) {
  QTemporaryDir dir;
  QtFiles files;
  std::string bytes = "untouched";
  const FileResult missing = files.readWhole(PathIn(dir, "absent.txt"), &bytes);
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("No such file"), std::string::npos) << missing.error;
  EXPECT_FALSE(files.readWhole(dir.path().toStdString(), &bytes).ok);
  EXPECT_EQ(bytes, "untouched");
}

TEST(QtFilesRoundTrip, AMillionSampleRecordSavesAndLoadsItsLastLineQuickly) {
  QTemporaryDir dir;
  const std::string path = PathIn(dir, "mytext.txt");
  std::vector<double> samples;
  for (int i = 1; i <= records::PressureRecord::kCapacity; ++i) samples.push_back(i * 0.01 - 50);
  QtFiles files;
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(files.writeWhole(path, records::FormatRecord(samples, ".")).ok);
  const auto saved = std::chrono::steady_clock::now();
  std::string bytes;
  ASSERT_TRUE(files.readWhole(path, &bytes).ok);
  EXPECT_EQ(records::LastLine(bytes), " 9949.96  9949.97  9949.98  9949.99  9950 ");
  const auto loaded = std::chrono::steady_clock::now();
  EXPECT_LT(loaded - saved, std::chrono::seconds(1));
  EXPECT_LT(saved - start, std::chrono::seconds(2));
}

}  // namespace
}  // namespace pump::qt
