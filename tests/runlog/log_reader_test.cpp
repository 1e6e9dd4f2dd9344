// The one reader of run logs, under both ways of taking a damaged row: the
// trend's (refuse the whole file at the first) and the report's (skip the row
// and count it). Each log is a real file read back through its path.
#include "runlog/log_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runlog/log_columns.h"
#include "tests/runlog/log_test_support.h"

namespace pump::runlog {
namespace {

// A row `seconds` after 14:00:00 local time, the time column `wallAhead`
// seconds further on; the other columns as given.
std::string Row(int seconds, const std::string& rest = "reading,1.0,120,2.0,RUN,Q00N01.0Y",
                int wallAhead = 0, const std::string& elapsed = "") {
  char time[64];
  const int wall = seconds + wallAhead;
  std::snprintf(time, sizeof time, "2026-12-07T14:%02d:%02d.000+08:00", wall / 60 % 60, wall % 60);
  return std::string(time) + "," + (elapsed.empty() ? std::to_string(seconds) + ".000" : elapsed) +
         "," + rest + "\r\n";
}

std::string Rows(int from, int count) {
  std::string rows;
  for (int s = from; s < from + count; ++s) rows += Row(s);
  return rows;
}

struct Expected {
  std::size_t rows;               // rows taken, if the file is not refused
  std::string refusal;            // empty, or what the refusal names
  std::vector<int> skipped = {};  // lines skipped, in the order named
  bool lastLineIncomplete = false;
};

struct LogCase {
  const char* what;
  std::string afterHeader;
  Expected refusing, skipping;
};

const std::string kHeader = std::string(kRunLogHeader) + "\r\n";

const LogCase kCases[] = {
    {"whole rows", Rows(0, 3), {3, ""}, {3, ""}},
    {"a blank line is no row", Row(0) + "\r\n" + Row(1), {2, ""}, {2, ""}},
    {"nine fields",
     Rows(0, 2) + Row(2, "reading,1,0,120,2.0,RUN,x") + Row(3),
     {0, "第 4 行：有 9 个字段"},
     {3, "", {4}}},
    {"an event no log writes",
     Row(0) + Row(1, "poll,1.0,120,2.0,RUN,x") + Row(2),
     {0, "第 3 行：事件 \"poll\""},
     {2, "", {3}}},
    {"a value that is no number",
     Row(0) + Row(1, "reading,1.0x,120,2.0,RUN,x"),
     {0, "pressure_mpa \"1.0x\" 不是数字"},
     {1, "", {3}}},
    {"a pump column that is neither",
     Row(0) + Row(1, "reading,1.0,120,2.0,ON,x"),
     {0, "RUN 或 STOP"},
     {1, "", {3}}},
    {"a time that is no time",
     Row(0) + "14:00:01,1.000,reading,1.0,120,2.0,RUN,x\r\n",
     {0, "第 3 行：时间"},
     {1, "", {3}}},
    {"a row earlier than the one before",
     Rows(0, 3) + Row(1) + Row(3),
     {0, "第 5 行：时间早于上一行"},
     {4, "", {5}}},
    {"a misplaced quote, the rest read on",
     Row(0) + Row(1, "reading,1.0,120,2.0,RUN,\"x\"y") + Row(2),
     {0, "第 3 行：引号"},
     {2, "", {3}}},
    {"one elapsed_s leaping ahead",
     Rows(0, 3) + Row(3, "reading,9.0,120,2.0,RUN,x", 0, "99999999") + Rows(4, 3),
     {0, "第 6 行：时间早于上一行"},
     {6, "", {5}}},
    {"the wall clock set forward",
     Rows(0, 2) + Row(2, "reading,1.0,120,2.0,RUN,x", 1800) +
         Row(3, "reading,1.0,120,2.0,RUN,x", 1800),
     {4, ""},
     {4, ""}},
    {"a last row cut off",
     Rows(0, 2) + Row(2).substr(0, 40),
     {2, "", {}, true},
     {2, "", {4}, true}},
    {"a last row cut off inside a quote",
     Rows(0, 2) + "2026-12-07T14:00:02.000+08:00,2.000,refused,1.0,120,2.0,RUN,\"4,",
     {2, "", {}, true},
     {2, "", {4}, true}},
};

struct Outcome {
  LogRead read;
  std::size_t rows = 0;
};

Outcome ReadUnder(const std::string& path, DamagedRows policy) {
  LogReadOptions options;
  options.damagedRows = policy;
  Outcome outcome;
  outcome.read = ReadRunLog(path, options, [&outcome](const LogRecord&) { ++outcome.rows; });
  return outcome;
}

void Check(const Outcome& got, const Expected& expected) {
  if (!expected.refusal.empty()) {
    EXPECT_NE(got.read.error.find(expected.refusal), std::string::npos) << got.read.error;
    return;
  }
  ASSERT_EQ(got.read.error, "");
  EXPECT_EQ(got.rows, expected.rows);
  EXPECT_EQ(got.read.lastLineIncomplete, expected.lastLineIncomplete);
  ASSERT_EQ(got.read.skippedWhy.size(), expected.skipped.size());
  EXPECT_EQ(got.read.skippedRows, expected.skipped.size());
  for (std::size_t i = 0; i < expected.skipped.size(); ++i) {
    const std::string line = "第 " + std::to_string(expected.skipped[i]) + " 行：";
    EXPECT_EQ(got.read.skippedWhy[i].rfind(line, 0), 0u) << got.read.skippedWhy[i];
  }
}

TEST(RunLogReader, EachDamagedRowRefusesTheFileOrIsSkippedAndCountedByLine) {
  testing::ScratchFolder folder;
  const std::string path = folder.path() + "/log.csv";
  for (const LogCase& log : kCases) {
    SCOPED_TRACE(log.what);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << kHeader << log.afterHeader;
    Check(ReadUnder(path, DamagedRows::RefuseFile), log.refusing);
    Check(ReadUnder(path, DamagedRows::SkipAndCount), log.skipping);
  }
}

TEST(RunLogReader, WhatIsNoRunLogIsRefusedWhicheverWayRowsAreTaken) {
  testing::ScratchFolder folder;
  const struct {
    std::string bytes;
    std::string says;
  } files[] = {
      {"", "第 1 行：文件是空的"},
      {"date,temperature\r\n2026-12-07,21.5\r\n", "第 1 行：不是运行日志的表头"},
      {kHeader + Row(0) + std::string(70 * 1024, 'x'), "第 3 行：这一行超过 64 KB"},
      {kHeader + Row(0) + "\"x\"y" + std::string(70 * 1024, 'x'), "第 3 行：这一行超过 64 KB"},
  };
  for (const auto& [bytes, says] : files) {
    const std::string path = folder.path() + "/foreign.csv";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    for (DamagedRows policy : {DamagedRows::RefuseFile, DamagedRows::SkipAndCount}) {
      EXPECT_NE(ReadUnder(path, policy).read.error.find(says), std::string::npos) << says;
    }
  }
  const std::string missing = folder.path() + "/none.csv";
  EXPECT_NE(ReadUnder(missing, DamagedRows::SkipAndCount).read.error.find("none.csv"),
            std::string::npos);
}

}  // namespace
}  // namespace pump::runlog
