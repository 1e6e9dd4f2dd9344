// Every command that reads a file the operator names, given a FIFO no one
// writes to or /dev/zero in its place: each ends promptly with a refusal
// that names the cause, in bounded memory, rather than waiting for ever or
// reading without end.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/support/run_to_deadline.h"
#include "tests/support/test_broker.h"

namespace pump::remote::testing {
namespace {

using pump::testing::ScratchFolder;
using namespace std::chrono_literals;
using pump::testing::RunToDeadline;

struct FileCommand {
  const char* name;
  std::vector<std::string> before, after;  // the arguments around the file's path; a
                                           // file named after it is in the home folder
  const char* refusal;                     // what the standard error says of it
};

const FileCommand kCommands[] = {
    {"check-program", {"--check-program"}, {}, "not a regular file"},
    {"headless program", {"--headless", "--port", "sim", "--program"}, {}, "not a regular file"},
    {"report", {"--report"}, {"--output", "report.pdf"}, "不是普通文件"},
    {"password file",
     {"--headless", "--port", "sim", "--mqtt-url", "mqtt://127.0.0.1:1", "--mqtt-user", "op",
      "--mqtt-password-file"},
     {},
     "not a regular file"},
    {"CA file",
     {"--headless", "--port", "sim", "--mqtt-url", "mqtts://127.0.0.1:1", "--mqtt-ca"},
     {},
     "not a regular file"},
};

TEST(FilesTheOperatorNames, AFifoOrDevZeroEndsEveryCommandPromptlyWithItsCause) {
  ScratchFolder home;
  const std::string fifo = home.path() + "/named.fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const FileCommand& command : kCommands) {
    for (const std::string& file : {fifo, std::string("/dev/zero")}) {
      std::vector<std::string> args{"/usr/bin/env",
                                    "-u",
                                    "DISPLAY",
                                    "-u",
                                    "WAYLAND_DISPLAY",
                                    "-u",
                                    "QT_QPA_PLATFORM",
                                    "HOME=" + home.path(),
                                    "XDG_RUNTIME_DIR=" + home.path(),
                                    PUMP_CONSOLE};
      args.insert(args.end(), command.before.begin(), command.before.end());
      args.push_back(file);
      for (const auto& arg : command.after)
        args.push_back(arg.starts_with("-") ? arg : home.path() + "/" + arg);
      const auto end = RunToDeadline(args, home.path(), 8s);
      SCOPED_TRACE(std::string(command.name) + " on " + file);
      EXPECT_FALSE(end.overran) << "still running after " << end.took.count() << " ms";
      EXPECT_EQ(end.status, 2) << end.err;
      EXPECT_LT(end.took, 3s);
      EXPECT_NE(end.err.find(command.refusal), std::string::npos) << end.err;
      EXPECT_LT(end.peakKiB, 200 * 1024) << "held " << end.peakKiB / 1024 << " MB";
    }
  }
}

}  // namespace
}  // namespace pump::remote::testing
