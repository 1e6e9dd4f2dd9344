// The Qt serial control against pseudo-terminals and devices that fail.
#include "platform/qt/qt_serial_port.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <termios.h>

#include "tests/support/child_process.h"
#include "tests/support/pty_pair.h"

namespace pump {
namespace {

using testing::PtyPair;
using testing::WaitUntil;

// An open port with a recorder of what it delivers.
struct OpenPort {
  PtyPair pty;
  qt::QtSerialPort port;
  std::vector<std::string> reads;
  std::vector<std::string> losses;

  OpenPort() {
    port.setOnBytes([this](std::string_view bytes) { reads.emplace_back(bytes); });
    port.setOnLineLost([this](const std::string& why) { losses.push_back(why); });
  }
  bool open(const LineSettings& settings = {}) {
    return pty.ok() && !port.open(pty.slavePath(), settings);
  }
  std::string received() const {
    std::string all;
    for (const auto& read : reads) all += read;
    return all;
  }
};

termios SlaveSettings(const PtyPair& pty) {
  // Root may open the slave a second time just to look at its settings.
  termios tio{};
  const int fd = ::open(pty.slavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  EXPECT_GE(fd, 0);
  EXPECT_EQ(::tcgetattr(fd, &tio), 0);
  ::close(fd);
  return tio;
}

TEST(QtSerialPort, AppliesNineSixHundredEightNoneOneWithoutFlowControl) {
  OpenPort p;
  ASSERT_TRUE(p.open());
  const termios tio = SlaveSettings(p.pty);
  EXPECT_EQ(::cfgetispeed(&tio), B9600);
  EXPECT_EQ(::cfgetospeed(&tio), B9600);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(tio.c_cflag & PARENB, 0U);
  EXPECT_EQ(tio.c_cflag & CSTOPB, 0U);
  EXPECT_EQ(tio.c_cflag & CRTSCTS, 0U);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0U);
  EXPECT_EQ(p.port.device(), p.pty.slavePath());
}

TEST(QtSerialPort, AppliesOtherSpeedsAndStopBitsItIsGiven) {
  OpenPort p;
  // A pseudo-terminal keeps 8 data bits without parity, so only these vary here.
  ASSERT_TRUE(p.open({.baud = 19200, .stopBits = 2}));
  const termios tio = SlaveSettings(p.pty);
  EXPECT_EQ(::cfgetospeed(&tio), B19200);
  EXPECT_NE(tio.c_cflag & CSTOPB, 0U);
}

TEST(QtSerialPort, WritesEachFrameExactlyAsGiven) {
  OpenPort p;
  ASSERT_TRUE(p.open());
  EXPECT_TRUE(p.port.write("Q00R0000Y"));
  EXPECT_TRUE(p.port.write("Q00S0000Y"));
  EXPECT_TRUE(p.port.write("Q00P02.5Y"));
  EXPECT_EQ(p.pty.read(64, 500), "Q00R0000YQ00S0000YQ00P02.5Y");
}

TEST(QtSerialPort, DeliversBytesAsTheyArriveWithoutWaitingForAWholeFrame) {
  OpenPort p;
  ASSERT_TRUE(p.open());
  p.pty.write("Q00N0");
  ASSERT_TRUE(WaitUntil([&] { return !p.reads.empty(); }, 2000));
  p.pty.write("1.5YQ0");
  ASSERT_TRUE(WaitUntil([&] { return p.received().size() == 11; }, 2000));
  EXPECT_EQ(p.received(), "Q00N01.5YQ0");
}

TEST(QtSerialPort, BytesArrivingWhileAHandlerWaitsOnAMessageBoxAreNotStranded) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  qt::QtSerialPort port;
  std::vector<std::string> reads;
  port.setOnBytes([&](std::string_view bytes) {
    reads.emplace_back(bytes);
    if (reads.size() == 1) {
      // As a message box would: a nested event loop while the next reply comes.
      pty.write("Q00L0150Y");
      QTest::qWait(200);
    }
  });
  ASSERT_FALSE(port.open(pty.slavePath(), {}));
  pty.write("Q00N01.5Y");
  ASSERT_TRUE(WaitUntil([&] { return reads.size() == 2; }, 1000)) << reads.size();
  EXPECT_EQ(reads, (std::vector<std::string>{"Q00N01.5Y", "Q00L0150Y"}));
}

TEST(QtSerialPort, TellsOfALostPeerOnceAndClosesThePort) {
  OpenPort p;
  ASSERT_TRUE(p.open());
  p.pty.closeMaster();
  ASSERT_TRUE(WaitUntil([&] { return !p.losses.empty(); }, 3000));
  QTest::qWait(200);
  EXPECT_EQ(p.losses.size(), 1U);
  EXPECT_FALSE(p.losses[0].empty());
  EXPECT_FALSE(p.port.isOpen());
  EXPECT_FALSE(p.port.write("Q00F0000Y"));
}

TEST(QtSerialPort, NamesWhyAPortCannotBeOpened) {
  qt::QtSerialPort port;
  auto error = port.open("/dev/ttyNoSuchPort7", {});
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, PortError::Kind::NotFound);
  EXPECT_FALSE(error->reason.empty());

  error = port.open("/dev/null", {});
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, PortError::Kind::NotSerial);
  EXPECT_FALSE(port.isOpen());
}

TEST(QtSerialPort, APortHeldByAnotherProgramIsBusy) {
  OpenPort holder;
  ASSERT_TRUE(holder.open());
  qt::QtSerialPort second;
  const auto error = second.open(holder.pty.slavePath(), {});
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, PortError::Kind::Busy) << error->reason;
}

TEST(QtSerialPort, APortTheUserMayNotUseIsPermissionDenied) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0600), 0);
  // Only open() runs in the child, as user nobody; it reports through its exit code.
  const int result = testing::ExitCodeAsNobody([&pty] {
    qt::QtSerialPort port;
    const auto error = port.open(pty.slavePath(), {});
    return !error ? 11 : static_cast<int>(error->kind);
  });
  EXPECT_EQ(result, static_cast<int>(PortError::Kind::PermissionDenied));
}

}  // namespace
}  // namespace pump
