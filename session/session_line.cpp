// Opening and closing the line, the replies that come back, a line that
// fails and comes back, and a stop kept while it is down.
#include <ctime>

#include "session/line_messages.h"
#include "session/pump_session.h"
#include "session/reading_from_reply.h"

namespace pump::session {
namespace {

// "14:03:27" in the local time zone.
std::string TimeOfDay(std::chrono::system_clock::time_point when) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &local);
  return text;
}

bool AtOrAbove(const Pressure& reading, const Pressure& limit) {
  const auto pressure = reading.value();
  const auto most = limit.value();
  return pressure && most && *pressure >= *most;
}

}  // namespace

// Another port is asked for: the old one is given up first, and a lost line
// is no longer reconnected.
CommandResult PumpSession::open(const std::string& device, link::OpenRetry retry) {
  endRunBeforeSwitch(line_.isOnPort(device));
  exitStopSent_ = false;
  const bool wasConnected = line_.connected();
  const std::string previous = line_.device();
  line_.close();
  state_.port.reset();
  state_.linkCause.clear();
  openFaultTold_.clear();
  retryOpen_ = retry == link::OpenRetry::UntilOpen;
  if (wasConnected) publish(EventKind::Close, previous);
  if (const auto error = line_.open(device, retry)) {
    linkMayHaveChanged();
    if (retryOpen_) keepOpenFault(*error);
    return CommandResult::Refused(openFailedText(*error), "port not opened");
  }
  lineBack(false);
  return {};
}

// A run belongs to the pump it was started on, and its events to that
// line's log: it ends there before the line is given up. Its stop, if the
// line could not send it, waits for the same port (or adapter) only: another
// port's pump is not stopped for it, and the operator hears that the old one
// may still be running. The operator's own stop goes to the next port, as
// ever.
void PumpSession::endRunBeforeSwitch(bool samePort) {
  const bool runUnderWay = runOrProgramUnderWay() || exitStopSent_;  // or just ended for this
  if (programRunner_.active()) {
    programRunner_.abort();
  } else if (state_.timedRun != TimedRunState::Idle) {
    runTimer_.end();
  }
  keepUnsentStop(line_.holdsUnsentStop());
  const bool runGoingOn = state_.timedRun != TimedRunState::Idle;
  if (keptStop_ && runUnderWay) {
    keptStop_->endsRun = keptStop_->endsRun || runGoingOn;  // the run ends when it goes out
    if (samePort) return;
    keptStop_.reset();
    tell(texts::StopNotSent(line_.device()), texts::kCommErrorTitle);
  }
  if (runGoingOn) tellTimedRunStep("end");
}

void PumpSession::close() {
  const std::string device = line_.device();
  line_.close();
  retryOpen_ = false;
  state_.port.reset();
  state_.linkCause.clear();
  publish(EventKind::Close, device);
  linkMayHaveChanged();
}

// What the operator is told of a port that does not open; one being tried
// says so.
std::string PumpSession::openFailedText(const PortError& error) const {
  std::string text = OpenFailedMessage(line_.device(), error);
  if (retryOpen_) text += "\n" + texts::OpenRetried(link::kReconnectEveryMs / 1000);
  return text;
}

// While a port is tried, the state keeps why it does not open, and a link
// event tells each change of it. True when the cause is new since the last
// one told.
bool PumpSession::keepOpenFault(const PortError& error) {
  const std::string cause = PortErrorName(error.kind);
  if (cause != state_.linkCause) {
    state_.linkCause = cause;
    publish(EventKind::Link, LinkStateName(state_.link));
    statusChanged();
  }
  std::string told = OpenFailedMessage(line_.device(), error);
  if (told == openFaultTold_) return false;
  openFaultTold_ = std::move(told);
  return true;
}

// A try of the line's failed. A window's reconnect keeps its status line
// alone; a port asked to be tried until it opens tells each new cause once.
void PumpSession::openTryFailed(const PortError& error) {
  if (retryOpen_ && keepOpenFault(error)) tell(openFailedText(error), texts::kCommErrorTitle);
}

// Refused for want of an open line, in words that fit where it is shown.
CommandResult PumpSession::portNotOpen() const {
  if (!noWindow_) return CommandResult::Refused(texts::kPortNotOpen, "port not open");
  const int retrySeconds = line_.retrying() ? link::kReconnectEveryMs / 1000 : 0;
  return CommandResult::Refused(texts::PortNotOpenNoWindow(line_.device(), retrySeconds),
                                "port not open");
}

// A line is open again, by the operator or by a reconnect: a kept stop goes
// out before anything else, then the console works as after an open. A
// reconnect comes from the line's watch, which must keep running behind the
// notice.
void PumpSession::lineBack(bool reopened) {
  portEverOpened_ = true;
  state_.linkCause.clear();
  openFaultTold_.clear();
  const bool stopSentLate = sendKeptStop();
  state_.port = line_.device();
  publish(EventKind::Open, line_.device(), reopened);
  linkMayHaveChanged();
  if (stopSentLate) {
    tell(texts::StopSentLate(TimeOfDay(clock_.wallNow())), texts::kStopSentLateTitle);
  }
}

bool PumpSession::sendKeptStop() {
  if (!keptStop_) return false;
  const KeptStop kept = *keptStop_;
  keptStop_.reset();
  if (!link::Accepted(line_.send(link::PumpCommand::Stop()))) {
    keptStop_ = kept;  // still down: kept for the next time
    return false;
  }
  if (kept.onSent) kept.onSent();
  commandWentOut(link::PumpCommand::Stop(), kept.source);
  if (kept.endsRun) tellTimedRunStep("stop_sent");
  return true;
}

// A stop still waiting for the pump to read is not given up with the line:
// it goes out first on the next one.
void PumpSession::keepUnsentStop(bool unsent) {
  if (unsent && !keptStop_) keptStop_ = KeptStop{{}, runTimer_.timing()};
}

// The line is already closed, the poll stopped and reconnecting begun. The
// pump may still be running: a timed run goes on counting, and its stop is
// kept for when the line is back.
void PumpSession::lineFailed(const link::LineFailure& failure) {
  keepUnsentStop(failure.stopUnsent);
  state_.port.reset();
  publish(EventKind::Close, failure.device);
  const char* reconnecting = noWindow_ ? texts::kReconnectingNoWindow : texts::kReconnectingOrMenu;
  std::string message =
      failure.kind == link::LineFailure::Kind::Lost
          ? texts::LineLost(failure.device, CauseOfLoss(failure.reason), reconnecting)
          : texts::PollNotWritten(failure.device, reconnecting);
  if (runTimer_.timing()) message += texts::kRunGoesOn;
  // The pump may run on unwatched: the program pauses, its stop kept for the line.
  if (programRunner_.active() && !programRunner_.paused()) {
    programRunner_.pause();
    message += texts::kProgramPausedByLoss;
  }
  linkMayHaveChanged();
  tell(std::move(message), texts::kCommErrorTitle, true);
}

// Runs inside the line's reply handling: the serial port hands over no more
// bytes until it returns, so nothing here or in a listener may wait.
void PumpSession::handleReply(const link::PumpReply& reply) {
  ++repliesHandled_;
  const Changed changed = TakeReply(reply, state_);
  const bool reading = changed == Changed::CurrentPressure;
  if (reading) {
    state_.atPressureLimit = AtOrAbove(state_.currentPressure, state_.pressureLimit);
    linkMayHaveChanged();
  }
  publish(reading ? EventKind::Reading : EventKind::Reply, reply.frame, false, changed);
}

// Publishes the link's state once per change; the status line hears of
// every look, as the seconds without an answer count up.
void PumpSession::linkMayHaveChanged() {
  const LinkState now = line_.state();
  if (now != state_.link) {
    state_.link = now;
    publish(EventKind::Link, LinkStateName(now));
  }
  statusChanged();
}

}  // namespace pump::session
