// Port lock files on disk: whose they are, and whether their owner still runs.
#include "platform/posix/port_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "tests/support/child_process.h"
#include "tests/support/console_harness.h"
#include "tests/support/scratch_folder.h"

namespace pump {
namespace {

namespace fs = std::filesystem;

struct LockFolder {
  testing::ScratchFolder scratch;
  fs::path folder{scratch.path()};
  void write(const std::string& file, const std::string& content) const {
    std::ofstream(folder / file) << content;
  }
  std::optional<posix::PortLock> find(const std::string& device) const {
    return posix::FindPortLock(device, folder.string());
  }
};

TEST(PortLock, IsNamedAfterTheDeviceAsSerialProgramsNameIt) {
  EXPECT_EQ(posix::PortLockName("/dev/ttyUSB0"), "LCK..ttyUSB0");
  EXPECT_EQ(posix::PortLockName("/dev/pts/3"), "LCK..pts_3");
  EXPECT_EQ(posix::PortLockName("/dev/serial/by-id/usb-FTDI-if00"),
            "LCK..serial_by-id_usb-FTDI-if00");
  EXPECT_EQ(posix::PortLockName("/tmp/pump"), "LCK.._tmp_pump");
}

TEST(PortLock, LeftByAProcessThatIsGoneIsStaleAndNamedByItsFullPath) {
  LockFolder locks;
  const long gone = testing::GonePid();
  locks.write("LCK..ttyUSB0", std::to_string(gone) + "\nlp200-console\nbench-pc\n");
  const auto lock = locks.find("/dev/ttyUSB0");
  ASSERT_TRUE(lock);
  EXPECT_EQ(lock->path, (locks.folder / "LCK..ttyUSB0").string());
  EXPECT_EQ(lock->owner, gone);
  EXPECT_TRUE(lock->ownerGone);
}

TEST(PortLock, HeldByARunningProcessIsNotStaleWhoeverItBelongsTo) {
  LockFolder locks;
  locks.write("LCK..ttyUSB0", std::to_string(::getpid()) + "\nlp200-console\nbench-pc\n");
  locks.write("LCK..ttyS0", "         1\n");  // init, in the old ten-column form
  EXPECT_FALSE(locks.find("/dev/ttyUSB0")->ownerGone);
  const auto init = locks.find("/dev/ttyS0");
  EXPECT_EQ(init->owner, 1);
  EXPECT_FALSE(init->ownerGone);
}

TEST(PortLock, ThatNamesNoProcessIsNeverCalledStale) {
  LockFolder locks;
  locks.write("LCK..ttyS1", "");
  locks.write("LCK..ttyS2", "12ab\n");
  locks.write("LCK..ttyS3", "-5\n");
  for (const char* device : {"/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"}) {
    const auto lock = locks.find(device);
    ASSERT_TRUE(lock) << device;
    EXPECT_EQ(lock->owner, 0) << device;
    EXPECT_FALSE(lock->ownerGone) << device;
  }
  EXPECT_FALSE(locks.find("/dev/ttyUSB1")) << "no file, no lock";
}

TEST(PortLock, AStaleLockIsToldWithTheFileToRemove) {
  testing::ConsoleHarness console;
  console.serial.failNextOpen =
      PortError{PortError::Kind::StaleLock, "Permission error while locking the device",
                "/run/lock/LCK..ttyUSB0", 4242};
  console.openPort("/dev/ttyUSB0");
  ASSERT_EQ(console.messages().size(), 1U);
  EXPECT_EQ(console.messages()[0],
            "无法打开通信端口 /dev/ttyUSB0：锁定它的进程 4242 已结束。\n"
            "请删除锁文件 /run/lock/LCK..ttyUSB0 后再试(需管理员权限)!");
}

}  // namespace
}  // namespace pump
