// The Qt serial control against pseudo-terminals and devices that fail.
#include "platform/qt/qt_serial_port.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>

#include "tests/gui/pty_pair.h"

namespace pump {
namespace {

using testing::PtyPair;
using testing::WaitUntil;

// An open port with a recorder of its events.
struct OpenPort {
  PtyPair pty;
  qt::QtSerialPort port;
  std::vector<CommEvent> events;
  std::vector<std::string> inputs;

  OpenPort() {
    port.setOnComm([this] {
      events.push_back(port.commEvent());
      if (port.commEvent() == CommEvent::Receive) inputs.push_back(port.input());
    });
    port.setCommPort(pty.slavePath());
  }
  bool open() {
    return pty.ok() && !port.open() && port.setSettings("9600,n,8,1") &&
           (port.setInputLen(0), port.setRThreshold(9), true);
  }
};

TEST(QtSerialPort, AppliesNineSixHundredEightNoneOneWithoutFlowControl) {
  OpenPort p;
  ASSERT_TRUE(p.open());
  // Root may open the slave a second time just to look at its settings.
  const int fd = ::open(p.pty.slavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(fd, 0);
  termios tio{};
  ASSERT_EQ(::tcgetattr(fd, &tio), 0);
  ::close(fd);
  EXPECT_EQ(::cfgetispeed(&tio), B9600);
  EXPECT_EQ(::cfgetospeed(&tio), B9600);
  EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
  EXPECT_EQ(tio.c_cflag & PARENB, 0U);
  EXPECT_EQ(tio.c_cflag & CSTOPB, 0U);
  EXPECT_EQ(tio.c_cflag & CRTSCTS, 0U);
  EXPECT_EQ(tio.c_iflag & (IXON | IXOFF), 0U);
}

TEST(QtSerialPort, RefusesSettingsItCannotRead) {
  OpenPort p;
  ASSERT_TRUE(p.open());
  for (const char* bad : {"9600,x,8,1", "9600,n,9,1", "fast,n,8,1", "9600,n,8", "9600,n,8,3", ""}) {
    EXPECT_FALSE(p.port.setSettings(bad)) << bad;
  }
  // A pseudo-terminal keeps 8 data bits without parity, so only these vary here.
  for (const char* good : {"19200,n,8,1", "9600,n,8,2", "9600,N,8,1"}) {
    EXPECT_TRUE(p.port.setSettings(good)) << good;
  }
}

TEST(QtSerialPort, WritesEachFrameExactlyAsGiven) {
  OpenPort p;
  ASSERT_TRUE(p.open());
  EXPECT_TRUE(p.port.output("Q00R0000Y"));
  EXPECT_TRUE(p.port.output("Q00S0000Y"));
  EXPECT_TRUE(p.port.output("Q00P02.5Y"));
  EXPECT_EQ(p.pty.read(64, 500), "Q00R0000YQ00S0000YQ00P02.5Y");
}

TEST(QtSerialPort, RaisesReceiveOnlyOnceTheThresholdIsWaitingAndReadsEverything) {
  OpenPort p;
  ASSERT_TRUE(p.open());
  p.pty.write("Q00N0");
  QTest::qWait(150);
  EXPECT_TRUE(p.events.empty());
  p.pty.write("1.5YQ0");
  ASSERT_TRUE(WaitUntil([&] { return !p.inputs.empty(); }, 2000));
  EXPECT_EQ(p.events, (std::vector<CommEvent>{CommEvent::Receive}));
  EXPECT_EQ(p.inputs, (std::vector<std::string>{"Q00N01.5YQ0"}));
}

TEST(QtSerialPort, BytesArrivingWhileAHandlerWaitsOnAMessageBoxAreNotStranded) {
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  qt::QtSerialPort port;
  std::vector<std::string> inputs;
  port.setOnComm([&] {
    if (port.commEvent() != CommEvent::Receive) return;
    inputs.push_back(port.input());
    if (inputs.size() == 1) {
      // As a message box would: a nested event loop while the next reply comes.
      pty.write("Q00L0150Y");
      QTest::qWait(200);
    }
  });
  port.setCommPort(pty.slavePath());
  ASSERT_FALSE(port.open());
  port.setRThreshold(9);
  pty.write("Q00N01.5Y");
  ASSERT_TRUE(WaitUntil([&] { return inputs.size() == 2; }, 1000)) << inputs.size();
  EXPECT_EQ(inputs, (std::vector<std::string>{"Q00N01.5Y", "Q00L0150Y"}));
}

TEST(QtSerialPort, TellsOfALostPeerOnceAndClosesThePort) {
  OpenPort p;
  ASSERT_TRUE(p.open());
  p.pty.closeMaster();
  ASSERT_TRUE(WaitUntil([&] { return !p.events.empty(); }, 3000));
  QTest::qWait(200);
  EXPECT_EQ(p.events, (std::vector<CommEvent>{CommEvent::LineLost}));
  EXPECT_FALSE(p.port.isOpen());
  EXPECT_FALSE(p.port.lineError().empty());
  EXPECT_FALSE(p.port.output("Q00F0000Y"));
}

TEST(QtSerialPort, NamesWhyAPortCannotBeOpened) {
  qt::QtSerialPort port;
  port.setCommPort("/dev/ttyNoSuchPort7");
  auto error = port.open();
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, PortError::Kind::NotFound);
  EXPECT_FALSE(error->reason.empty());

  port.setCommPort("/dev/null");
  error = port.open();
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, PortError::Kind::NotSerial);
  EXPECT_FALSE(port.isOpen());
}

TEST(QtSerialPort, APortHeldByAnotherProgramIsBusy) {
  OpenPort holder;
  ASSERT_TRUE(holder.open());
  qt::QtSerialPort second;
  second.setCommPort(holder.pty.slavePath());
  const auto error = second.open();
  ASSERT_TRUE(error);
  EXPECT_EQ(error->kind, PortError::Kind::Busy) << error->reason;
}

TEST(QtSerialPort, APortTheUserMayNotUseIsPermissionDenied) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
  PtyPair pty;
  ASSERT_TRUE(pty.ok());
  ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0600), 0);
  // Only open() runs in the child, as user nobody; it reports through its exit code.
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
    qt::QtSerialPort port;
    port.setCommPort(pty.slavePath());
    const auto error = port.open();
    ::_exit(!error ? 11 : static_cast<int>(error->kind));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(PortError::Kind::PermissionDenied));
}

}  // namespace
}  // namespace pump
