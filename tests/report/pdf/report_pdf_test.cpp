// The run report as the operator gets it: pump-console --report run as a
// child process, the PDF read back with poppler's pdftotext, pdfinfo and
// pdffonts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <vector>

#include "app/report_after_program.h"
#include "tests/report/log_files.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/shell_command.h"
#include "tests/support/small_disk.h"

namespace pump::report {
namespace {

using pump::testing::PdfText;
using testing::LogFolder;
using testing::LogLine;
using testing::ReadingLine;

using Ran = pump::testing::CommandRun;  // standard output and error together

Ran RunShell(const std::string& command) { return pump::testing::RunCommand(command + " 2>&1"); }

Ran MakeReport(const std::string& log, const std::string& pdf, const std::string& more = {}) {
  return RunShell(std::string(PUMP_CONSOLE) + " --report '" + log + "' --output '" + pdf + "'" +
                  more);
}

std::string Demo(const LogFolder& folder) {
  std::string rows = LogLine(0, "open", "", "2.0", "5.0", "STOP", "/dev/ttyUSB0");
  rows += LogLine(500, "program", "", "2.0", "5.0", "STOP", "start 柱平衡");
  rows += LogLine(600, "program", "", "2.0", "5.0", "RUN", "step 1/2");
  for (int s = 1; s <= 10; ++s)
    rows += ReadingLine(s * 1000, s == 5 ? "5.50" : "4.25", "RUN", "2.0");
  rows += LogLine(10500, "program", "", "2.0", "5.0", "RUN", "step 2/2");
  rows += LogLine(11000, "command", "", "2.0", "5.0", "STOP", "STOP");
  return folder.write("2026-12-07_14-00-00.csv", rows);  // running 0.6 s to 11 s at 2 ml/min
}

TEST(ReportPdf, TheHeadingsAndFiguresReadBackExactlyInAnEmbeddedChineseFont) {
  LogFolder folder;
  const std::string pdf = folder.path("report.pdf");
  const Ran ran = MakeReport(Demo(folder), pdf, " --pump-id 泵-3");
  ASSERT_EQ(ran.status, 0) << ran.output;
  const std::string text = PdfText(pdf);
  for (const char* expected :
       {"泵运行报告", "泵-3", "/dev/ttyUSB0", "2026-12-07T14:00:00.000+08:00", "柱平衡",
        "压力最小值", "4.25 MPa", "压力最大值", "5.50 MPa", "压力 95% 分位", "达到或超过压力上限",
        "1.0 秒", "泵送体积", "0.347 ml", "step 2/2", "第 1 页，共 1 页",
        "2026-12-07_14-00-00.csv"}) {
    EXPECT_NE(text.find(expected), std::string::npos) << expected << " not in:\n" << text;
  }
  const std::string fonts = RunShell("pdffonts '" + pdf + "'").output;
  EXPECT_NE(fonts.find("WenQuanYiZenHei"), std::string::npos) << fonts;
  EXPECT_NE(fonts.find("yes"), std::string::npos) << fonts;
  EXPECT_NE(RunShell("pdfinfo '" + pdf + "'").output.find("A4"), std::string::npos);
}

TEST(ReportPdf, TheFooterCarriesTheLogsSha256) {
  LogFolder folder;
  const std::string log = Demo(folder);
  const std::string pdf = folder.path("report.pdf");
  ASSERT_EQ(MakeReport(log, pdf).status, 0);
  const std::string digest = RunShell("sha256sum '" + log + "'").output.substr(0, 64);
  EXPECT_NE(PdfText(pdf).find("SHA-256：" + digest), std::string::npos);
}

// pdftotext's reading order with every run of spaces and line breaks as one space.
std::string FlatText(const std::string& pdf) {
  const std::string raw = RunShell("pdftotext -raw '" + pdf + "' -").output;
  return std::regex_replace(raw, std::regex("\\s+"), " ");
}

int Pages(const std::string& pdf) {
  const std::string info = RunShell("pdfinfo '" + pdf + "'").output;
  std::smatch pages;
  return std::regex_search(info, pages, std::regex("Pages:\\s+(\\d+)")) ? std::stoi(pages[1]) : 0;
}

struct Event {
  int ms;
  const char* kind;
  const char* detail;
  const char* shown;  // as the report words it
};

// Two minutes on the demo pump, commands from the broker among them: 25 events.
const Event kSession[] = {
    {0, "open", "sim", "打开端口 sim"},
    {1, "link", "waiting", "连接 等待泵应答"},
    {1500, "link", "answering", "连接 通信正常"},
    {4000, "command", "Q00P03.0Y", "命令 Q00P03.0Y"},
    {4001, "command", "remote set_pressure_limit 3 request_id=1",
     "命令 remote set_pressure_limit 3 request_id=1"},
    {5000, "command", "Q00L0080Y", "命令 Q00L0080Y"},
    {5001, "command", "remote set_flow 80 request_id=2", "命令 remote set_flow 80 request_id=2"},
    {6000, "command", "Q00R0000Y", "命令 Q00R0000Y"},
    {6001, "command", "remote run request_id=3", "命令 remote run request_id=3"},
    {31000, "command", "Q00L0140Y", "命令 Q00L0140Y"},
    {31001, "command", "remote set_flow 140 request_id=4", "命令 remote set_flow 140 request_id=4"},
    {56000, "refused", "remote set_flow -1 request_id=5 error=ml_min must not be negative",
     "拒绝 remote set_flow -1 request_id=5 error=ml_min must not be negative"},
    {58000, "command", "Q00L0170Y", "命令 Q00L0170Y"},
    {58001, "command", "remote set_flow 170 request_id=6", "命令 remote set_flow 170 request_id=6"},
    {63000, "link", "no_answer", "连接 泵无应答"},
    {66000, "link", "lost", "连接 通信中断"},
    {66001, "link", "reconnecting", "连接 正在重连"},
    {68000, "link", "answering", "连接 通信正常"},
    {70000, "command", "Q00L0100Y", "命令 Q00L0100Y"},
    {70001, "command", "remote set_flow 100 request_id=7", "命令 remote set_flow 100 request_id=7"},
    {71000, "command", "Q00R0000Y", "命令 Q00R0000Y"},
    {71001, "command", "remote run request_id=8", "命令 remote run request_id=8"},
    {96000, "command", "Q00S0000Y", "命令 Q00S0000Y"},
    {129000, "close", "sim", "关闭端口 sim"},
    {129001, "link", "not_connected", "连接 未连接"},
};

std::string SessionLog(const LogFolder& folder) {
  std::string rows;
  std::size_t next = 0;
  for (int ms = 0; ms <= 130000; ms += 500) {
    while (next < std::size(kSession) && kSession[next].ms <= ms) {
      const Event& event = kSession[next++];
      rows += LogLine(event.ms, event.kind, "1.5", "80", "3.0", "RUN", event.detail);
    }
    if (ms % 1500 == 0) rows += ReadingLine(ms, ms > 6000 && ms < 96000 ? "2.10" : "0.00", "RUN");
  }
  return folder.write("2026-12-07_14-00-00.csv", rows);
}

TEST(ReportPdf, AShortSessionsEventsAllFitOnOnePageInTheOperatorsWords) {
  LogFolder folder;
  const std::string pdf = folder.path("session.pdf");
  ASSERT_EQ(MakeReport(SessionLog(folder), pdf).status, 0);
  EXPECT_EQ(Pages(pdf), 1);
  const std::string text = FlatText(pdf);
  for (const Event& event : kSession)
    EXPECT_NE(text.find(event.shown), std::string::npos) << event.shown << " not in:\n" << text;
  for (const char* state : {"answering", "waiting", "no_answer", "not_connected"})
    EXPECT_EQ(text.find(state), std::string::npos) << state;
  EXPECT_NE(text.find("14:01:06.001"), std::string::npos);
  EXPECT_NE(text.find("第 1 页，共 1 页"), std::string::npos);
  EXPECT_NE(text.find("两次读数相隔超过 4.5 秒"), std::string::npos);
}

TEST(ReportPdf, ALongEventListGoesOnToNumberedPages) {
  LogFolder folder;
  std::string rows = ReadingLine(0, "1.0");
  for (int i = 1; i <= 400; ++i) {
    rows += LogLine(i * 100, "command", "", "1", "5.0", "STOP", "F" + std::to_string(i));
  }
  const std::string pdf = folder.path("long.pdf");
  ASSERT_EQ(MakeReport(folder.write("long.csv", rows), pdf).status, 0);
  const int pages = Pages(pdf);
  EXPECT_GE(pages, 3);
  const std::string text = FlatText(pdf);
  const std::string of = "，共 " + std::to_string(pages) + " 页";
  EXPECT_NE(text.find("第 1 页" + of), std::string::npos) << text;
  EXPECT_NE(text.find("第 " + std::to_string(pages) + " 页" + of), std::string::npos) << text;
  for (int i : {1, 200, 399, 400})
    EXPECT_NE(text.find("命令 F" + std::to_string(i) + " "), std::string::npos) << i;
}

TEST(ReportPdf, ALogWithNoReadingSaysSoAndSkippedRowsAreCounted) {
  LogFolder folder;
  std::string rows = LogLine(0, "link", "", "", "", "STOP", "waiting");
  rows += "garbage\r\n" + LogLine(1000, "link", "", "", "", "STOP", "no_answer");
  const std::string pdf = folder.path("empty.pdf");
  ASSERT_EQ(MakeReport(folder.write("links.csv", rows), pdf).status, 0);
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("日志中没有压力读数"), std::string::npos) << text;
  EXPECT_NE(text.find("跳过 1 行"), std::string::npos) << text;
}

TEST(ReportPdf, ARangeFromTheCommandLineLimitsTheReport) {
  LogFolder folder;
  const std::string pdf = folder.path("range.pdf");
  const Ran ran = MakeReport(Demo(folder), pdf,
                             " --from 2026-12-07T14:00:04+08:00 --to 2026-12-07T14:00:06+08:00");
  ASSERT_EQ(ran.status, 0) << ran.output;
  const std::string text = PdfText(pdf);
  EXPECT_NE(text.find("2026-12-07T14:00:04.000+08:00"), std::string::npos) << text;
  EXPECT_TRUE(std::regex_search(text, std::regex("读数 +3\\b"))) << text;
}

TEST(ReportPdf, ALogThatCannotBeReadExitsWithTwoAndSaysWhy) {
  LogFolder folder;
  const std::string fifo = folder.path("fifo.csv");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const Ran fromFifo = MakeReport(fifo, folder.path("a.pdf"));
  EXPECT_EQ(fromFifo.status, 2);
  EXPECT_NE(fromFifo.output.find("不是普通文件"), std::string::npos) << fromFifo.output;
  const Ran missing = MakeReport(folder.path("missing.csv"), folder.path("b.pdf"));
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.output.find("cannot read the run log"), std::string::npos);
  const Ran badTime = MakeReport(Demo(folder), folder.path("c.pdf"), " --from yesterday");
  EXPECT_EQ(badTime.status, 2);
  EXPECT_NE(badTime.output.find("--from yesterday"), std::string::npos) << badTime.output;
  EXPECT_FALSE(std::filesystem::exists(folder.path("a.pdf")));
}

// A regular file's bytes; nothing for a device (/dev/full reads as endless zeros).
std::string Bytes(const std::string& path) {
  return std::filesystem::is_regular_file(path) ? pump::testing::ReadFile(path) : std::string();
}

// A log and what is at the output's place before the report is asked for.
struct OutputPlace {
  LogFolder folder;
  std::string log = Demo(folder);
  std::optional<pump::testing::SmallDisk> disk;
};

enum class Afterwards { Report, Untouched, Nothing };

struct OutputCase {
  const char* what;
  std::function<std::string(OutputPlace&)> prepare;  // the output's path
  int status;
  const char* said;  // in the line on the standard error
  Afterwards afterwards;
};

TEST(ReportPdf, AReportReplacesOnlyAnEarlierReportAndNeverLeavesACutOne) {
  const OutputCase cases[] = {
      {"the run log itself", [](OutputPlace& p) { return p.log; }, 1, "运行日志",
       Afterwards::Untouched},
      {"a symbolic link to the run log",
       [](OutputPlace& p) {
         std::filesystem::create_symlink(p.log, p.folder.path("link.pdf"));
         return p.folder.path("link.pdf");
       },
       1, "运行日志", Afterwards::Untouched},
      {"a device that is always full", [](OutputPlace&) { return std::string("/dev/full"); }, 1,
       "不是普通文件", Afterwards::Untouched},
      {"a file of the operator's",
       [](OutputPlace& p) { return p.folder.write("notes.pdf", "keep me"); }, 1,
       "不是本程序写的报告", Afterwards::Untouched},
      {"another program's PDF",
       [](OutputPlace& p) {
         std::ofstream(p.folder.path("other.pdf")) << "%PDF-1.4\n1 0 obj <<>> endobj\n%%EOF\n";
         return p.folder.path("other.pdf");
       },
       1, "不是本程序写的报告", Afterwards::Untouched},
      {"an earlier report",
       [](OutputPlace& p) {
         MakeReport(p.log, p.folder.path("earlier.pdf"), " --pump-id 旧");
         return p.folder.path("earlier.pdf");
       },
       0, "", Afterwards::Report},
      {"a full disk",
       [](OutputPlace& p) {
         p.disk.emplace(p.folder.path("disk"));
         if (!p.disk->mounted()) return std::string();
         p.disk->fill();
         return p.disk->path("run.pdf");
       },
       1, "No space left on device", Afterwards::Nothing},
  };
  for (const OutputCase& c : cases) {
    SCOPED_TRACE(c.what);
    OutputPlace place;
    const std::string pdf = c.prepare(place);
    if (pdf.empty()) {
      std::printf("not tried: %s: %s\n", c.what, place.disk->why().c_str());
      continue;
    }
    const std::string logBefore = Bytes(place.log), before = Bytes(pdf);
    const Ran ran = MakeReport(place.log, pdf, " --pump-id 新");
    EXPECT_EQ(ran.status, c.status) << ran.output;
    EXPECT_NE(ran.output.find(c.said), std::string::npos) << ran.output;
    EXPECT_EQ(std::count(ran.output.begin(), ran.output.end(), '\n'), c.status ? 1 : 0);
    EXPECT_EQ(Bytes(place.log), logBefore);
    if (c.afterwards == Afterwards::Report) {
      EXPECT_NE(PdfText(pdf).find("新"), std::string::npos);
    } else if (c.afterwards == Afterwards::Untouched) {
      EXPECT_EQ(Bytes(pdf), before);
    } else {
      for (const auto& entry :
           std::filesystem::directory_iterator(std::filesystem::path(pdf).parent_path()))
        EXPECT_EQ(entry.path().filename(), "filler");
    }
  }
}

// How a report after a program ended: what was told, and whether it was written.
struct AfterProgram {
  bool ended = false, written = false;
  std::vector<std::string> told;
};

AfterProgram ReportAfterProgram(const std::string& log, const std::string& pumpId) {
  int argc = 1;
  char name[] = "report_pdf_tests";
  char* argv[] = {name, nullptr};
  QCoreApplication application(argc, argv);
  QEventLoop loop;
  AfterProgram after;
  app::ReportListener listener{
      [&after](const std::string& box, const std::string&) { after.told.push_back(box); },
      [&](bool written) {
        after.ended = true;
        after.written = written;
        loop.quit();
      }};
  if (!app::StartReportBesideLog(log, std::move(listener), pumpId, PUMP_REPORT_FOLDER))
    return after;
  QTimer::singleShot(std::chrono::seconds(30), &loop, &QEventLoop::quit);
  loop.exec();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return after;
}

TEST(ReportPdf, AProgramsEndWritesTheReportBesideItsLogUnlessSwitchedOff) {
  LogFolder folder;
  const std::string log = Demo(folder);
  QSettings settings(QString::fromStdString(folder.path("settings.ini")), QSettings::IniFormat);
  app::SetReportAfterProgram(settings, false);
  EXPECT_FALSE(app::ReportAfterProgramEnd(settings, log, {}));
  settings.remove(app::kReportAfterProgramKey);
  ASSERT_TRUE(app::ReportAfterProgramOn(settings));
  const AfterProgram after = ReportAfterProgram(log, "泵-7");
  EXPECT_TRUE(after.written);
  EXPECT_TRUE(after.told.empty());
  EXPECT_NE(PdfText(folder.path("2026-12-07_14-00-00.pdf")).find("泵-7"), std::string::npos);
}

TEST(ReportPdf, AProgramsReportOnAFullDiskIsToldOnceAndLeavesNoPdf) {
  LogFolder folder;
  pump::testing::SmallDisk disk(folder.path("disk"));
  if (!disk.mounted()) GTEST_SKIP() << disk.why();
  const std::string log = disk.path("run.csv");
  std::filesystem::copy_file(Demo(folder), log);
  disk.fill();
  const AfterProgram after = ReportAfterProgram(log, "泵-7");
  ASSERT_TRUE(after.ended);
  EXPECT_FALSE(after.written);
  ASSERT_EQ(after.told.size(), 1u);
  EXPECT_NE(after.told[0].find("No space left on device"), std::string::npos) << after.told[0];
  EXPECT_NE(after.told[0].find("run.pdf"), std::string::npos) << after.told[0];
  EXPECT_FALSE(std::filesystem::exists(disk.path("run.pdf")));
}

}  // namespace
}  // namespace pump::report
