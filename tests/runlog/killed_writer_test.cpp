// A process logging a stream is killed with SIGKILL: every row logged more
// than a second before the kill is in the file, and the file ends on a whole row.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "tests/runlog/log_test_support.h"
#include "tests/support/child_process.h"

namespace pump::runlog {
namespace {

using namespace std::chrono;
using testing::Lines;
using testing::ReadFile;
using testing::ScratchFolder;

struct Child {
  pid_t pid = -1;
  int output = -1;
};

Child StartWriter(const std::string& folder) {
  int pipeEnds[2];
  if (::pipe2(pipeEnds, O_CLOEXEC) != 0) return {};
  const pid_t pid = pump::testing::SpawnChild(
      {.args = {RUNLOG_KILL_WRITER, folder}, .outDescriptor = pipeEnds[1]});
  ::close(pipeEnds[1]);
  return {pid, pipeEnds[0]};
}

// Reads the numbers the writer reports until the deadline; returns the
// highest one that had been reported by `deadline - 1 s`.
long FollowUntil(int output, steady_clock::time_point deadline) {
  long logged = -1;
  long loggedASecondBefore = -1;
  std::string pending;
  while (steady_clock::now() < deadline) {
    pollfd ready{output, POLLIN, 0};
    if (::poll(&ready, 1, 5) <= 0) continue;
    char buffer[4096];
    const ssize_t got = ::read(output, buffer, sizeof buffer);
    if (got <= 0) break;
    pending.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;
         pending.erase(0, end + 1)) {
      logged = std::stol(pending.substr(0, end));
    }
    if (steady_clock::now() <= deadline - 1s) loggedASecondBefore = logged;
  }
  return loggedASecondBefore;
}

TEST(KilledWriter, RowsUpToTheLastSecondAreThereAndTheLastRowIsWhole) {
  ScratchFolder scratch;
  for (int round = 0; round < 3; ++round) {
    const std::string folder = scratch.path() + "/round" + std::to_string(round);
    Child child = StartWriter(folder);
    ASSERT_GT(child.pid, 0);
    const long mustHave =
        FollowUntil(child.output, steady_clock::now() + milliseconds(1500 + 97 * round));
    pump::testing::SignalAndReap(child.pid, SIGKILL);
    ::close(child.output);
    ASSERT_GT(mustHave, 100) << "the writer barely ran";

    const auto files = testing::FileNames(folder);
    ASSERT_EQ(files.size(), 1U);
    const std::string bytes = ReadFile(folder + "/" + files[0]);
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << "the last row was torn";
    const auto lines = Lines(bytes);
    ASSERT_GE(lines.size(), 2U);
    EXPECT_EQ(lines[1].substr(lines[1].find(",open,")), ",open,1.5,150,2.0,RUN,/dev/pts/9");
    long expected = 0;
    for (std::size_t i = 2; i < lines.size(); ++i, ++expected) {
      ASSERT_EQ(lines[i].substr(lines[i].rfind(',') + 1), std::to_string(expected))
          << "row " << i << " missing or out of order";
    }
    EXPECT_GE(expected - 1, mustHave) << "rows logged more than a second before the kill are lost";
  }
}

}  // namespace
}  // namespace pump::runlog
