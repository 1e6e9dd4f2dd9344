// pump-sim as a real process on a real pseudo-terminal: a console-side line
// sends frames and looks at how the replies arrive.
#include "tests/support/pump_sim_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <regex>

namespace pump::testing {
namespace {

std::string Joined(const std::vector<std::string>& chunks) {
  return std::accumulate(chunks.begin(), chunks.end(), std::string());
}

// The simulator and the console's end of its line.
struct SimLine {
  PumpSimProcess sim;
  RawLine line;
  explicit SimLine(const std::vector<std::string>& options = {})
      : sim(options), line(sim.devicePath()) {
    if (!line.isOpen()) ADD_FAILURE() << "pump-sim gave no usable line: " << sim.devicePath();
  }
  // A clean stop also tells that the sanitizers found nothing in the child.
  ~SimLine() { EXPECT_EQ(sim.stop(), 0); }
};

TEST(PumpSim, APollOverThePseudoTerminalGetsAWellFormedPressureReply) {
  SimLine s;
  ASSERT_TRUE(s.line.send("Q00F0000Y"));
  const std::string reply = s.line.readBytes(9, 2000);
  EXPECT_TRUE(std::regex_match(reply, std::regex(R"(Q00N\d\d\.\dY)"))) << reply;
  EXPECT_EQ(reply, "Q00N00.0Y");
}

TEST(PumpSim, SetpointsAreEchoedAndARunningPumpBuildsPressure) {
  SimLine s;
  for (const std::string frame : {"Q00L0200Y", "Q00P05.0Y", "Q00R0000Y"}) {
    s.line.send(frame);
    EXPECT_EQ(s.line.readBytes(9, 2000), frame);
  }
  s.line.readChunks(1500);
  s.line.send("Q00F0000Y");
  const std::string reply = s.line.readBytes(9, 2000);
  ASSERT_EQ(reply.size(), 9u);
  EXPECT_GT(std::stod(reply.substr(4, 4)), 1.0) << reply;
}

TEST(PumpSim, AnswersOnlyTheAddressItWasGiven) {
  SimLine s({"--address", "5"});
  s.line.send("Q00F0000Y");
  EXPECT_TRUE(s.line.readChunks(300).empty());
  s.line.send("Q05F0000Y");
  EXPECT_EQ(s.line.readBytes(9, 2000), "Q05N00.0Y");
}

TEST(PumpSim, SplitRepliesArriveInTwoPieces) {
  SimLine s({"--split"});
  // The halves are 30 ms apart; one of three replies seen whole would be
  // scheduling luck, all three whole is the fault missing.
  int split = 0;
  for (int i = 0; i < 3; ++i) {
    s.line.send("Q00F0000Y");
    const auto chunks = s.line.readChunks(300);
    EXPECT_EQ(Joined(chunks), "Q00N00.0Y");
    if (chunks.size() >= 2 && chunks[0].size() < 9) ++split;
  }
  EXPECT_GE(split, 1);
}

TEST(PumpSim, JoinedRepliesArriveTwoInOneWrite) {
  SimLine s({"--join"});
  s.line.send("Q00F0000Y");
  EXPECT_TRUE(s.line.readChunks(300).empty());
  s.line.send("Q00S0000Y");
  EXPECT_EQ(s.line.readChunks(300), std::vector<std::string>{"Q00N00.0YQ00S0000Y"});
}

TEST(PumpSim, ASilentPumpNeverAnswers) {
  SimLine s({"--silent"});
  s.line.send("Q00F0000Y");
  s.line.send("Q00R0000Y");
  EXPECT_TRUE(s.line.readChunks(500).empty());
}

TEST(PumpSim, NoiseBytesComeBeforeAnIntactReply) {
  SimLine s({"--noise", "--seed", "3"});
  s.line.send("Q00F0000Y");
  const std::string bytes = Joined(s.line.readChunks(300));
  const auto start = bytes.find('Q');
  ASSERT_NE(start, std::string::npos) << bytes;
  EXPECT_GE(start, 1u);
  EXPECT_LE(start, 3u);
  EXPECT_EQ(bytes.substr(start), "Q00N00.0Y");
}

TEST(PumpSim, ABurstSendsTheReplyManyTimes) {
  SimLine s({"--burst", "5"});
  s.line.send("Q00F0000Y");
  std::string five;
  for (int i = 0; i < 5; ++i) five += "Q00N00.0Y";
  EXPECT_EQ(s.line.readBytes(45, 2000), five);
  EXPECT_TRUE(s.line.readChunks(200).empty());
}

TEST(PumpSim, HangsUpTheLineAfterTheGivenTimeAndExits) {
  SimLine s({"--hangup-after", "0.5"});
  s.line.send("Q00F0000Y");
  EXPECT_EQ(s.line.readBytes(9, 400), "Q00N00.0Y");
  EXPECT_TRUE(s.line.hungUp(3000));
  EXPECT_EQ(s.sim.waitForExit(3000), 0);
}

TEST(PumpSim, RefusesAnUnknownOptionWithoutOpeningALine) {
  PumpSimProcess sim({"--loud"});
  EXPECT_TRUE(sim.devicePath().empty());
  EXPECT_EQ(sim.waitForExit(3000), 2);
}

TEST(PumpSim, AStreamStartsAtTheFirstByteAndLogsEveryWrite) {
  const auto log = std::filesystem::temp_directory_path() / "pump-sim-stream-test.log";
  std::filesystem::remove(log);
  {
    SimLine s({"--stream", "12", "--baud", "115200", "--log-writes", log.string()});
    EXPECT_TRUE(s.line.readChunks(200).empty());
    s.line.send("Q00F0000Y");
    // Each reply one tenth above the last, so none repeats its neighbour.
    std::string expected;
    for (int i = 1; i <= 12; ++i) {
      expected += "Q00N0" + std::to_string(i / 10) + "." + std::to_string(i % 10) + "Y";
    }
    EXPECT_EQ(s.line.readBytes(expected.size(), 2000), expected);
  }
  std::ifstream file(log);
  long long previous = 0, at = 0;
  std::string frame;
  int lines = 0;
  while (file >> at >> frame) {
    EXPECT_GT(at, previous);
    EXPECT_EQ(frame.size(), 9u);
    previous = at;
    ++lines;
  }
  EXPECT_EQ(lines, 12);
}

}  // namespace
}  // namespace pump::testing
