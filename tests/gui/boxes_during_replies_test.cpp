// The whole console on a pseudo-terminal pump, with each box that can be open
// while the pump answers: replies written while the box is up reach the
// pressure read-out, the chart, the event feed and the run log before the box
// is closed, and none of them is handled again once it is.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <thread>

#include "app/composition.h"
#include "platform/qt/hinted_input_dialog.h"
#include "tests/runlog/log_test_support.h"
#include "tests/support/console_harness.h"
#include "tests/support/port_box_answer.h"
#include "tests/support/pty_pair.h"
#include "tests/support/scoped_variable.h"
#include "texts/operator_texts.h"

namespace pump {
namespace {

using testing::PtyPair;
using testing::WaitUntil;

// The burst the pump sends while the box is up ends in this reading.
constexpr char kLastWhileUp[] = "Q00N99.9Y";
constexpr char kAfterClose[] = "Q00N88.8Y";
constexpr int kBurst = 40;         // readings before it in the same burst
constexpr int kChartPoints = 100;  // a pass of the chart

enum class RunLog { Written, Off, Unwritable };

// The console on a pump at the end of a line whose name is a link the test
// can point at another pump, as a re-plugged adapter comes back.
struct Rig {
  explicit Rig(RunLog kind) : log(kind) {
    std::ofstream(home.path().toStdString() + "/not-a-folder") << "a file";
    console = std::make_unique<app::Console>(logFolder());
    console->start();
    console->events().subscribe([this](const session::SessionEvent& event) {
      if (event.kind == pump::EventKind::Reading) ++readings[event.detail];
    });
    pointLineAt(*pump);
    testing::OpenThroughThePortBox(window(), linePath);
  }
  ~Rig() { window().closeWindow(); }

  console::MainWindow& window() { return console->window(); }
  std::string logFolder() const {
    const std::string base = home.path().toStdString();
    if (log == RunLog::Off) return {};
    return base + (log == RunLog::Written ? "/pump-logs" : "/not-a-folder/pump-logs");
  }
  void pointLineAt(const PtyPair& line) {
    const std::string fresh = linePath + ".new";
    std::filesystem::create_symlink(line.slavePath(), fresh);
    std::filesystem::rename(fresh, linePath);
  }
  // A new pump on the line's name; the console finds it by itself.
  bool bringLineBack() {
    pump = std::make_unique<PtyPair>();
    pointLineAt(*pump);
    return WaitUntil([&] { return testing::MenusReleased(window()); }, 10000);
  }
  std::string shownPressure() const {
    auto* label = console->mainWindowView().findChild<QLabel*>(QStringLiteral("LcurrP"));
    return label ? label->text().toStdString() : std::string();
  }
  // The run log's rows, over every file a connection began, that hold the frame.
  int loggedRowsOf(const std::string& frame) const {
    int rows = 0;
    if (!std::filesystem::is_directory(logFolder())) return rows;
    for (const auto& name : runlog::testing::FileNames(logFolder())) {
      for (const auto& row :
           runlog::testing::Lines(runlog::testing::ReadFile(logFolder() + "/" + name))) {
        rows += row.ends_with("," + frame) ? 1 : 0;
      }
    }
    return rows;
  }

  RunLog log;
  QTemporaryDir home;
  testing::HomeAt homeAt{home.path().toStdString()};
  std::string linePath = home.path().toStdString() + "/pump-line";
  std::unique_ptr<PtyPair> pump = std::make_unique<PtyPair>();
  std::unique_ptr<app::Console> console;
  std::map<std::string, int> readings;  // the event feed's readings, by frame
};

// One box: how it is raised, how to know it on screen, and what the test
// does while it is up before the pump sends (e.g. bring a lost line back).
struct BoxRow {
  const char* name;
  std::function<bool(const QDialog&)> isTheBox;
  std::function<void(Rig&)> raise;  // may return only once the box is closed
  RunLog log = RunLog::Written;
  std::function<void(Rig&)> whileUp = {};
};

void PrintTo(const BoxRow& row, std::ostream* out) { *out << row.name; }

std::function<bool(const QDialog&)> Titled(const char* title, const char* textPart = "") {
  return [title, textPart](const QDialog& box) {
    const auto* message = qobject_cast<const QMessageBox*>(&box);
    return box.windowTitle() == QString::fromUtf8(title) &&
           (*textPart == '\0' ||
            (message && message->text().contains(QString::fromUtf8(textPart))));
  };
}

// What was seen while the row's box was up.
struct WhileUp {
  int timesShown = 0;
  bool captionShown = false;
  int chartBefore = 0;   // the chart's position before the burst
  int chartWhileUp = 0;  // and once its last reading was shown
  int burstOnFeed = 0;   // readings of the burst on the event feed
  bool logged = false;
  bool stillUp = false;
  std::string otherBoxes;  // closed at once
};

std::string Burst() {
  std::string burst;
  for (int i = 0; i < kBurst; ++i) burst += "Q00N0" + std::to_string(i % 10) + ".1Y";
  return burst + kLastWhileUp;
}

int BurstOnFeed(const Rig& rig) {
  int readings = 0;
  for (const auto& [frame, count] : rig.readings) {
    if (frame.ends_with(".1Y") || frame == kLastWhileUp) readings += count;
  }
  return readings;
}

// Looks for the row's box among the windows on screen; once it is up, plays
// the pump and closes the box. Any other box is closed as soon as it shows.
class BoxProbe {
 public:
  BoxProbe(Rig& rig, const BoxRow& row) : rig_(rig), row_(row) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
    timer_.start();
  }
  bool closed() const { return closed_; }
  const WhileUp& seen() const { return seen_; }

 private:
  void look() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* box = qobject_cast<QDialog*>(window);
      if (!box || !box->isVisible() || box->property("probed").toBool()) continue;
      box->setProperty("probed", true);
      if (!row_.isTheBox(*box)) {
        seen_.otherBoxes += " " + box->windowTitle().toStdString();
        box->reject();
      } else if (++seen_.timesShown == 1) {
        playThePump(*box);
        box->reject();
        closed_ = true;
      } else {
        box->reject();
      }
      return;  // the list may have changed meanwhile
    }
  }

  void playThePump(QDialog& box) {
    if (row_.whileUp) row_.whileUp(rig_);
    seen_.chartBefore = rig_.window().chart().position();
    rig_.pump->write(Burst());
    seen_.captionShown = WaitUntil([&] { return rig_.shownPressure() == "99.9"; }, 5000);
    seen_.chartWhileUp = rig_.window().chart().position();
    seen_.burstOnFeed = BurstOnFeed(rig_);
    if (row_.log == RunLog::Written) {
      seen_.logged = WaitUntil([&] { return rig_.loggedRowsOf(kLastWhileUp) == 1; }, 5000);
    }
    seen_.stillUp = box.isVisible();
  }

  Rig& rig_;
  const BoxRow& row_;
  QTimer timer_;
  WhileUp seen_;
  bool closed_ = false;
};

std::string Readings(int count) {
  std::string replies;
  replies.reserve(static_cast<std::size_t>(count) * 9);
  for (int i = 0; i < count; ++i) replies += "Q00N0" + std::to_string(i % 10) + ".5Y";
  return replies;
}

// A million readings as fast as the line takes them, and one more.
void FillTheRecord(Rig& rig) {
  const std::string readings = Readings(records::PressureRecord::kCapacity + 1);
  std::atomic<bool> written = false;
  std::thread pump([&] { written = rig.pump->writeAll(readings, 120000); });
  WaitUntil([&] { return written.load(); }, 130000);
  pump.join();
}

void HangUp(Rig& rig) { rig.pump->closeMaster(); }

// RUN until the pump's line is full and commands wait.
void StopReading(Rig& rig) {
  for (int i = 0;
       i < 100000 && !rig.window().display.linkStatus.caption().ends_with("泵未读取数据"); ++i) {
    rig.window().session().run();
  }
}

// A stop pressed while the line is down goes out when it is back.
void KeepAStopThenReconnect(Rig& rig) {
  rig.pump->closeMaster();
  ASSERT_TRUE(WaitUntil([&] { return !testing::MenusReleased(rig.window()); }, 5000));
  rig.window().pressStopKey();
  ASSERT_TRUE(rig.bringLineBack());
}

void FillTheQueueThenPressRun(Rig& rig) {
  while (rig.window().session().run().ok()) {
  }
  rig.window().pressRunKey();
}

void TypeAPressureAboveTheLimit(Rig& rig) {
  rig.window().pressPressureKey();
  for (int i = 0; i < 3; ++i) rig.window().pressDigit('9');
}

const BoxRow kBoxes[] = {
    {"RecordFull", Titled(texts::kSaveTitle, texts::kRecordFull), FillTheRecord, RunLog::Off},
    {"LineLost", Titled(texts::kCommErrorTitle, "已断开"), HangUp, RunLog::Written,
     [](Rig& rig) { ASSERT_TRUE(rig.bringLineBack()); }},
    {"PumpNotReading", Titled(texts::kCommErrorTitle, "泵未读取通信端口"), StopReading},
    {"StopSentLate", Titled(texts::kStopSentLateTitle), KeepAStopThenReconnect},
    {"CommandQueueFull", Titled(texts::kCommErrorTitle, texts::kCommandQueueFull),
     FillTheQueueThenPressRun},
    {"RunLogNotWritten", Titled(texts::kRunLogTitle), [](Rig&) {}, RunLog::Unwritable},
    {"FlowDialog", Titled(texts::kFlowTitle), [](Rig& rig) { rig.window().askFlow(); }},
    {"KeypadRefusal", Titled(texts::kKeypadRefusalTitle), TypeAPressureAboveTheLimit},
    {"PortBox", [](const QDialog& box) { return qobject_cast<const qt::HintedInputDialog*>(&box); },
     [](Rig& rig) { rig.window().choosePort(); }},
    {"PrintDialog", [](const QDialog& box) { return qobject_cast<const QPrintDialog*>(&box); },
     [](Rig& rig) { rig.window().printTestPage(); }},
    {"RecordViewerBox", Titled(texts::kViewRecordTitle),
     [](Rig& rig) { rig.console->recordViewer().viewer().loadLastLine(); }},
};

class BoxOpenDuringReplies : public ::testing::TestWithParam<BoxRow> {};

TEST_P(BoxOpenDuringReplies, RepliesAreHandledWhileItIsUpAndOnceOnly) {
  const BoxRow& row = GetParam();
  Rig rig(row.log);
  ASSERT_TRUE(rig.pump->ok());
  ASSERT_TRUE(testing::MenusReleased(rig.window()));
  BoxProbe probe(rig, row);
  row.raise(rig);
  const WhileUp& seen = probe.seen();
  ASSERT_TRUE(WaitUntil([&] { return probe.closed(); }, 60000))
      << "the box never came up; other boxes:" << seen.otherBoxes;

  EXPECT_TRUE(seen.captionShown) << "LcurrP shows " << rig.shownPressure();
  EXPECT_EQ(seen.chartWhileUp, (seen.chartBefore + kBurst + 1) % kChartPoints);
  EXPECT_EQ(seen.burstOnFeed, kBurst + 1);
  if (row.log == RunLog::Written) {
    EXPECT_TRUE(seen.logged);
  }
  EXPECT_TRUE(seen.stillUp);

  // Closed: the next reply is handled, and nothing of the burst again.
  rig.pump->write(kAfterClose);
  ASSERT_TRUE(WaitUntil([&] { return rig.shownPressure() == "88.8"; }, 5000));
  EXPECT_EQ(BurstOnFeed(rig), kBurst + 1);
  EXPECT_EQ(rig.readings[kAfterClose], 1);
  EXPECT_EQ(rig.window().chart().position(), (seen.chartBefore + kBurst + 2) % kChartPoints);
  if (row.log == RunLog::Written) {
    EXPECT_TRUE(WaitUntil([&] { return rig.loggedRowsOf(kAfterClose) == 1; }, 5000));
    EXPECT_EQ(rig.loggedRowsOf(kLastWhileUp), 1);
  }
  EXPECT_EQ(probe.seen().timesShown, 1);
}

std::string RowName(const ::testing::TestParamInfo<BoxRow>& row) { return row.param.name; }

INSTANTIATE_TEST_SUITE_P(EachBox, BoxOpenDuringReplies, ::testing::ValuesIn(kBoxes), RowName);

// A line that comes and goes while its box is up: one box, counting the losses.
TEST(LineLostBox, AFlappingLineLeavesOneBoxThatCountsItsLosses) {
  Rig rig(RunLog::Off);
  ASSERT_TRUE(testing::MenusReleased(rig.window()));
  for (int loss = 1; loss <= 3; ++loss) {
    HangUp(rig);
    ASSERT_TRUE(WaitUntil([&] { return !testing::MenusReleased(rig.window()); }, 5000)) << loss;
    ASSERT_TRUE(rig.bringLineBack()) << loss;
  }
  std::vector<QMessageBox*> boxes;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* box = qobject_cast<QMessageBox*>(widget);
    if (box && box->isVisible() && box->windowTitle() == QString::fromUtf8(texts::kCommErrorTitle))
      boxes.push_back(box);
  }
  ASSERT_EQ(boxes.size(), 1U);
  EXPECT_TRUE(boxes[0]->text().contains(QString::fromUtf8("已断开：")));
  EXPECT_TRUE(boxes[0]->text().endsWith(QString::fromUtf8("通信已断开 3 次。")))
      << boxes[0]->text().toStdString();
}

// Under AddressSanitizer freed memory waits in quarantine, so resident memory
// says nothing about what is kept.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMemoryTellsWhatIsKept = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMemoryTellsWhatIsKept = false;
#else
constexpr bool kMemoryTellsWhatIsKept = true;
#endif
#else
constexpr bool kMemoryTellsWhatIsKept = true;
#endif

// This process's resident memory, in kB.
long ResidentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  }
  return -1;
}

// A stream as pump-sim sends at 115200 baud: one reply per write, 1,280 a
// second, 10.0 to 19.9 in turn (none of them a reading of the fill), ending in 77.7.
struct StreamAt115200 {
  static constexpr auto kPeriod = std::chrono::microseconds(781);
  static std::string Frame(long index) {
    const long tenths = 100 + index % 100;
    return "Q00N" + std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + "Y";
  }
  static constexpr char kLast[] = "Q00N77.7Y";

  long sent = 0;
  long residentBeforeKb = 0;
  long residentAfterKb = 0;
  long handled = 0;  // replies of the stream on the event feed by the time the last is shown
  bool lastShown = false;

  void run(Rig& rig, int seconds) {
    residentBeforeKb = ResidentKb();
    std::atomic<bool> done = false;
    std::thread pump([&] {
      const auto start = std::chrono::steady_clock::now();
      const auto end = start + std::chrono::seconds(seconds);
      for (auto due = start; due < end; due += kPeriod) {
        std::this_thread::sleep_until(due);
        if (!rig.pump->writeAll(Frame(sent), 1000)) break;
        ++sent;
      }
      rig.pump->writeAll(kLast, 1000);
      done = true;
    });
    WaitUntil([&] { return done.load(); }, (seconds + 30) * 1000);
    pump.join();
    lastShown = WaitUntil([&] { return rig.shownPressure() == "77.7"; }, 10000);
    residentAfterKb = ResidentKb();
    for (const auto& [frame, count] : rig.readings) {
      if (frame.starts_with("Q00N1") || frame == kLast) handled += count;
    }
  }
};

// The figures for the reliability notes: PUMP_BOX_STREAM_SECONDS sets the
// stream's length (30 s when not set).
TEST(LongRun, DISABLED_AStreamAt115200BaudBehindTheRecordFullBoxIsAllShownInFlatMemory) {
  const char* given = std::getenv("PUMP_BOX_STREAM_SECONDS");
  const int seconds = given ? std::atoi(given) : 30;
  StreamAt115200 stream;
  const BoxRow row{"RecordFull", Titled(texts::kSaveTitle, texts::kRecordFull), FillTheRecord,
                   RunLog::Off, [&](Rig& rig) { stream.run(rig, seconds); }};
  Rig rig(RunLog::Off);
  ASSERT_TRUE(testing::MenusReleased(rig.window()));
  BoxProbe probe(rig, row);
  row.raise(rig);
  ASSERT_TRUE(WaitUntil([&] { return probe.closed(); }, (seconds + 120) * 1000));

  std::printf(
      "stream of %ld replies over %d s behind the record-full box: %ld handled while "
      "it was up, last shown: %s; VmRSS %ld kB -> %ld kB\n",
      stream.sent + 1, seconds, stream.handled, stream.lastShown ? "yes" : "no",
      stream.residentBeforeKb, stream.residentAfterKb);
  EXPECT_TRUE(stream.lastShown);
  EXPECT_EQ(stream.handled, stream.sent + 1);
  // The session's trend keeps every reading, some 20 bytes each; a buffer
  // held per reply is far more.
  if (kMemoryTellsWhatIsKept) {
    EXPECT_LT(stream.residentAfterKb - stream.residentBeforeKb, 8 * 1024);
  }
}

}  // namespace
}  // namespace pump
