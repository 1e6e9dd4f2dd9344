// A pump that stops reading, end to end: the console's real serial port on a
// pseudo-terminal whose far end reads nothing until the test lets it.
#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <set>

#include "platform/posix/background_append_log.h"
#include "runlog/run_log.h"
#include "tests/gui/console_on_qt.h"
#include "tests/gui/event_count.h"
#include "tests/runlog/log_test_support.h"
#include "tests/support/pty_pair.h"

namespace pump {
namespace {

using testing::WaitUntil;

// True when the text is nothing but whole frames of these kinds, back to back.
bool WholeFramesOf(const std::string& text, const std::set<std::string>& kinds) {
  if (text.size() % 9 != 0) return false;
  for (std::size_t at = 0; at < text.size(); at += 9) {
    if (kinds.count(text.substr(at, 9)) == 0) return false;
  }
  return true;
}

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

TEST(PumpNotReadingOnPseudoTerminal, AFullLineTearsNoFrameLosesNoCommandAndIsNoLostLine) {
  testing::PtyPair pump;
  ASSERT_TRUE(pump.ok());
  testing::ConsoleOnQt console;
  console.open(pump.slavePath());
  ASSERT_TRUE(console.menusReleased());

  // Run commands until the line's buffer (some 20 KB) is full and the queue
  // behind it too: the pump reads nothing meanwhile.
  int accepted = 0;
  std::string refusal;
  while (refusal.empty() && accepted < 10000) {
    refusal = console.window->session().run().refusal;
    if (refusal.empty()) ++accepted;
  }
  EXPECT_EQ(refusal, "泵未读取数据，待发送的命令已满，本命令未发送!");
  EXPECT_GT(accepted, 1000);
  testing::RunEventLoopFor(300);
  EXPECT_EQ(console.window->display.linkStatus.caption(), "● 泵未读取数据");
  ASSERT_EQ(console.messages().size(), 1U);
  EXPECT_EQ(console.messages()[0].rfind("泵未读取通信端口 " + pump.slavePath() + " 上的数据。", 0),
            0U)
      << console.messages()[0];
  EXPECT_TRUE(console.qtSerial.isOpen()) << "a full line was taken for a lost one";
  EXPECT_TRUE(console.menusReleased());

  // The pump reads again: every accepted command arrives whole and in order,
  // with at most the polls that fell due meanwhile between them.
  const std::size_t expected = static_cast<std::size_t>(accepted) * 9;
  std::string line;
  ASSERT_TRUE(WaitUntil(
      [&] {
        line += pump.read(1 << 20, 0);
        return static_cast<std::size_t>(Count(line, "Q00R0000Y")) * 9 >= expected;
      },
      5000))
      << line.size() << " bytes of " << expected;
  EXPECT_TRUE(WholeFramesOf(line, {"Q00R0000Y", "Q00F0000Y"})) << "a torn or interleaved frame";
  EXPECT_EQ(Count(line, "Q00R0000Y"), accepted);
  EXPECT_LE(Count(line, "Q00F0000Y"), 3);
  EXPECT_TRUE(WaitUntil(
      [&] { return console.window->display.linkStatus.caption() != "● 泵未读取数据"; }, 1000));
  EXPECT_EQ(console.messages().size(), 1U);
  EXPECT_TRUE(console.menusReleased());
}

TEST(PumpNotReadingOnPseudoTerminal, APortOpenedAgainOverAFullLineStartsWithAWholeFrame) {
  testing::PtyPair pump;
  ASSERT_TRUE(pump.ok());
  testing::ConsoleOnQt console;
  console.open(pump.slavePath());
  while (console.window->session().run().refusal.empty()) {
  }
  console.open(pump.slavePath());  // the operator tries the port again
  ASSERT_TRUE(console.menusReleased());
  ASSERT_TRUE(console.window->session().stop().refusal.empty());
  // The new line's stop arrives, and nothing torn comes before it. Frames the
  // old line had already handed to the terminal may still come first: a
  // pseudo-terminal does not always discard them as a real port does.
  std::string line;
  ASSERT_TRUE(WaitUntil(
      [&] {
        line += pump.read(1 << 20, 0);
        return line.find("Q00S0000Y") != std::string::npos;
      },
      5000))
      << line.size() << " bytes, no stop";
  EXPECT_TRUE(WholeFramesOf(line, {"Q00R0000Y", "Q00F0000Y", "Q00S0000Y"}))
      << "a torn frame before the stop";
}

// The event and detail of each row of a run log, after its header.
std::vector<std::string> EventsAndDetails(const std::string& path) {
  std::vector<std::string> rows;
  const auto lines = runlog::testing::Lines(runlog::testing::ReadFile(path));
  static const std::regex row("[^,]*,[^,]*,([^,]*),[^,]*,[^,]*,[^,]*,[^,]*,(.*)");
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::smatch fields;
    if (std::regex_match(lines[i], fields, row))
      rows.push_back(fields.str(1) + " " + fields.str(2));
  }
  return rows;
}

TEST(PumpNotReadingOnPseudoTerminal, AProgramPausedBehindAFullLineStopsThePumpBeforeAnyStaleFlow) {
  testing::PtyPair pump(testing::PtyPair::ConsoleSide::Kept);
  ASSERT_TRUE(pump.ok());
  runlog::testing::ScratchFolder folder;
  posix::BackgroundAppendLog disk({folder.path()}, {});
  runlog::RunLog log(disk);
  testing::ConsoleOnQt console;
  log.follow(console.session->events());
  console.open(pump.slavePath());
  ASSERT_TRUE(console.menusReleased());

  // 2 s at 10 ml/min under 2.0 MPa, then a ramp that sets a new flow each second.
  const program::Program ramp{"ramp",
                              {program::Step{2, 10, 10, 20}, program::Step{60, 20, 80, 30}}};
  ASSERT_TRUE(console.session->startProgram(ramp).ok());
  ASSERT_EQ(pump.read(27, 2000), "Q00P02.0YQ00L0010YQ00R0000Y");
  const std::size_t filler = pump.fillLine();  // the pump stops reading
  ASSERT_GT(filler, 0U);

  // The ramp's flows fill the queue behind the limit of its second step; the
  // flow that finds it full pauses the program.
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto steps = console.eventDetails(EventKind::Program);
        return !steps.empty() && steps.back() == "pause";
      },
      30000));
  EXPECT_EQ(console.window->display.linkStatus.caption(), "● 泵未读取数据");

  // The pump reads again: the stop comes first, then the limit it keeps, and
  // no flow or run the stop made stale.
  std::string line;
  ASSERT_TRUE(WaitUntil(
      [&] {
        line += pump.read(1 << 20, 0);
        const auto afterFiller = line.find_last_of(testing::PtyPair::kFiller);
        return afterFiller != std::string::npos && line.find("Q00P03.0Y", afterFiller) != line.npos;
      },
      5000))
      << line.size() << " bytes, filler " << filler;
  testing::RunEventLoopFor(300);
  line += pump.read(1 << 20, 0);
  const std::string after = line.substr(line.find_last_of(testing::PtyPair::kFiller) + 1);
  ASSERT_GE(after.size(), 18U);
  EXPECT_EQ(after.substr(0, 18), "Q00S0000YQ00P03.0Y") << after;
  EXPECT_TRUE(WholeFramesOf(after.substr(18), {"Q00F0000Y"})) << after;

  // The run log holds each dropped flow, the stop and the pause, in that order.
  std::atomic<bool> written = false;
  std::string path;
  disk.whenWritten([&](const std::string& file) {
    path = file;
    written = true;
  });
  ASSERT_TRUE(WaitUntil([&] { return written.load(); }, 5000));
  const auto rows = EventsAndDetails(path);
  const auto firstDropped = std::find_if(rows.begin(), rows.end(), [](const std::string& row) {
    return row.starts_with("command dropped");
  });
  ASSERT_NE(firstDropped, rows.end());
  const std::vector<std::string> fromDrop(firstDropped, rows.end());
  const std::regex dropped("command dropped Q00L00[2-9][0-9]Y stale after stop");
  ASSERT_GE(fromDrop.size(), 17U);
  for (std::size_t i = 0; i < 15; ++i)
    EXPECT_TRUE(std::regex_match(fromDrop[i], dropped)) << fromDrop[i];
  EXPECT_EQ(fromDrop[15], "command Q00S0000Y");
  EXPECT_EQ(fromDrop[16], "program pause");
}

}  // namespace
}  // namespace pump
