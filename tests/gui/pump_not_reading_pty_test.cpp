// A pump that stops reading, end to end: the console's real serial port on a
// pseudo-terminal whose far end reads nothing until the test lets it.
#include <gtest/gtest.h>

#include <set>

#include "tests/gui/console_on_qt.h"
#include "tests/gui/event_count.h"
#include "tests/gui/pty_pair.h"

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

}  // namespace
}  // namespace pump
