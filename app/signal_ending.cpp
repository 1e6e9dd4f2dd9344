#include "app/signal_ending.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QEventLoop>
#include <csignal>

namespace pump::app {
namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGINT, SIGHUP};
// Often enough that the program ends within a few milliseconds of the stop
// leaving the port; the event loop runs in between.
constexpr int kStopWatchMs = 5;

// The handler writes to one end, the event loop watches the other: nothing
// but a write is safe inside a signal handler.
int signalSocket[2] = {-1, -1};

void TellTheEventLoop(int) {
  const char byte = 1;
  [[maybe_unused]] const auto written = ::write(signalSocket[0], &byte, 1);
}

void HandleSignals(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kEndingSignals) ::sigaction(signal, &action, nullptr);
}

}  // namespace

void WaitForExitStop(const session::PumpSession& session) {
  QElapsedTimer waited;
  waited.start();
  while (session.exitStopOutstanding() && waited.elapsed() < kLongestStopWait.count()) {
    QEventLoop loop;
    QTimer::singleShot(kStopWatchMs, &loop, &QEventLoop::quit);
    loop.exec();
  }
}

SignalEnding::SignalEnding(session::PumpSession& session, std::function<void()> end)
    : session_(session), end_(std::move(end)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSocket) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(signalSocket[1], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { signalled(); });
  stopWatch_.setInterval(kStopWatchMs);
  QObject::connect(&stopWatch_, &QTimer::timeout, [this] { checkStopTaken(); });
  HandleSignals(TellTheEventLoop);
}

SignalEnding::~SignalEnding() {
  if (!notifier_) return;
  HandleSignals(SIG_DFL);
  notifier_.reset();
  for (int& end : signalSocket) {
    ::close(end);
    end = -1;
  }
}

// A second signal while the stop is on its way changes nothing: the wait is
// short and bounded.
void SignalEnding::signalled() {
  char bytes[16];
  [[maybe_unused]] const auto read = ::read(signalSocket[1], bytes, sizeof bytes);
  if (ending_) return;
  ending_ = true;
  if (!session_.stopRunBeforeExit()) return end_();
  waited_.start();
  stopWatch_.start();
  checkStopTaken();
}

void SignalEnding::checkStopTaken() {
  if (!session_.stopTakenBeforeExit() && waited_.elapsed() < kLongestStopWait.count()) return;
  stopWatch_.stop();
  end_();
}

}  // namespace pump::app
