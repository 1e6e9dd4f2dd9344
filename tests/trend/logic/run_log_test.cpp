// Run logs on disk: reading good, cut-off, damaged and foreign files, and
// exporting rows back in the same format.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

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
  EXPECT_EQ(reading.event, RowEvent::Reading);
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
