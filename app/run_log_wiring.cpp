#include "app/run_log_wiring.h"

#include <cstdio>

#include "platform/posix/background_append_log.h"
#include "runlog/log_failure_text.h"
#include "runlog/run_log.h"
#include "texts/operator_texts.h"

namespace pump::app {

namespace {

constexpr std::chrono::milliseconds kRetryInterval{10000};
constexpr int kRetrySeconds = static_cast<int>(kRetryInterval.count() / 1000);

}  // namespace

RunLogTeller TellOnStandardError() {
  return [](const std::string&, const std::string& line) {
    std::fprintf(stderr, "%s: %s\n", texts::kRunLogTitle, line.c_str());
    std::fflush(stderr);
  };
}

RunLogWiring::RunLogWiring(session::EventFeed& feed, std::string folder, RunLogTeller tell)
    : folder_(std::move(folder)), tell_(std::move(tell)) {
  posix::BackgroundLogOptions options;
  options.folder = folder_;
  options.retryInterval = kRetryInterval;
  disk_ = std::make_unique<posix::BackgroundAppendLog>(options, toConsoleThread());
  log_ = std::make_unique<runlog::RunLog>(*disk_);
  log_->follow(feed);
  // After the run log's own listener, so the row is queued before the mark.
  feed.subscribe([this](const session::SessionEvent& event) { programMayHaveEnded(event); });
}

void RunLogWiring::programMayHaveEnded(const session::SessionEvent& event) {
  if (event.kind != EventKind::Program || !programLogged_) return;
  if (event.detail != "end" && event.detail.rfind("abort", 0) != 0) return;
  disk_->whenWritten([this](const std::string& path) {
    if (path.empty()) return;
    QMetaObject::invokeMethod(
        &receiver_,
        [this, path] {
          if (programLogged_) programLogged_(path);
        },
        Qt::QueuedConnection);
  });
}

// The writer stops first, so no call from it can come after the receiver has gone.
RunLogWiring::~RunLogWiring() {
  log_.reset();
  disk_.reset();
}

// The writer tells each failure once and each recovery once; both are passed
// to the console's thread, where the console publishes them as `log` events.
AppendLogListener RunLogWiring::toConsoleThread() {
  return {[this](const AppendFailure& failure) {
            const std::string box = runlog::FailureBoxText(failure, kRetrySeconds);
            const std::string line = runlog::FailureLine(failure, kRetrySeconds);
            const std::string status = runlog::FailureStatusText(failure);
            const std::string event = runlog::FailureEventDetail(failure);
            QMetaObject::invokeMethod(
                &receiver_,
                [this, box, line, status, event] {
                  if (showTrouble_) showTrouble_(status, event);
                  if (tell_) tell_(box, line);
                },
                Qt::QueuedConnection);
          },
          [this](std::uint64_t dropped) {
            const std::string box = runlog::ResumedStatusText(dropped);
            const std::string line = runlog::ResumedLine(folder_, dropped);
            const std::string event = runlog::ResumedEventDetail(dropped);
            QMetaObject::invokeMethod(
                &receiver_,
                [this, box, line, event] {
                  if (showTrouble_) showTrouble_("", event);
                  if (tell_) tell_(box, line);
                },
                Qt::QueuedConnection);
          }};
}

}  // namespace pump::app
