// Logs that are not clean: rows skipped and named, files refused, none of
// it waited on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>

#include "report/run_figures.h"
#include "tests/report/log_files.h"

namespace pump::report {
namespace {

using testing::LogFolder;
using testing::ReadingLine;

std::string Sha256Sum(const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(("sha256sum " + path).c_str(), "r"), ::pclose);
  char digest[65] = {};
  if (!pipe || std::fread(digest, 1, 64, pipe.get()) != 64) return "sha256sum failed";
  return digest;
}

TEST(HostileLog, CutDamagedAndEarlierRowsAreSkippedCountedAndNamedByLine) {
  LogFolder folder;
  std::string rows = ReadingLine(0, "1.0") + ReadingLine(1000, "1.0");
  rows += ReadingLine(2000, "1.0").substr(0, 30) + "\r\n";       // line 4: cut short
  rows += ReadingLine(3000, "1.0").replace(40, 3, "\0\0\0", 3);  // line 5: NUL bytes
  rows += ReadingLine(4000, "1.0");
  rows += ReadingLine(500, "9.0");  // line 7: earlier than line 6
  rows += ReadingLine(5000, "1.0");
  rows += ReadingLine(6000, "1.0").substr(0, 50);  // line 9: the last, unfinished
  const auto result = FiguresOfLog(folder.write("dirty.csv", rows));
  ASSERT_EQ(result.reading.error, "");
  EXPECT_EQ(result.figures.readings, 4u);
  EXPECT_FLOAT_EQ(result.figures.pressureMax, 1.0f);
  EXPECT_EQ(result.reading.skippedRows, 4u);
  ASSERT_EQ(result.reading.skippedWhy.size(), 4u);
  EXPECT_EQ(result.reading.skippedWhy[0].rfind("第 4 行：", 0), 0u) << result.reading.skippedWhy[0];
  EXPECT_EQ(result.reading.skippedWhy[1].rfind("第 5 行：", 0), 0u) << result.reading.skippedWhy[1];
  EXPECT_EQ(result.reading.skippedWhy[2], "第 7 行：时间早于上一行");
  EXPECT_EQ(result.reading.skippedWhy[3].rfind("第 9 行：", 0), 0u) << result.reading.skippedWhy[3];
}

TEST(HostileLog, TheDigestIsThatOfTheWholeFile) {
  LogFolder folder;
  const std::string path = folder.write("plain.csv", ReadingLine(0, "1.0") + "half a row");
  EXPECT_EQ(FiguresOfLog(path).reading.sha256, Sha256Sum(path));
}

TEST(HostileLog, AFifoIsRefusedWithoutWaitingForAWriter) {
  LogFolder folder;
  const std::string path = folder.path("fifo.csv");
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
  const auto result = FiguresOfLog(path);
  EXPECT_NE(result.reading.error.find("不是普通文件"), std::string::npos) << result.reading.error;
}

TEST(HostileLog, ATwoGigabyteFileOfNulBytesIsRefusedAtOnce) {
  LogFolder folder;
  const std::string path = folder.path("sparse.csv");
  std::ofstream(path).flush();
  ASSERT_EQ(::truncate(path.c_str(), 2LL << 30), 0);
  const auto started = std::chrono::steady_clock::now();
  const auto result = FiguresOfLog(path);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_NE(result.reading.error.find("64 KB"), std::string::npos) << result.reading.error;
}

TEST(HostileLog, AHeaderFollowedByGigabytesWithNoLineEndIsRefusedAtOnce) {
  LogFolder folder;
  const std::string path = folder.write("tail.csv", ReadingLine(0, "1.0"));
  ASSERT_EQ(::truncate(path.c_str(), 2LL << 30), 0);
  const auto result = FiguresOfLog(path);
  EXPECT_NE(result.reading.error.find("第 3 行"), std::string::npos) << result.reading.error;
}

TEST(HostileLog, AFileThatIsNoRunLogIsRefusedAndAnEmptyOneToo) {
  LogFolder folder;
  std::ofstream(folder.path("other.csv")) << "a,b,c\r\n1,2,3\r\n";
  std::ofstream(folder.path("empty.csv")).flush();
  EXPECT_NE(FiguresOfLog(folder.path("other.csv")).reading.error, "");
  EXPECT_NE(FiguresOfLog(folder.path("empty.csv")).reading.error, "");
  EXPECT_NE(FiguresOfLog(folder.path("missing.csv")).reading.error, "");
}

}  // namespace
}  // namespace pump::report
