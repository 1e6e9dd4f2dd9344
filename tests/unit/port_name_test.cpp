#include "link/port_name.h"

#include <gtest/gtest.h>

namespace pump::link {
namespace {

struct PortRow {
  std::string answer;
  std::optional<std::string> posix;
  std::optional<std::string> windows;
};

void PrintTo(const PortRow& row, std::ostream* os) { *os << '"' << row.answer << '"'; }

class PortAnswerTable : public ::testing::TestWithParam<PortRow> {};

TEST_P(PortAnswerTable, NamesTheDeviceToOpen) {
  EXPECT_EQ(PortDevice(GetParam().answer, PortNaming::Posix), GetParam().posix);
  EXPECT_EQ(PortDevice(GetParam().answer, PortNaming::Windows), GetParam().windows);
}

const std::optional<std::string> kNone;

INSTANTIATE_TEST_SUITE_P(
    Answers, PortAnswerTable,
    ::testing::Values(
        // Port numbers: COM1 is the first serial port, ttyS0.
        PortRow{"1", "/dev/ttyS0", "COM1"}, PortRow{"3", "/dev/ttyS2", "COM3"},
        PortRow{" 4 ", "/dev/ttyS3", "COM4"},
        // A half goes to the even neighbour.
        PortRow{"2.5", "/dev/ttyS1", "COM2"}, PortRow{"3.5", "/dev/ttyS3", "COM4"},
        PortRow{"1.4", "/dev/ttyS0", "COM1"}, PortRow{"１", "/dev/ttyS0", "COM1"},
        PortRow{"32767", "/dev/ttyS32766", "COM32767"},
        // Below 1 or beyond the Integer range: not a port.
        PortRow{"0", kNone, kNone}, PortRow{"0.4", kNone, kNone}, PortRow{"-1", kNone, kNone},
        PortRow{"40000", kNone, kNone}, PortRow{"1e9", kNone, kNone},
        // Device names and paths, as typed.
        PortRow{"/dev/ttyUSB0", "/dev/ttyUSB0", kNone}, PortRow{"/dev/pts/4", "/dev/pts/4", kNone},
        PortRow{"ttyUSB0", "/dev/ttyUSB0", kNone}, PortRow{"ttyACM1", "/dev/ttyACM1", kNone},
        PortRow{"COM3", "COM3", "COM3"}, PortRow{"com12", "com12", "com12"},
        PortRow{"\\\\.\\COM12", kNone, "\\\\.\\COM12"},
        PortRow{" /dev/ttyUSB0 ", "/dev/ttyUSB0", kNone}, PortRow{"sim", "sim", "sim"},
        // Neither a number nor a device name.
        PortRow{"abc", kNone, kNone}, PortRow{"2,5", kNone, kNone}, PortRow{"COM", kNone, kNone},
        PortRow{"COMx", kNone, kNone}, PortRow{"/", kNone, kNone}, PortRow{" ", kNone, kNone},
        PortRow{"/dev/tty USB0", kNone, kNone}, PortRow{"端口1", kNone, kNone},
        // The pseudo-terminal master multiplexer talks to nobody.
        PortRow{"/dev/ptmx", kNone, kNone}, PortRow{"/dev/pts/ptmx", kNone, kNone}));

}  // namespace
}  // namespace pump::link
