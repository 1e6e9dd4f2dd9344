// A scripted session through the run log onto a real disk: the file it
// leaves, read back by us and by Python's csv module.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <regex>

#include "platform/posix/background_append_log.h"
#include "runlog/run_log.h"
#include "tests/runlog/log_test_support.h"
#include "tests/support/pump_states.h"

namespace pump::runlog {
namespace {

using namespace std::chrono;
using pump::EventKind;
using session::SessionEvent;
using testing::Fields;
using testing::Lines;
using testing::ReadFile;
using testing::ScratchFolder;
using testing::TimeZone;

// 15:59:59.900 UTC: a minute before local midnight at +08:00, so the session
// crosses a date.
const system_clock::time_point kOpenWall =
    sys_days{year{2026} / December / 7} + hours{15} + minutes{59} + seconds{59} + milliseconds{900};
const steady_clock::time_point kOpenMono{hours{50}};

struct Step {
  EventKind kind;
  std::string detail;
  session::PumpState shown;
  milliseconds after;  // since the open, on both clocks
};

const session::PumpState kStartUp = pump::testing::Showing("00.0", "02.0", "000");
const session::PumpState kFlowSet = pump::testing::Showing("00.0", "02.0", "150");
const session::PumpState kRunning = pump::testing::Showing("01.5", "02.0", "150", true);
const session::PumpState kNoNumber = pump::testing::Showing("", "02.0", "150", true);

// What the console publishes for one connection, with what happens around it.
const std::vector<Step> kSession = {
    {EventKind::Refused, "9", kStartUp, -5000ms},  // before any open: a file of its own
    {EventKind::Open, "/dev/pts/3", kStartUp, 0ms},
    {EventKind::Command, "P00L0150Y", kStartUp, 40ms},
    {EventKind::Reply, "Q00L0150Y", kFlowSet, 61ms},
    {EventKind::Link, "answering", kFlowSet, 61ms},
    {EventKind::Command, "P00GY", kFlowSet, 1200ms},
    {EventKind::Reading, "Q00N01.5Y", kRunning, 1500ms},
    {EventKind::Refused, "1,5", kRunning, 2000ms},
    {EventKind::Refused, "\xEF\xBC\x95\"", kRunning, 2100ms},  // a full-width 5 and a quote
    {EventKind::Run, "start", kRunning, 3000ms},
    {EventKind::Program, "step 2/5", kRunning, 3500ms},
    {EventKind::Link, "no_answer", kNoNumber, 7500ms},
    {EventKind::Run, "stop_due", kNoNumber, 63'000ms},
    {EventKind::Close, "/dev/pts/3", kNoNumber, 63'010ms},
    {EventKind::Link, "not_connected", kNoNumber, 63'010ms},  // up to the next open: this file
};

// The rows that must be in the file, without the time column, which is read back apart.
const std::vector<std::vector<std::string>> kGolden = {
    {"0.000", "open", "0.0", "0", "2.0", "STOP", "/dev/pts/3"},
    {"0.040", "command", "0.0", "0", "2.0", "STOP", "P00L0150Y"},
    {"0.061", "reply", "0.0", "150", "2.0", "STOP", "Q00L0150Y"},
    {"0.061", "link", "0.0", "150", "2.0", "STOP", "answering"},
    {"1.200", "command", "0.0", "150", "2.0", "STOP", "P00GY"},
    {"1.500", "reading", "1.5", "150", "2.0", "RUN", "Q00N01.5Y"},
    {"2.000", "refused", "1.5", "150", "2.0", "RUN", "1,5"},
    {"2.100", "refused", "1.5", "150", "2.0", "RUN", "\\xEF\\xBC\\x95\""},
    {"3.000", "run", "1.5", "150", "2.0", "RUN", "start"},
    {"3.500", "program", "1.5", "150", "2.0", "RUN", "step 2/5"},
    {"7.500", "link", "", "150", "2.0", "RUN", "no_answer"},
    {"63.000", "run", "", "150", "2.0", "RUN", "stop_due"},
    {"63.010", "close", "", "150", "2.0", "RUN", "/dev/pts/3"},
    {"63.010", "link", "", "150", "2.0", "RUN", "not_connected"},
};
const std::vector<int> kGoldenSteps = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};

session::SessionEvent EventOf(const Step& step) {
  return {step.kind, step.detail, step.shown, kOpenWall + step.after, kOpenMono + step.after};
}

// "2026-12-08T00:00:01.400+08:00" back to the instant it names.
system_clock::time_point ParseLocalTimestamp(const std::string& text) {
  static const std::regex kForm(
      R"((\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)\.(\d{3})([+-])(\d\d):(\d\d))");
  std::smatch m;
  if (!std::regex_match(text, m, kForm)) {
    ADD_FAILURE() << "not ISO 8601 with milliseconds and offset: " << text;
    return {};
  }
  const auto n = [&](int i) { return std::stoi(m[i].str()); };
  const sys_days day = year{n(1)} / n(2) / n(3);
  const minutes offset = (m[8] == "-" ? -1 : 1) * (hours{n(9)} + minutes{n(10)});
  return day + hours{n(4)} + minutes{n(5)} + seconds{n(6)} + milliseconds{n(7)} - offset;
}

class RecordedSession : public ::testing::Test {
 protected:
  void SetUp() override {
    posix::BackgroundAppendLog disk({folder.path() + "/pump-logs"}, {});
    RunLog log(disk);
    session::EventFeed feed;
    log.follow(feed);
    for (const Step& step : kSession) feed.publish(EventOf(step));
    // A second connection in the same second takes the next name.
    feed.publish({EventKind::Open, "/dev/pts/4", kStartUp, kOpenWall, kOpenMono + 70s});
    feed.publish({EventKind::Close, "/dev/pts/4", kStartUp, kOpenWall, kOpenMono + 71s});
  }  // the log's thread writes what is left and stops

  std::string firstLog() const { return folder.path() + "/pump-logs/2026-12-07_23-59-59.csv"; }

  TimeZone beijing{"UTC-8"};
  ScratchFolder folder;
};

TEST_F(RecordedSession, EachConnectionHasItsOwnFileNamedByItsLocalStartTime) {
  EXPECT_EQ(testing::FileNames(folder.path() + "/pump-logs"),
            (std::vector<std::string>{"2026-12-07_23-59-54.csv", "2026-12-07_23-59-59-2.csv",
                                      "2026-12-07_23-59-59.csv"}));
  const auto beforeAnyOpen = Lines(ReadFile(folder.path() + "/pump-logs/2026-12-07_23-59-54.csv"));
  ASSERT_EQ(beforeAnyOpen.size(), 2U);
  EXPECT_EQ(beforeAnyOpen[1].substr(29), ",0.000,refused,0.0,0,2.0,STOP,9");
  const auto second = Lines(ReadFile(folder.path() + "/pump-logs/2026-12-07_23-59-59-2.csv"));
  ASSERT_EQ(second.size(), 3U);
  EXPECT_EQ(second[1].substr(29), ",0.000,open,0.0,0,2.0,STOP,/dev/pts/4");
  EXPECT_EQ(second[2].substr(29), ",1.000,close,0.0,0,2.0,STOP,/dev/pts/4");
}

TEST_F(RecordedSession, RowsMatchTheGoldenLogAndTheirTimesReadBackToTheEvents) {
  const std::string bytes = ReadFile(firstLog());
  ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  const auto lines = Lines(bytes);
  ASSERT_EQ(lines.size(), kGolden.size() + 1);
  EXPECT_EQ(lines[0],
            "time,elapsed_s,event,pressure_mpa,flow_ml_min,pressure_limit_mpa,pump,detail");
  EXPECT_EQ(lines[7], lines[7].substr(0, 29) + ",2.000,refused,1.5,150,2.0,RUN,\"1,5\"");
  EXPECT_EQ(lines[8].substr(29), ",2.100,refused,1.5,150,2.0,RUN,\"\\xEF\\xBC\\x95\"\"\"");
  for (std::size_t row = 0; row < kGolden.size(); ++row) {
    const auto fields = Fields(lines[row + 1]);
    const Step& step = kSession[kGoldenSteps[row]];
    EXPECT_EQ(ParseLocalTimestamp(fields[0]), floor<milliseconds>(EventOf(step).wallTime))
        << lines[row + 1];
    EXPECT_EQ(fields[0].substr(23), "+08:00");
    if (row == 6 || row == 7) continue;  // quoted, compared whole above
    EXPECT_EQ(std::vector<std::string>(fields.begin() + 1, fields.end()), kGolden[row])
        << lines[row + 1];
  }
  EXPECT_EQ(lines[1].substr(0, 10), "2026-12-07");
  EXPECT_EQ(lines.back().substr(0, 10), "2026-12-08") << "local date after midnight";
}

// The event and detail columns of each row after the header.
std::vector<std::string> EventsAndDetails(const std::string& path) {
  std::vector<std::string> rows;
  const auto lines = Lines(ReadFile(path));
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const auto fields = Fields(lines[i]);
    rows.push_back(fields[2] + " " + fields[7]);
  }
  return rows;
}

TEST(RunLogFiles, ALostLineItsReopeningAndTheLateStopStayInTheFileUntilTheOperatorOpensAgain) {
  TimeZone beijing{"UTC-8"};
  ScratchFolder folder;
  {
    posix::BackgroundAppendLog disk({folder.path()}, {});
    RunLog log(disk);
    const auto at = [&](EventKind kind, std::string detail, seconds after, bool reopened = false) {
      log.record(
          {kind, std::move(detail), kRunning, kOpenWall + after, kOpenMono + after, reopened});
    };
    at(EventKind::Open, "/dev/pts/3", 0s);
    at(EventKind::Run, "start", 1s);
    at(EventKind::Close, "/dev/pts/3", 10s);  // the line is lost
    at(EventKind::Link, "lost", 10s);
    at(EventKind::Run, "stop_due", 31s);
    at(EventKind::Link, "reconnecting", 32s);
    at(EventKind::Command, "Q00S0000Y", 40s);
    at(EventKind::Run, "stop_sent", 40s);
    at(EventKind::Open, "/dev/pts/3", 40s, true);
    at(EventKind::Link, "answering", 41s);
    at(EventKind::Close, "/dev/pts/3", 50s);  // the operator closes
    at(EventKind::Link, "not_connected", 50s);
    at(EventKind::Open, "/dev/pts/4", 90s);
  }
  EXPECT_EQ(testing::FileNames(folder.path()),
            (std::vector<std::string>{"2026-12-07_23-59-59.csv", "2026-12-08_00-01-29.csv"}));
  EXPECT_EQ(EventsAndDetails(folder.path() + "/2026-12-07_23-59-59.csv"),
            (std::vector<std::string>{"open /dev/pts/3", "run start", "close /dev/pts/3",
                                      "link lost", "run stop_due", "link reconnecting",
                                      "command Q00S0000Y", "run stop_sent", "open /dev/pts/3",
                                      "link answering", "close /dev/pts/3", "link not_connected"}));
  const auto first = Lines(ReadFile(folder.path() + "/2026-12-07_23-59-59.csv"));
  EXPECT_EQ(Fields(first.back())[1], "50.000") << "seconds since the operator's open";
  EXPECT_EQ(EventsAndDetails(folder.path() + "/2026-12-08_00-01-29.csv"),
            (std::vector<std::string>{"open /dev/pts/4"}));
}

// Python's csv module, as a script someone would write to read the log.
std::vector<std::vector<std::string>> ReadWithPython(const std::string& path) {
  const std::string command =
      "python3 -c 'import csv,sys\n"
      "with open(sys.argv[1], newline=\"\", encoding=\"ascii\") as f:\n"
      "    for row in csv.reader(f): sys.stdout.write(\"\\x1f\".join(row) + \"\\n\")' " +
      path;
  std::vector<std::vector<std::string>> rows;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return rows;
  char buffer[4096];
  std::string out;
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    out.append(buffer, got);
  if (::pclose(pipe) != 0) return rows;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> row;
    std::size_t start = 0;
    for (std::size_t cut; (cut = line.find('\x1f', start)) != std::string::npos; start = cut + 1) {
      row.push_back(line.substr(start, cut - start));
    }
    row.push_back(line.substr(start));
    rows.push_back(row);
  }
  return rows;
}

TEST_F(RecordedSession, PythonsCsvModuleReadsEveryFieldBack) {
  if (std::system("python3 -c 'import csv' 2>/dev/null") != 0) GTEST_SKIP() << "no python3 here";
  const auto rows = ReadWithPython(firstLog());
  ASSERT_EQ(rows.size(), kGolden.size() + 1);
  EXPECT_EQ(rows[0].size(), 8U);
  for (std::size_t row = 0; row < kGolden.size(); ++row) {
    ASSERT_EQ(rows[row + 1].size(), 8U);
    EXPECT_EQ(std::vector<std::string>(rows[row + 1].begin() + 1, rows[row + 1].end()),
              kGolden[row]);
  }
}

TEST_F(RecordedSession, LibreOfficeConvertsTheLogWhenItIsInstalled) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  }
  const std::string command = "cd " + folder.path() +
                              " && soffice --headless --convert-to ods --outdir out " + firstLog() +
                              " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_TRUE(std::filesystem::exists(folder.path() + "/out/2026-12-07_23-59-59.ods"));
}

}  // namespace
}  // namespace pump::runlog
