// Run logs on disk: reading good, cut-off, damaged and foreign files, and
// exporting rows back in the same format.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>
#include <sstream>
#include <thread>

#include "runlog/log_columns.h"
#include "tests/trend/logic/rows.h"
#include "trend/log_export.h"
#include "trend/log_reader.h"

namespace pump::trend {
namespace {

namespace fs = std::filesystem;

const std::string kHeader =
    "time,elapsed_s,event,pressure_mpa,flow_ml_min,pressure_limit_mpa,pump,detail\r\n";

const std::string kGoodRows =
    "2026-12-07T14:03:22.517+08:00,0.000,open,0.0,0,2.0,STOP,/dev/ttyS0\r\n"
    "2026-12-07T14:03:22.530+08:00,0.013,link,0.0,0,2.0,STOP,answering\r\n"
    "2026-12-07T14:03:23.100+08:00,0.583,command,0.0,120,2.0,STOP,Q00S120Y\r\n"
    "2026-12-07T14:03:24.017+08:00,1.500,reading,1.7,120,2.0,RUN,Q00N01.7Y\r\n"
    "2026-12-07T14:03:25.000+08:00,2.483,refused,1.7,120,2.0,RUN,\"4,5\"\r\n";

struct RunLogFile : ::testing::Test {
  fs::path folder =
      fs::temp_directory_path() /
      ("trend-log-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
  RunLogFile() { fs::create_directories(folder); }
  ~RunLogFile() override { fs::remove_all(folder); }

  std::string write(const std::string& name, const std::string& bytes) {
    const fs::path path = folder / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  }
  static std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(RunLogFile, GoodLogLoadsEveryRowWithItsTimesValuesAndDetail) {
  const LogLoad load = LoadRunLog(write("good.csv", kHeader + kGoodRows));
  ASSERT_TRUE(load.session) << load.error;
  EXPECT_FALSE(load.lastLineIncomplete);
  const Session& s = *load.session;
  ASSERT_EQ(s.size(), 5u);

  const Row reading = s.row(3);
  EXPECT_EQ(reading.event, EventKind::Reading);
  EXPECT_EQ(reading.wallMs, 1'796'623'404'017);  // 06:03:24.017 UTC
  EXPECT_EQ(reading.utcOffsetMinutes, 480);
  EXPECT_EQ(reading.elapsedMs, 1500);
  EXPECT_FLOAT_EQ(reading.pressure, 1.7f);
  EXPECT_FLOAT_EQ(reading.flow, 120);
  EXPECT_FLOAT_EQ(reading.pressureLimit, 2);
  EXPECT_TRUE(reading.pumpRunning);
  EXPECT_EQ(reading.detail, "Q00N01.7Y");
  EXPECT_EQ(s.row(4).detail, "4,5");
  EXPECT_EQ(s.row(0).detail, "/dev/ttyS0");
  EXPECT_EQ(s.flowSteps().size(), 2u);
}

TEST_F(RunLogFile, AProgramsRowsLoadWithTheRest) {
  const LogLoad load = LoadRunLog(
      write("program.csv",
            kHeader + kGoodRows +
                "2026-12-07T14:03:26.000+08:00,3.483,program,1.7,120,2.0,RUN,start 升流量\r\n"
                "2026-12-07T14:03:27.000+08:00,4.483,program,1.7,120,2.0,RUN,step 2/5\r\n"));
  ASSERT_TRUE(load.session) << load.error;
  ASSERT_EQ(load.session->size(), 7u);
  EXPECT_EQ(load.session->row(5).event, EventKind::Program);
  EXPECT_EQ(load.session->row(6).detail, "step 2/5");
}

TEST_F(RunLogFile, LineFeedsAloneAndAnEmptyValueAreRead) {
  const LogLoad load = LoadRunLog(
      write("lf.csv",
            "time,elapsed_s,event,pressure_mpa,flow_ml_min,pressure_limit_mpa,pump,detail\n"
            "2026-12-07T14:03:22.517-03:30,0.000,open,,,,STOP,/dev/ttyUSB0\n"));
  ASSERT_TRUE(load.session) << load.error;
  const Row row = load.session->row(0);
  EXPECT_TRUE(std::isnan(row.pressure));
  EXPECT_EQ(row.utcOffsetMinutes, -210);
}

TEST_F(RunLogFile, LogCutOffMidRowLoadsAllButTheLastRowAndSaysSo) {
  const std::string cut = kHeader + kGoodRows + "2026-12-07T14:03:26.500+08:00,3.98";
  const LogLoad load = LoadRunLog(write("cut.csv", cut));
  ASSERT_TRUE(load.session) << load.error;
  EXPECT_TRUE(load.lastLineIncomplete);
  EXPECT_EQ(load.session->size(), 5u);

  // Cut inside a quoted detail, too.
  const LogLoad quoted = LoadRunLog(write("cut2.csv", kHeader + kGoodRows +
                                                          "2026-12-07T14:03:26.500+08:00,3.983,"
                                                          "refused,1.7,120,2.0,RUN,\"4,"));
  ASSERT_TRUE(quoted.session) << quoted.error;
  EXPECT_TRUE(quoted.lastLineIncomplete);
  EXPECT_EQ(quoted.session->size(), 5u);
}

TEST_F(RunLogFile, ForeignCsvIsRefusedNamingItsFirstLine) {
  const LogLoad load = LoadRunLog(write("foreign.csv", "date,temperature\r\n2026-12-07,21.5\r\n"));
  EXPECT_FALSE(load.session);
  EXPECT_NE(load.error.find("第 1 行"), std::string::npos) << load.error;
  EXPECT_NE(load.error.find("表头"), std::string::npos) << load.error;
}

TEST_F(RunLogFile, DamagedRowRefusesTheWholeFileNamingTheLine) {
  const struct {
    std::string row;
    std::string says;
  } damaged[] = {
      {"2026-12-07 14:03:30,8.000,reading,1.7,120,2.0,RUN,Q00N01.7Y", "时间"},
      {"2026-12-07T14:03:30.000+08:00,8.000,reading,1,7,120,2.0,RUN,Q00N01.7Y", "9 个字段"},
      {"2026-12-07T14:03:30.000+08:00,8.000,poll,1.7,120,2.0,RUN,x", "事件 \"poll\""},
      {"2026-12-07T14:03:30.000+08:00,8.000,reading,1.7x,120,2.0,RUN,x", "pressure_mpa"},
      {"2026-12-07T14:03:30.000+08:00,8.000,reading,1.7,120,2.0,ON,x", "RUN 或 STOP"},
      {"2026-12-07T14:03:30.000+08:00,0.100,reading,1.7,120,2.0,RUN,x", "倒退"},
      {"2026-12-07T14:03:30.000+08:00,8.000,reading,1.7,120,2.0,RUN,\"x\"y", "引号"},
  };
  for (const auto& [row, says] : damaged) {
    const LogLoad load = LoadRunLog(write("damaged.csv", kHeader + kGoodRows + row + "\r\n"));
    EXPECT_FALSE(load.session) << row;
    EXPECT_NE(load.error.find("第 7 行"), std::string::npos) << load.error;
    EXPECT_NE(load.error.find(says), std::string::npos) << load.error;
  }
}

TEST_F(RunLogFile, EmptyOrMissingFileIsRefusedWithAReason) {
  EXPECT_NE(LoadRunLog(write("empty.csv", "")).error.find("空"), std::string::npos);
  const LogLoad missing = LoadRunLog((folder / "none.csv").string());
  EXPECT_FALSE(missing.session);
  EXPECT_NE(missing.error.find("none.csv"), std::string::npos);
}

TEST_F(RunLogFile, ExportWritesTheRowsBackByteForByte) {
  const std::string original = kHeader + kGoodRows;
  const LogLoad load = LoadRunLog(write("original.csv", original));
  ASSERT_TRUE(load.session);
  const Session& s = *load.session;
  const std::string out = (folder / "export.csv").string();
  ASSERT_EQ(ExportRunLogRows(s, s.firstTimeMs(), s.lastTimeMs(), out), "");
  // Numbers come out in their shortest form ("0" for "0.0"); everything else as it was.
  std::string expected = original;
  for (auto [from, to] : {std::pair{",0.0,0,2.0,", ",0,0,2,"},
                          {",0.0,120,2.0,", ",0,120,2,"},
                          {",1.7,120,2.0,", ",1.7,120,2,"}}) {
    for (std::size_t at; (at = expected.find(from)) != std::string::npos;) {
      expected.replace(at, std::string(from).size(), to);
    }
  }
  EXPECT_EQ(read(out), expected);
}

TEST_F(RunLogFile, DetailWithQuotesCommasAndLineEndsSurvivesExportAndCountsItsLines) {
  Session session;
  Row row = testing::Reading(0, 1.5f);
  const std::string detail = "say \"hi\",\r\nthen go";
  row.detail = detail;
  session.append(row);
  const std::string path = (folder / "quoted.csv").string();
  ASSERT_EQ(ExportRunLogRows(session, session.firstTimeMs(), session.lastTimeMs(), path), "");
  const LogLoad load = LoadRunLog(path);
  ASSERT_TRUE(load.session) << load.error;
  EXPECT_EQ(load.session->row(0).detail, detail);

  // The row after it starts on line 4 of the file.
  const LogLoad damaged = LoadRunLog(write("quoted-damaged.csv", read(path) + "nonsense\r\n"));
  EXPECT_NE(damaged.error.find("第 4 行"), std::string::npos) << damaged.error;
}

TEST_F(RunLogFile, LogOfManyReadBlocksLoadsEveryRowAsWritten) {
  Session session;
  for (int i = 0; i < 150'000; ++i) {
    Row row = testing::Reading(i * 25, static_cast<float>(i % 50) / 10);
    const std::string detail = i % 7 == 0 ? "a,\"b\" " + std::to_string(i) : std::to_string(i);
    row.detail = detail;
    row.pumpRunning = i % 3 == 0;
    session.append(row);
  }
  const std::string path = (folder / "big.csv").string();
  ASSERT_EQ(ExportRunLogRows(session, session.firstTimeMs(), session.lastTimeMs(), path), "");
  ASSERT_GT(fs::file_size(path), 2u * (1u << 22));  // spans several reads
  const LogLoad load = LoadRunLog(path);
  ASSERT_TRUE(load.session) << load.error;
  ASSERT_EQ(load.session->size(), session.size());
  for (std::size_t i = 0; i < session.size(); i += 997) {
    const Row a = session.row(i), b = load.session->row(i);
    ASSERT_EQ(a.detail, b.detail) << i;
    ASSERT_EQ(a.wallMs, b.wallMs) << i;
    ASSERT_EQ(a.pressure, b.pressure) << i;
    ASSERT_EQ(a.pumpRunning, b.pumpRunning) << i;
  }
}

// Loads on a thread of its own, giving up waiting after `limit`: a load that
// hangs is then left behind.
std::optional<LogLoad> LoadWithin(const std::string& path, std::chrono::seconds limit) {
  auto done = std::make_shared<std::promise<LogLoad>>();
  auto result = done->get_future();
  std::thread([path, done] { done->set_value(LoadRunLog(path)); }).detach();
  if (result.wait_for(limit) != std::future_status::ready) return std::nullopt;
  return result.get();
}

TEST_F(RunLogFile, AFifoADeviceAFolderAndAFileOverTheLimitAreRefusedAtOnce) {
  const std::string fifo = (folder / "pipe.csv").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto fromFifo = LoadWithin(fifo, std::chrono::seconds(5));
  if (!fromFifo) {
    // Let the waiting open through, so the thread ends.
    ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
  }
  ASSERT_TRUE(fromFifo) << "opening a FIFO with no writer waited";
  EXPECT_FALSE(fromFifo->session);
  EXPECT_NE(fromFifo->error.find("不是普通文件"), std::string::npos) << fromFifo->error;
  EXPECT_NE(fromFifo->error.find("pipe.csv"), std::string::npos) << fromFifo->error;

  for (const std::string& path : {std::string("/dev/zero"), folder.string()}) {
    const auto load = LoadWithin(path, std::chrono::seconds(5));
    ASSERT_TRUE(load) << path << " was read on and on";
    EXPECT_FALSE(load->session);
    EXPECT_NE(load->error.find("不是普通文件"), std::string::npos) << load->error;
  }

  const std::string huge = write("huge.csv", kHeader);
  ASSERT_EQ(::truncate(huge.c_str(), runlog::kLargestRunLogBytes + 1), 0);
  const auto tooLarge = LoadWithin(huge, std::chrono::seconds(5));
  ASSERT_TRUE(tooLarge);
  EXPECT_NE(tooLarge->error.find("文件过大（超过 4096 MB）"), std::string::npos) << tooLarge->error;
}

TEST_F(RunLogFile, ALineRunningPast64KilobytesIsRefusedWithoutReadingTheRest) {
  // 256 MB with no line break at all, and a good header before 256 MB of one line.
  const std::string noBreak = (folder / "no-break.csv").string();
  std::ofstream(noBreak, std::ios::binary) << "time,elapsed_s,event";
  fs::resize_file(noBreak, std::uintmax_t{256} << 20);
  const std::string longRow = write("long-row.csv", kHeader + kGoodRows + "2026-12-07T14:03:26");
  fs::resize_file(longRow, std::uintmax_t{256} << 20);

  for (const auto& [path, line] : {std::pair{noBreak, "第 1 行"}, {longRow, "第 7 行"}}) {
    const auto started = std::chrono::steady_clock::now();
    const auto load = LoadWithin(path, std::chrono::seconds(60));
    ASSERT_TRUE(load);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2)) << path;
    EXPECT_FALSE(load->session);
    EXPECT_NE(load->error.find(line), std::string::npos) << load->error;
    EXPECT_NE(load->error.find("64 KB"), std::string::npos) << load->error;
  }
}

TEST_F(RunLogFile, ALoadReportsItsProgressUpToTheFileSizeAndStopsWhenCancelled) {
  Session session;
  for (int i = 0; i < 100'000; ++i) session.append(testing::Reading(i * 25, 1.5f));
  const std::string path = (folder / "long.csv").string();
  ASSERT_EQ(ExportRunLogRows(session, session.firstTimeMs(), session.lastTimeMs(), path), "");
  const std::uint64_t size = fs::file_size(path);
  ASSERT_GT(size, 3u << 20);

  std::vector<std::uint64_t> reported;
  LoadControl control;
  control.progress = [&](std::uint64_t read, std::uint64_t total) {
    EXPECT_EQ(total, size);
    reported.push_back(read);
  };
  const LogLoad whole = LoadRunLog(path, control);
  ASSERT_TRUE(whole.session) << whole.error;
  EXPECT_EQ(whole.session->size(), 100'000u);
  EXPECT_GT(reported.size(), 3u);
  EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
  EXPECT_EQ(reported.back(), size);

  std::atomic<bool> cancel{false};
  control.cancel = &cancel;
  control.progress = [&](std::uint64_t, std::uint64_t) { cancel = true; };
  const LogLoad stopped = LoadRunLog(path, control);
  EXPECT_TRUE(stopped.cancelled);
  EXPECT_FALSE(stopped.session);
  EXPECT_EQ(stopped.error, "");
}

TEST_F(RunLogFile, ExportOfTheVisibleSpanHoldsOnlyItsRows) {
  const LogLoad load = LoadRunLog(write("original.csv", kHeader + kGoodRows));
  ASSERT_TRUE(load.session);
  const Session& s = *load.session;
  std::ostringstream out;
  WriteRunLogRows(s, s.axisTimeMs(2), s.axisTimeMs(3), out);
  EXPECT_EQ(out.str(), kHeader +
                           "2026-12-07T14:03:23.100+08:00,0.583,command,0,120,2,STOP,Q00S120Y\r\n"
                           "2026-12-07T14:03:24.017+08:00,1.500,reading,1.7,120,2,RUN,"
                           "Q00N01.7Y\r\n");
}

}  // namespace
}  // namespace pump::trend
