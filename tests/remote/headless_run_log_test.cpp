// The run log of the console without a window, as a child process: a folder
// that cannot be written is told once on the standard error and as a broker
// event, and so is its recovery; with HOME unset the logs go under the
// account's home folder, and with no home at all the pump is still polled.
#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/remote/far_end.h"
#include "tests/runlog/log_test_support.h"
#include "tests/support/child_process.h"
#include "tests/support/console_process.h"
#include "tests/support/pump_sim_process.h"
#include "tests/support/small_disk.h"
#include "tests/support/test_broker.h"

namespace pump::remote::testing {
namespace {

using namespace pump::testing;
using namespace std::chrono_literals;
using Json = nlohmann::json;
using runlog::testing::WaitUntil;
namespace fs = std::filesystem;

struct HeadlessStart {
  std::vector<std::string> arguments{};  // after --headless
  std::optional<std::string> home{};     // HOME; unset when none
  std::string stderrPath{};
  std::string overAccountHome{};  // bound over the account's home folder, in a mount namespace
  std::optional<uid_t> user{};    // run as this user and group id
};

// In a child of its own, which may enter a mount namespace or become another
// user before the console starts.
pid_t StartHeadless(const HeadlessStart& start) {
  std::vector<std::string> args{PUMP_CONSOLE, "--headless"};
  args.insert(args.end(), start.arguments.begin(), start.arguments.end());
  std::vector<std::string> home;
  if (start.home) home.push_back("HOME=" + *start.home);
  const passwd* account = ::getpwuid(::getuid());
  const std::string accountHome = account ? account->pw_dir : "";
  return pump::testing::SpawnChild(
      {.args = args,
       .dropVariables = {"HOME=", "XDG_CONFIG_HOME="},
       .setVariables = home,
       .errFile = start.stderrPath,
       .inChild = [&start, &accountHome] {
         if (!start.overAccountHome.empty() &&
             (::unshare(CLONE_NEWNS) != 0 ||
              ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
              ::mount(start.overAccountHome.c_str(), accountHome.c_str(), nullptr, MS_BIND,
                      nullptr) != 0)) {
           return 125;
         }
         if (start.user && (::setgroups(0, nullptr) != 0 || ::setgid(*start.user) != 0 ||
                            ::setuid(*start.user) != 0)) {
           return 124;
         }
         return ::chdir("/") != 0 ? 123 : 0;
       }});
}

// The lines of the standard error that hold `text`.
int LinesWith(const std::string& stderrPath, const std::string& text) {
  std::istringstream lines(ReadFile(stderrPath));
  int count = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.find(text) != std::string::npos) ++count;
  }
  return count;
}

bool EventArrives(FarEnd& end, const std::string& event, const std::string& detail,
                  std::chrono::milliseconds within) {
  return end
      .waitFor(
          [&](const Received& message) {
            const Json json = Json::parse(message.payload, nullptr, false);
            return json.is_object() && json.value("event", "") == event &&
                   json.value("detail", "") == detail;
          },
          within)
      .has_value();
}

// Every line of the run logs in a folder.
std::string AllLogs(const std::string& folder) {
  std::string text;
  if (!fs::exists(folder)) return text;
  for (const auto& name : runlog::testing::FileNames(folder)) text += ReadFile(folder + "/" + name);
  return text;
}

// A broker, a pump-sim and a home folder of the test's own.
class HeadlessRunLog : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const auto why = TestBroker::MissingReason()) GTEST_SKIP() << *why;
    ASSERT_TRUE(broker.start());
    ASSERT_FALSE(pumpSim.devicePath().empty()) << "pump-sim did not start";
  }
  std::vector<std::string> arguments(const std::string& pumpId) const {
    return {"--port", pumpSim.devicePath(), "--mqtt-url", broker.url(), "--pump-id", pumpId};
  }

  TestBroker broker;
  pump::testing::PumpSimProcess pumpSim;
  runlog::testing::ScratchFolder scratch;
  const std::string home = scratch.path() + "/home";
  const std::string err = scratch.path() + "/stderr.txt";
};

TEST_F(HeadlessRunLog, AFileWhereAFolderShouldBeIsToldOnceAndSoIsTheRecoveryOnStderrAndBroker) {
  fs::create_directory(home);
  std::ofstream(home + "/Documents") << "a file, not a folder";
  FarEnd end(broker.port(), "pumps/lab-log/event");
  ASSERT_TRUE(end.ready());
  const pid_t console = StartHeadless({arguments("lab-log"), home, err});
  ASSERT_GT(console, 0);
  const std::string folder = home + "/Documents/pump-logs";
  const std::string failed =
      "运行日志: 运行日志无法写入：" + folder + "：" + home + "/Documents 不是文件夹。";
  EXPECT_TRUE(WaitUntil([&] { return LinesWith(err, failed) > 0; }, 15s)) << ReadFile(err);
  EXPECT_TRUE(EventArrives(end, "log", "failed not_a_folder " + home + "/Documents", 10s));
  std::this_thread::sleep_for(11s);  // a retry fails the same way, unsaid
  EXPECT_EQ(LinesWith(err, "运行日志无法写入"), 1) << ReadFile(err);

  fs::remove(home + "/Documents");
  const std::string recovered = "运行日志: 运行日志已恢复写入：" + folder;
  EXPECT_TRUE(WaitUntil([&] { return LinesWith(err, recovered) > 0; }, 15s)) << ReadFile(err);
  EXPECT_TRUE(EventArrives(end, "log", "recovered", 5s));
  EXPECT_EQ(EndConsole(console), 0);
  EXPECT_EQ(LinesWith(err, "运行日志无法写入"), 1) << ReadFile(err);
  EXPECT_EQ(LinesWith(err, "运行日志已恢复写入"), 1) << ReadFile(err);
  // The log itself has both, in order, with the rows kept meanwhile.
  const std::string logs = AllLogs(folder);
  const auto failedRow = logs.find(",log,");
  ASSERT_NE(failedRow, std::string::npos) << logs;
  EXPECT_NE(logs.find("failed not_a_folder " + home + "/Documents", failedRow), std::string::npos);
  EXPECT_NE(logs.find(",recovered\r\n", failedRow), std::string::npos) << logs;
  EXPECT_LT(logs.find(",open,"), failedRow) << "the open before the failure was kept and written";
}

// A 64 KiB memory disk as the Documents folder, read-only or full.
TEST_F(HeadlessRunLog, AReadOnlyAndAFullDiskAreEachNamedInOneLine) {
  for (const bool full : {false, true}) {
    SCOPED_TRACE(full ? "full" : "read-only");
    const std::string documents = home + "/Documents";
    pump::testing::SmallDisk disk(documents);
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    if (full) {
      disk.fill();
    } else {
      ASSERT_EQ(disk.setReadOnly(true), 0);
    }
    const std::string diskErr = scratch.path() + (full ? "/full.txt" : "/read-only.txt");
    const pid_t console = StartHeadless({arguments("lab-disk"), home, diskErr});
    ASSERT_GT(console, 0);
    const std::string where = "运行日志: 运行日志无法写入：" + documents + "/pump-logs";
    EXPECT_TRUE(WaitUntil([&] { return LinesWith(diskErr, where) > 0; }, 15s)) << ReadFile(diskErr);
    EXPECT_EQ(
        LinesWith(diskErr, full ? "：磁盘已满。泵的控制不受影响" : "：磁盘只读。泵的控制不受影响"),
        1)
        << ReadFile(diskErr);
    EXPECT_EQ(EndConsole(console), 0);
    EXPECT_EQ(LinesWith(diskErr, "运行日志无法写入"), 1) << ReadFile(diskErr);
  }
}

// The account's home in the password database, with a scratch folder bound
// over it in the console's own mount namespace: the test sees where the
// console writes without touching the real home.
TEST_F(HeadlessRunLog, WithHomeUnsetTheLogsGoUnderTheAccountsHomeFolder) {
  if (::geteuid() != 0) GTEST_SKIP() << "binding a folder over the home needs root";
  fs::create_directory(home);
  const pid_t console =
      StartHeadless({arguments("lab-home"), std::nullopt, err, /*overAccountHome=*/home});
  ASSERT_GT(console, 0);
  const std::string folder = home + "/Documents/pump-logs";
  const bool logged =
      WaitUntil([&] { return AllLogs(folder).find(",open,") != std::string::npos; }, 15s);
  EXPECT_EQ(EndConsole(console), 0) << ReadFile(err);
  EXPECT_TRUE(logged) << "no log under the account's home; stderr:\n" << ReadFile(err);
  EXPECT_EQ(LinesWith(err, "运行日志"), 0) << ReadFile(err);
}

TEST_F(HeadlessRunLog, WithNoHomeAtAllTheLogIsOffSaidOnceAndThePumpIsStillPolled) {
  if (::geteuid() != 0) GTEST_SKIP() << "running as a user with no account needs root";
  constexpr uid_t kNoAccount = 54321;
  ASSERT_EQ(::getpwuid(kNoAccount), nullptr) << "user 54321 has an account here";
  ASSERT_EQ(::chmod(pumpSim.devicePath().c_str(), 0666), 0);
  FarEnd end(broker.port(), "pumps/lab-nohome/pressure");
  ASSERT_TRUE(end.ready());
  const pid_t console = StartHeadless({arguments("lab-nohome"), std::nullopt, err, "", kNoAccount});
  ASSERT_GT(console, 0);
  EXPECT_TRUE(end.waitFor([](const Received&) { return true; }, 15s))
      << "the pump was not polled; stderr:\n"
      << ReadFile(err);
  EXPECT_EQ(EndConsole(console), 0);
  EXPECT_EQ(LinesWith(err, "运行日志: 找不到用户的主目录"), 1) << ReadFile(err);
  EXPECT_EQ(LinesWith(err, "运行日志无法写入"), 0) << ReadFile(err);
}

}  // namespace
}  // namespace pump::remote::testing
