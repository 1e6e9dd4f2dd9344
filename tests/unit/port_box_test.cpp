// The port box's hints: the ports the system lists, the simulated pump, and
// the answer that opened a port last as the default.
#include "console/port_box.h"

#include <gtest/gtest.h>

#include "tests/support/console_harness.h"

namespace pump {
namespace {

using console::PortBox;
using testing::ConsoleHarness;
using Texts = std::vector<std::string>;

TEST(PortBoxHints, ListEachPortWithItsAdapterInNaturalOrderThenTheSimulatedPump) {
  const auto box = PortBox({{"/dev/ttyUSB0", "FT232R USB UART"},
                            {"/dev/ttyS10", ""},
                            {"/dev/ttyS2", "  "},
                            {"/dev/ttyACM0", " Pump Adapter "}},
                           std::nullopt);
  EXPECT_EQ(box.prompt, "Input communication port");
  EXPECT_EQ(box.title, "Commport");
  EXPECT_EQ(box.hintLines, (Texts{"/dev/ttyACM0  Pump Adapter", "/dev/ttyS2", "/dev/ttyS10",
                                  "/dev/ttyUSB0  FT232R USB UART", "sim"}));
  EXPECT_EQ(box.completions,
            (Texts{"/dev/ttyACM0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0", "sim"}));
}

TEST(PortBoxHints, WithNoPortFoundOfferOnlyTheSimulatedPump) {
  const auto box = PortBox({}, std::nullopt);
  EXPECT_EQ(box.hintLines, Texts{"sim"});
  EXPECT_EQ(box.completions, Texts{"sim"});
}

TEST(PortBoxHints, ListAPortThatIsReportedTwiceOnceAndSkipAPortWithNoPath) {
  const auto box = PortBox({{"/dev/ttyUSB1", "CP2102"}, {"", "ghost"}, {"/dev/ttyUSB1", "CP2102"}},
                           std::nullopt);
  EXPECT_EQ(box.hintLines, (Texts{"/dev/ttyUSB1  CP2102", "sim"}));
}

TEST(PortBoxDefault, IsOneUntilAPortWasOpenedThenTheAnswerThatOpenedItLast) {
  EXPECT_EQ(PortBox({}, std::nullopt).defaultAnswer, "1");
  EXPECT_EQ(PortBox({}, "/dev/ttyUSB0").defaultAnswer, "/dev/ttyUSB0");
  EXPECT_EQ(PortBox({}, "sim").defaultAnswer, "sim");
  EXPECT_EQ(PortBox({}, "3").defaultAnswer, "3");
}

TEST(PortBoxDefault, AKeptAnswerThatNamesNoPortGivesWayToOne) {
  for (const std::string kept : {"", "abc", "0", "/dev/ptmx", "40000"}) {
    EXPECT_EQ(PortBox({}, kept).defaultAnswer, "1") << kept;
  }
}

TEST(PortBoxInTheConsole, ShowsThePortsFoundNowAndTheAnswerKeptLast) {
  ConsoleHarness f;
  f.ports.ports = {{"/dev/ttyUSB0", "FT232R USB UART"}};
  f.lastPort.answer = "/dev/ttyUSB0";
  f.openPort("/dev/ttyUSB0");
  f.ports.ports.push_back({"/dev/ttyUSB1", "CP2102"});  // an adapter plugged in meanwhile
  f.openPort("");
  ASSERT_EQ(f.dialogs.shown.size(), 2U);
  EXPECT_EQ(f.dialogs.shown[0].hintLines, (Texts{"/dev/ttyUSB0  FT232R USB UART", "sim"}));
  EXPECT_EQ(f.dialogs.shown[0].defaultAnswer, "/dev/ttyUSB0");
  EXPECT_EQ(f.dialogs.shown[1].hintLines,
            (Texts{"/dev/ttyUSB0  FT232R USB UART", "/dev/ttyUSB1  CP2102", "sim"}));
  EXPECT_EQ(f.dialogs.shown[1].completions, (Texts{"/dev/ttyUSB0", "/dev/ttyUSB1", "sim"}));
}

TEST(PortBoxInTheConsole, KeepsTheAnswerOnlyOnceItsPortHasOpened) {
  ConsoleHarness f;
  f.openPort("");
  EXPECT_EQ(f.lastPort.answer, std::nullopt) << "cancelled";
  f.openPort("abc");
  EXPECT_EQ(f.lastPort.answer, std::nullopt) << "names no port";
  f.serial.failNextOpen = PortError{PortError::Kind::NotFound, "No such file or directory"};
  f.openPort("/dev/ttyUSB3");
  EXPECT_EQ(f.lastPort.answer, std::nullopt) << "could not be opened";
  f.openPort("ttyUSB0");
  EXPECT_EQ(f.lastPort.answer, "ttyUSB0") << "kept as typed";
  f.openPort("");
  EXPECT_EQ(f.dialogs.shown.back().defaultAnswer, "ttyUSB0");
  f.serial.failNextOpen = PortError{PortError::Kind::Busy, "Device or resource busy"};
  f.openPort("2");
  EXPECT_EQ(f.lastPort.answer, "ttyUSB0") << "a failed open keeps the last good one";
}

}  // namespace
}  // namespace pump
