#include "sim/sim_options.h"

#include <gtest/gtest.h>

namespace pump::sim {
namespace {

TEST(SimOptions, NoOptionsGiveAHealthyPumpAtAddressZero) {
  const auto parsed = ParseSimOptions({});
  ASSERT_TRUE(parsed.options);
  EXPECT_EQ(parsed.options->pump.address, 0);
  EXPECT_EQ(parsed.options->pump.baud, 9600);
  EXPECT_FALSE(parsed.options->faults.noise || parsed.options->faults.split ||
               parsed.options->faults.join || parsed.options->faults.silent);
  EXPECT_EQ(parsed.options->faults.burst, 1);
  EXPECT_FALSE(parsed.options->hangupAfterSeconds);
}

TEST(SimOptions, EveryOptionIsTakenInEitherSpelling) {
  const auto parsed =
      ParseSimOptions({"--address", "7", "--noise", "--split", "--join", "--silent", "--burst=5",
                       "--hangup-after", "1.5", "--baud=19200", "--seed", "42", "--stream", "640",
                       "--log-writes=/tmp/w.log", "--log-received", "/tmp/r.log"});
  ASSERT_TRUE(parsed.options) << parsed.error;
  const auto& o = *parsed.options;
  EXPECT_EQ(o.pump.address, 7);
  EXPECT_TRUE(o.faults.noise && o.faults.split && o.faults.join && o.faults.silent);
  EXPECT_EQ(o.faults.burst, 5);
  EXPECT_DOUBLE_EQ(*o.hangupAfterSeconds, 1.5);
  EXPECT_EQ(o.pump.baud, 19200);
  EXPECT_EQ(o.pump.seed, 42u);
  EXPECT_EQ(o.streamReplies, 640);
  EXPECT_EQ(o.writeLog, "/tmp/w.log");
  EXPECT_EQ(o.receivedLog, "/tmp/r.log");
}

TEST(SimOptions, BadOrUnknownOptionsAreRefusedWithAReason) {
  for (const std::vector<std::string_view>& args :
       std::vector<std::vector<std::string_view>>{{"--address", "100"},
                                                  {"--address", "x"},
                                                  {"--burst", "0"},
                                                  {"--baud"},
                                                  {"--hangup-after", "-1"},
                                                  {"--noise=1"},
                                                  {"--stream", "0"},
                                                  {"--log-writes="},
                                                  {"--loud"}}) {
    const auto parsed = ParseSimOptions(args);
    EXPECT_FALSE(parsed.options) << args[0];
    EXPECT_FALSE(parsed.error.empty()) << args[0];
  }
  EXPECT_TRUE(ParseSimOptions({"--help"}).help);
}

}  // namespace
}  // namespace pump::sim
