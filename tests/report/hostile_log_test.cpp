// Logs that are not clean: rows skipped and named, files refused, none of
// it waited on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include "report/run_figures.h"
#include "tests/report/log_files.h"

namespace pump::report {
namespace {

using testing::LogFolder;
using testing::ReadingLine;
using testing::WithElapsed;
using testing::WithTimeAt;

std::string Sha256Sum(const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(("sha256sum " + path).c_str(), "r"), ::pclose);
  char digest[65] = {};
  if (!pipe || std::fread(digest, 1, 64, pipe.get()) != 64) return "sha256sum failed";
  return digest;
}

// Readings once a second from 0 s, the one at `at` seconds replaced by `row`.
std::string ReadingsWith(int count, int at, const std::string& row) {
  std::string rows;
  for (int s = 0; s < count; ++s) rows += s == at ? row : ReadingLine(s * 1000, "1.0");
  return rows;
}

// Readings once a second whose time column is half an hour on from `from` seconds.
std::string WallClockSetForwardAt(int from) {
  std::string rows;
  for (int s = 0; s < 10; ++s)
    rows += WithTimeAt(ReadingLine(s * 1000, "1.0"), s * 1000 + (s >= from ? 1'800'000 : 0));
  return rows;
}

struct DirtyLog {
  const char* what;
  std::string rows;
  std::uint64_t readings;
  std::vector<std::string> skipped;  // each skipped row's reason starts so
};

TEST(HostileLog, DamagedRowsAreSkippedCountedAndNamedByLineAndTheRestCounted) {
  std::string mixed = ReadingLine(0, "1.0") + ReadingLine(1000, "1.0");
  mixed += ReadingLine(2000, "1.0").substr(0, 30) + "\r\n";       // line 4: cut short
  mixed += ReadingLine(3000, "1.0").replace(40, 3, "\0\0\0", 3);  // line 5: NUL bytes
  mixed += ReadingLine(4000, "1.0");
  mixed += ReadingLine(500, "9.0");  // line 7: earlier than line 6
  mixed += ReadingLine(5000, "1.0");
  mixed += ReadingLine(6000, "1.0").substr(0, 50);  // line 9: the last, unfinished
  const std::string leap = WithElapsed(ReadingLine(3000, "9.0"), "99999999");
  const std::string clocksApart = "elapsed_s 与时间列不符";
  const DirtyLog logs[] = {
      {"cut, damaged, earlier and unfinished rows",
       mixed,
       4,
       {"第 4 行：", "第 5 行：", "第 7 行：时间早于上一行", "第 9 行："}},
      {"an elapsed_s leaping ahead is no reference for the rows after it",
       ReadingsWith(10, 3, leap),
       9,
       {"第 5 行：" + clocksApart}},
      {"a time leaping ahead alone",
       ReadingsWith(10, 3, WithTimeAt(ReadingLine(3000, "9.0"), 1'803'000)),
       9,
       {"第 5 行：" + clocksApart}},
      {"a leap in the last row", ReadingsWith(10, 9, leap), 9, {"第 11 行：" + clocksApart}},
      {"the wall clock set forward half an hour", WallClockSetForwardAt(4), 10, {}},
  };
  for (const DirtyLog& log : logs) {
    SCOPED_TRACE(log.what);
    LogFolder folder;
    const auto result = FiguresOfLog(folder.write("dirty.csv", log.rows));
    ASSERT_EQ(result.reading.error, "");
    EXPECT_EQ(result.figures.readings, log.readings);
    EXPECT_FLOAT_EQ(result.figures.pressureMax, 1.0f);
    EXPECT_EQ(result.reading.skippedRows, log.skipped.size());
    ASSERT_EQ(result.reading.skippedWhy.size(), log.skipped.size());
    for (std::size_t i = 0; i < log.skipped.size(); ++i) {
      EXPECT_EQ(result.reading.skippedWhy[i].rfind(log.skipped[i], 0), 0u)
          << result.reading.skippedWhy[i];
    }
  }
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
